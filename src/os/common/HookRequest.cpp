#include "os/common/HookRequest.h"

#include "os/ErrorCodes.h"

namespace os::common {

int HookRequest::check(int type, HookProcedure procedure, ModuleHandle module, ThreadId thread) {
    if (type != wh::Keyboard && type != wh::Mouse) {
        return error::InvalidHookFilter;
    }
    if (procedure == nullptr) {
        return error::InvalidFilterProc;
    }
    if (thread != 0) {
        return error::NotSupported;
    }
    if (module == 0) {
        return error::HookNeedsHmod;
    }
    return error::Success;
}

}  // namespace os::common
