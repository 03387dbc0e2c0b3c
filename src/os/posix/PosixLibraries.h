#pragma once

#include "os/Libraries.h"
#include "os/posix/PosixErrors.h"

#include <map>
#include <mutex>
#include <string>

namespace os::posix {

// Shared objects through the dynamic loader. Failures carry the loader's own message as
// their error text, so a report names the file or the entry and why it failed. Only handles
// this object gave out are accepted: a stale or made-up handle is refused, not passed to
// the loader.
class PosixLibraries final : public Libraries {
public:
    explicit PosixLibraries(PosixErrors& errors);
    ~PosixLibraries() override = default;
    PosixLibraries(const PosixLibraries&) = delete;
    PosixLibraries& operator=(const PosixLibraries&) = delete;

    ModuleHandle loadLibrary(const std::string& fileName) override;
    ProcAddress getProcAddress(ModuleHandle module, const std::string& name) override;
    bool freeLibrary(ModuleHandle module) override;

private:
    ModuleHandle open(const std::string& path);
    bool isLoaded(ModuleHandle module) const;

    PosixErrors& errors_;
    mutable std::mutex mutex_;
    // Loads not yet undone, per library.
    std::map<ModuleHandle, int> loads_;
};

}  // namespace os::posix
