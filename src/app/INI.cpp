#include "app/INI.h"

#include "win/ProgramFolder.h"

#include <windows.h>

namespace tw {

namespace {
std::string FullPath(std::string_view fileName) {
    return ProgramFolder() + "\\" + std::string(fileName);
}
} // namespace

std::string ReadINI(std::string_view FileName, std::string_view Section, std::string_view KeyName,
                    std::string_view Default) {
    std::string buffer(256, ' ');
    DWORD n = GetPrivateProfileStringA(std::string(Section).c_str(), std::string(KeyName).c_str(),
                                       std::string(Default).c_str(), buffer.data(), 255,
                                       FullPath(FileName).c_str());
    buffer.resize(n);
    return buffer;
}

void WriteINI(std::string_view FileName, std::string_view Section, std::string_view KeyName,
              std::string_view Value) {
    std::string value(Value);
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    WritePrivateProfileStringA(std::string(Section).c_str(), std::string(KeyName).c_str(),
                               value.c_str(), FullPath(FileName).c_str());
}

} // namespace tw
