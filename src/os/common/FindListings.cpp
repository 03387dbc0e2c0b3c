#include "os/common/FindListings.h"

#include "os/ErrorCodes.h"

#include <algorithm>

namespace os::common {

FindHandle FindListings::open(std::vector<FindData> entries, FindData& first) {
    auto listing = std::make_unique<Listing>();
    listing->entries = std::move(entries);
    std::sort(listing->entries.begin(), listing->entries.end(),
              [](const FindData& a, const FindData& b) { return a.name < b.name; });
    first = listing->entries[0];
    listing->next = 1;

    std::lock_guard lock(mutex_);
    const FindHandle handle = nextHandle_++;
    listings_.emplace(handle, std::move(listing));
    return handle;
}

int FindListings::next(FindHandle handle, FindData& data) {
    std::lock_guard lock(mutex_);
    const auto found = listings_.find(handle);
    if (found == listings_.end()) {
        return error::InvalidHandle;
    }
    Listing& listing = *found->second;
    if (listing.next >= listing.entries.size()) {
        return error::NoMoreFiles;
    }
    data = listing.entries[listing.next++];
    return error::Success;
}

int FindListings::close(FindHandle handle) {
    std::lock_guard lock(mutex_);
    return listings_.erase(handle) == 0 ? error::InvalidHandle : error::Success;
}

}  // namespace os::common
