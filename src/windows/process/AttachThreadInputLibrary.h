#pragma once

#include "os/Types.h"
#include "windows/dll/Dll.h"
#include "windows/hook/HookLibrary.h"

#include <string>

namespace windows::process {

// The hook library's record of the user-interface thread, with which the library shares the
// key state of the events it reports.
class AttachThreadInputLibrary {
public:
    // Throws AttachThreadInputException when a thread is registered already.
    explicit AttachThreadInputLibrary(const std::string& filename);
    virtual ~AttachThreadInputLibrary() = default;
    AttachThreadInputLibrary(const AttachThreadInputLibrary&) = delete;
    AttachThreadInputLibrary& operator=(const AttachThreadInputLibrary&) = delete;

    // The registered thread, 0 when none is.
    os::ThreadId getAttachThreadInputId() const;
    void setAttachThreadInputId(os::ThreadId threadId);

private:
    dll::Dll dll;
    hook::SetAttachThreadInputIdFunction setter;
    hook::GetAttachThreadInputIdFunction getter;
};

}  // namespace windows::process
