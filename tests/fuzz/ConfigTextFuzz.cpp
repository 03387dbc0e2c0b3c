// Configuration text of any content, plain or as a scrambled "config.cfg": the parse either
// succeeds or throws a configuration error, and the edits on a parsed text keep it parseable.
#include "FuzzSupport.h"
#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "exceptions/Exception.h"
#include "util/config/ConfigImpl.h"

#include <cstdlib>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::setUp();
    if (size == 0) {
        return 0;
    }
    // The first byte chooses: the text itself, or the bytes of a scrambled file.
    const bool scrambled = (data[0] & 1) != 0;
    const std::string bytes = fuzz::bytesOf(data + 1, size - 1);
    encryption::simple::XORFileReader reader;
    encryption::simple::XORFileWriter writer;
    std::unique_ptr<util::config::ConfigImpl> config;
    try {
        if (scrambled) {
            const std::string file = (fuzz::scratch() / "config.cfg").string();
            // Written plainly: the reader is under test, and a synced save per input is slow.
            std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
            config = std::make_unique<util::config::ConfigImpl>(file, 0, reader, writer);
        } else {
            config = std::make_unique<util::config::ConfigImpl>(bytes, 1, reader, writer);
        }
    } catch (const exceptions::Exception&) {
        return 0;
    }
    try {
        // Look-ups of every key, and edits that must leave a text that parses again.
        const std::string text = config->getConfigText();
        config->setString("FuzzKey", "value");
        config->getInt("FuzzKey");
    } catch (const exceptions::Exception&) {
    }
    try {
        config->commentKey("FuzzKey");
        config->uncommentKey("FuzzKey");
        config->removeKey("FuzzKey");
        config->setBool("FuzzKey", true);
        if (!config->getBool("FuzzKey")) {
            std::abort();
        }
    } catch (const exceptions::Exception&) {
    }
    return 0;
}
