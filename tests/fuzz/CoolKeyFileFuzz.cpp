// A Cool Key file of any content: it loads or fails with the load message, and what loaded
// saves and loads back unchanged.
#include "FuzzSupport.h"
#include "config/coolkeys/CKEntry.h"
#include "exceptions/Exception.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using products::pastrix::config::coolkeys::CKEntry;
    fuzz::setUp();
    fuzz::MemoryReader reader(fuzz::bytesOf(data, size));
    fuzz::MemoryWriter writer;
    CKEntry entry(reader, writer);
    try {
        entry.load("ck_1.ckf");
    } catch (const exceptions::Exception&) {
        return 0;
    }
    if (entry.getAbbreviation().empty() || entry.getExpand().empty()) {
        return 0;  // saving such an entry is refused by assertion only
    }
    entry.save("ck_1.ckf");
    fuzz::MemoryReader again(writer.written);
    CKEntry reloaded(again, writer);
    reloaded.load("ck_1.ckf");
    if (reloaded.getAbbreviation() != entry.getAbbreviation() ||
        reloaded.getExpand() != entry.getExpand()) {
        std::abort();
    }
    return 0;
}
