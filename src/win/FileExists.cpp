#include "win/FileExists.h"

#ifdef _WIN32
#include "win/Api.h"

#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace tw {

bool FileExists(const std::string& Path) {
    if (Path.empty())
        return false;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!win::FileAttributes(Path, data))
        return false;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
#else
    struct stat st;
    return stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

} // namespace tw
