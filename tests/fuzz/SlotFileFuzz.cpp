// A slot file of any content: loading it either fills the slot or fails with the load
// message, and a slot that loaded saves back to a file that loads to the same snapshot.
#include "FuzzSupport.h"
#include "config/workspace/KeyClipboard.h"
#include "exceptions/Exception.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::setUp();
    fuzz::MemoryReader reader(fuzz::bytesOf(data, size));
    fuzz::MemoryWriter writer;
    products::pastrix::config::workspace::KeyClipboard slot(65, reader, writer);
    try {
        slot.load("px_65.pxf");
    } catch (const exceptions::Exception&) {
        return 0;
    }
    slot.save("px_65.pxf");
    fuzz::MemoryReader again(writer.written);
    fuzz::MemoryWriter unused;
    products::pastrix::config::workspace::KeyClipboard reloaded(65, again, unused);
    reloaded.load("px_65.pxf");
    if (reloaded.getFormats() != slot.getFormats() || reloaded.getSize() != slot.getSize() ||
        reloaded.getCaption() != slot.getCaption()) {
        std::abort();
    }
    return 0;
}
