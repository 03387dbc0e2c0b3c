// A whole workspace directory made from the input, opened as the program opens it: whatever
// the files hold, the open ends with the workspace open or closed and every failure reported.
//
// Input: records of a kind byte, a name length byte, the name, a two-byte size and the bytes.
// The kind chooses a slot file, a Cool Key file, a file of the given name, or a symbolic link.
#include "FuzzSupport.h"
#include "config/workspace/Workspace.h"
#include "windows/reporter/ErrorReporter.h"

#include <filesystem>
#include <fstream>

namespace {

class CountingReporter final : public windows::reporter::ErrorReporter {
public:
    void showError(const std::string&) override { ++shown; }
    int shown = 0;
};

std::string safeName(const std::string& name) {
    std::string result;
    for (const char c : name) {
        // One level only: the directory is what the input makes, not the machine.
        result += (c == '/' || c == '\0') ? '_' : c;
    }
    return result == "." || result == ".." || result.empty() ? "x" : result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fs = std::filesystem;
    fuzz::setUp();
    const fs::path workspace = fuzz::scratch() / "ws";
    fs::remove_all(workspace);
    fs::create_directory(workspace);
    std::size_t at = 0;
    for (int files = 0; files < 16 && at + 4 <= size; ++files) {
        const std::uint8_t kind = data[at++];
        const std::size_t nameLength = data[at++] % 32;
        if (at + nameLength + 2 > size) {
            break;
        }
        std::string name = fuzz::bytesOf(data + at, nameLength);
        at += nameLength;
        const std::size_t length = std::min<std::size_t>(
            size - at - 2, static_cast<std::size_t>(data[at] | (data[at + 1] << 8)));
        at += 2;
        const std::string bytes = fuzz::bytesOf(data + at, length);
        at += length;
        switch (kind % 4) {
            case 0:
                name = "px_" +
                       std::to_string(static_cast<unsigned char>(nameLength ? name[0] : 1)) +
                       ".pxf";
                break;
            case 1:
                name = "ck_" + std::to_string(files) + ".ckf";
                break;
            case 3: {
                std::error_code ignored;
                fs::create_symlink(bytes.empty() ? "nothing" : safeName(bytes.substr(0, 64)),
                                   workspace / ("px_" + std::to_string(files + 1) + ".pxf"),
                                   ignored);
                continue;
            }
            default:
                name = safeName(name);
        }
        std::ofstream(workspace / name, std::ios::binary) << bytes;
    }
    CountingReporter reporter;
    products::pastrix::config::workspace::Workspace opened(reporter, 4096,
                                                           fuzz::scratch().string());
    opened.open("ws");
    if (!opened.isLoaded() && reporter.shown == 0) {
        std::abort();  // a failed open is always reported
    }
    return 0;
}
