#include "os/posix/PosixThreads.h"

#include <unistd.h>

namespace os::posix {

ThreadId PosixThreads::getCurrentThreadId() const {
    return static_cast<ThreadId>(::gettid());
}

}  // namespace os::posix
