#include "cab/CabLibrary.h"

namespace tw {

namespace {
template <typename F> F Entry(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
} // namespace

CabLibrary::CabLibrary(const std::string& path) : module_(LoadLibraryA(path.c_str())) {
    HMODULE m = module_.get();
    if (!m)
        return;
    auto initialize = Entry<NoArgs>(m, "CABCOMPRESSINITIALIZE");
    create_ = Entry<Create>(m, "CABCREATE");
    addFile_ = Entry<AddFile>(m, "CABADDFILE");
    close_ = Entry<Close>(m, "CABCLOSE");
    terminate_ = Entry<NoArgs>(m, "CABCOMPRESSTERMINATE");
    // the library counts as loaded only with all five calls
    if (create_ && addFile_ && close_ && terminate_)
        initialize_ = initialize;
}

LONG CabLibrary::CABCOMPRESSINITIALIZE() const {
    return Loaded() ? initialize_() : 0;
}
LONG CabLibrary::CABCREATE(const std::string& cabinet) const {
    return Loaded() ? create_(cabinet.c_str()) : 0;
}
LONG CabLibrary::CABADDFILE(LONG handle, const std::string& file,
                            const std::string& storedName) const {
    return Loaded() ? addFile_(handle, file.c_str(), storedName.c_str()) : 0;
}
LONG CabLibrary::CABCLOSE(LONG handle) const {
    return Loaded() ? close_(handle) : 0;
}
LONG CabLibrary::CABCOMPRESSTERMINATE() const {
    return Loaded() ? terminate_() : 0;
}

} // namespace tw
