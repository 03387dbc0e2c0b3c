#include "util/parser/ArgumentParserHelpers.h"

#include "os/Port.h"
#include "platform/assertion/Assertion.h"
#include "util/StringHelper.h"
#include "windows/file/WindowsFileHelper.h"

namespace util::parser::ArgumentParserHelpers {

std::string getDirectory(const std::string& path) {
    std::string unquoted = path;
    try {
        StringHelper::replaceAll(unquoted, "\"", "");
    } catch (...) {
        PX_ASSERT(false);
        throw;
    }
    const std::size_t last = unquoted.rfind(os::fileSystem().separator());
    if (last == std::string::npos) {
        return std::string();
    }
    return unquoted.substr(0, last + 1);
}

std::string getProgramDirectory() {
    return getDirectory(windows::file::WindowsFileHelper::getModuleFileName());
}

}  // namespace util::parser::ArgumentParserHelpers
