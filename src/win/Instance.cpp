#include "win/Instance.h"

#include "win/Handle.h"

namespace tw::win {

bool PreviousInstanceRunning() {
    static const bool previous = [] {
        HANDLE mutex = CreateMutexA(nullptr, FALSE, "Tracewipe.Instance");
        // read at once: making the static owner below may reset the last error
        const bool exists = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
        static UniqueHandle mark(mutex);
        return exists;
    }();
    return previous;
}

} // namespace tw::win
