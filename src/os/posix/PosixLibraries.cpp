#include "os/posix/PosixLibraries.h"

#include "os/ErrorCodes.h"

#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

namespace os::posix {

namespace {

std::string loaderMessage(const char* fallback) {
    const char* text = ::dlerror();
    return text != nullptr ? std::string(text) : std::string(fallback);
}

bool fileExists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

std::string programDirectory() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        return "";
    }
    const std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace

PosixLibraries::PosixLibraries(PosixErrors& errors) : errors_(errors) {}

ModuleHandle PosixLibraries::open(const std::string& path) {
    ::dlerror();
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        errors_.setLastErrorWithText(error::ModNotFound,
                                     loaderMessage("The library could not be loaded."));
        return 0;
    }
    const auto module = reinterpret_cast<ModuleHandle>(handle);
    std::lock_guard lock(mutex_);
    ++loads_[module];
    return module;
}

ModuleHandle PosixLibraries::loadLibrary(const std::string& fileName) {
    if (fileName.empty()) {
        // The loader would hand out the program itself for an empty name.
        errors_.setLastError(error::InvalidParameter);
        return 0;
    }
    if (fileName.find('/') != std::string::npos) {
        return open(fileName);
    }
    // The first library of that name found is the one loaded, even when it then fails to
    // load: a broken copy in the program's directory is reported, not silently passed over.
    const std::string beside = programDirectory() + fileName;
    if (fileExists(beside)) {
        return open(beside);
    }
    // Looked at first: the check would overwrite the reason the system's path failed with.
    const std::string current = "./" + fileName;
    const bool inCurrentDirectory = fileExists(current);
    if (const ModuleHandle module = open(fileName)) {
        return module;
    }
    if (inCurrentDirectory) {
        return open(current);
    }
    return 0;  // with the loader's words for the name on the system's path
}

bool PosixLibraries::isLoaded(ModuleHandle module) const {
    std::lock_guard lock(mutex_);
    return loads_.count(module) != 0;
}

ProcAddress PosixLibraries::getProcAddress(ModuleHandle module, const std::string& name) {
    if (!isLoaded(module)) {
        errors_.setLastError(error::InvalidHandle);
        return nullptr;
    }
    void* handle = reinterpret_cast<void*>(module);
    link_map* library = nullptr;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &library) != 0 || library == nullptr) {
        errors_.setLastErrorWithText(error::InvalidHandle, loaderMessage(""));
        return nullptr;
    }
    const std::string notFound = std::string(library->l_name) + ": undefined symbol: " + name;
    if (name.empty()) {
        errors_.setLastErrorWithText(error::ProcNotFound, notFound);
        return nullptr;
    }
    ::dlerror();
    void* address = ::dlsym(handle, name.c_str());
    if (address == nullptr) {
        errors_.setLastErrorWithText(error::ProcNotFound, loaderMessage(notFound.c_str()));
        return nullptr;
    }
    // The loader also finds names in the libraries this one depends on; only the library's
    // own entries count.
    Dl_info info{};
    link_map* owner = nullptr;
    if (::dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0 ||
        owner != library) {
        errors_.setLastErrorWithText(error::ProcNotFound, notFound);
        return nullptr;
    }
    ProcAddress procedure = nullptr;
    static_assert(sizeof procedure == sizeof address);
    std::memcpy(&procedure, &address, sizeof procedure);
    return procedure;
}

bool PosixLibraries::freeLibrary(ModuleHandle module) {
    {
        std::lock_guard lock(mutex_);
        const auto found = loads_.find(module);
        if (found == loads_.end()) {
            errors_.setLastError(error::InvalidHandle);
            return false;
        }
        if (--found->second == 0) {
            loads_.erase(found);
        }
    }
    ::dlerror();
    if (::dlclose(reinterpret_cast<void*>(module)) != 0) {
        errors_.setLastErrorWithText(error::InvalidHandle, loaderMessage(""));
        return false;
    }
    return true;
}

}  // namespace os::posix
