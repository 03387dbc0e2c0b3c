#include "FuzzSupport.h"

#include "os/ScopedInstall.h"
#include "os/sim/SimDesktop.h"
#include "platform/assertion/AssertionListener.h"
#include "platform/assertion/AssertionListenerInstaller.h"

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace fuzz {

namespace {

class QuietAssertions final : public platform::AssertionListener {
public:
    void assertionFailed(const std::string&) override {}
};

struct Installed {
    os::sim::SimDesktop desktop;
    os::ScopedInstall installation{desktop.port()};
    QuietAssertions assertions;
    platform::AssertionListenerInstaller quiet{assertions};
    std::filesystem::path directory;
};

Installed* installed = nullptr;

}  // namespace

void setUp() {
    if (installed != nullptr) {
        return;
    }
    installed = new Installed;  // lives as long as the process
    std::string pattern = (std::filesystem::temp_directory_path() / "pastrix-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    // The current directory stays: libFuzzer reads its corpus by relative paths as it goes.
    installed->directory = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(installed->directory, ignored);
    });
}

const std::filesystem::path& scratch() {
    return installed->directory;
}

std::string bytesOf(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzz
