#include "win/Instance.h"

#include "win/Handle.h"

namespace tw::win {

bool PreviousInstanceRunning() {
    static const bool previous = [] {
        static UniqueHandle mark(CreateMutexA(nullptr, FALSE, "Tracewipe.Instance"));
        return mark && GetLastError() == ERROR_ALREADY_EXISTS;
    }();
    return previous;
}

} // namespace tw::win
