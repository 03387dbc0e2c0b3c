#pragma once

#include "os/FileSystem.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace os::common {

// The open directory listings of a file system, read whole and handed out entry by entry:
// sorted by name, so a workspace loads in the same order on every machine and file system.
class FindListings {
public:
    // Sorts the entries (there is at least one), gives the first and returns the new handle.
    FindHandle open(std::vector<FindData> entries, FindData& first);
    // The next entry; error::NoMoreFiles at the end, error::InvalidHandle for a handle that is
    // not open. error::Success when an entry was given.
    int next(FindHandle handle, FindData& data);
    // error::Success, or error::InvalidHandle.
    int close(FindHandle handle);

private:
    struct Listing {
        std::vector<FindData> entries;
        std::size_t next = 0;
    };

    std::mutex mutex_;
    std::map<FindHandle, std::unique_ptr<Listing>> listings_;
    FindHandle nextHandle_ = 1;
};

}  // namespace os::common
