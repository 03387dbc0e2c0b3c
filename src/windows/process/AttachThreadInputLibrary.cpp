#include "windows/process/AttachThreadInputLibrary.h"

#include "windows/process/ProcessExceptions.h"

#include <cstdint>

namespace windows::process {

AttachThreadInputLibrary::AttachThreadInputLibrary(const std::string& filename)
    : dll(filename),
      setter(reinterpret_cast<hook::SetAttachThreadInputIdFunction>(
          dll.getProc(hook::entry::SetAttachThreadInputId))),
      getter(reinterpret_cast<hook::GetAttachThreadInputIdFunction>(
          dll.getProc(hook::entry::GetAttachThreadInputId))) {
    if (getAttachThreadInputId() != 0) {
        throw AttachThreadInputException(
            "An error occured when trying to initialize the hook. (AttachThreadInput)\nMost "
            "likely the cause is that another hook is already running.\n\nTo solve this, "
            "please\n1. close all running applications and try to start this program again.\n2. "
            "if step 1 did not solve the problem, please try to restart your computer and run "
            "this program again.\n");
    }
}

os::ThreadId AttachThreadInputLibrary::getAttachThreadInputId() const {
    return static_cast<os::ThreadId>(getter());
}

void AttachThreadInputLibrary::setAttachThreadInputId(os::ThreadId threadId) {
    setter(static_cast<std::int32_t>(threadId));
}

}  // namespace windows::process
