#pragma once

#include "os/posix/InProcessClipboard.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace os::sim {

// The simulated desktop's clipboard: what another application copies is set by the test,
// and each operation can be told to fail with a chosen error code.
class SimClipboard final : public posix::InProcessClipboard {
public:
    enum class Operation { Open, Close, Empty, Enumerate, DataObject, GetData, SetData };

    SimClipboard(Errors& errors, GlobalMemory& memory);

    bool open(WindowHandle owner) override;
    bool close() override;
    bool empty() override;
    unsigned enumFormats(unsigned format) override;
    ClipboardData getData(unsigned format, MemoryHandle& block) override;
    MemoryHandle setData(unsigned format, MemoryHandle block) override;
    bool changeClipboardChain(WindowHandle remove, WindowHandle next) override;

    // Every later call of the operation fails with the code until the failures are cleared.
    void fail(Operation operation, int errorCode);
    // Fetching this one format's data fails with the code.
    void failFormat(unsigned format, int errorCode);
    void clearFailures();

    // The (removed, next) windows of every chain change, oldest first.
    std::vector<std::pair<WindowHandle, WindowHandle>> chainChanges() const;

private:
    // True (with the last error set) when the operation is told to fail.
    bool failing(Operation operation) const;

    mutable std::mutex mutex_;
    std::map<Operation, int> failures_;
    std::map<unsigned, int> formatFailures_;
    std::vector<std::pair<WindowHandle, WindowHandle>> chainChanges_;
};

}  // namespace os::sim
