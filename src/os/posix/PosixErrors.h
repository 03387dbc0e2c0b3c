#pragma once

#include "os/Errors.h"

namespace os::posix {

// The last error lives in errno, as the thread-local state the C library already keeps,
// translated to and from the program's error codes: a failure seen by a stream operation is
// then as visible as one reported by the port itself.
class PosixErrors final : public Errors {
public:
    int lastError() const override;
    void setLastError(int code) override;
    std::optional<std::string> messageText(int code) const override;

    // Sets the last error together with the system's own words for this occurrence (such as
    // the dynamic loader's message naming the file or the entry), which are then the text of
    // the code on this thread until the last error is set again.
    void setLastErrorWithText(int code, const std::string& text);

    // The program's code for a native errno value.
    static int fromErrno(int nativeCode);
};

}  // namespace os::posix
