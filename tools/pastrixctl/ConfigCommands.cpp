#include "ConfigCommands.h"

#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "exceptions/Exception.h"
#include "io/file/FileHelper.h"
#include "util/config/ConfigException.h"
#include "util/config/ConfigImpl.h"

#include <ostream>

namespace pastrixctl {

const char* const configUsage =
    "  config decode <file>                 print the plain text of a configuration file\n"
    "  config encode <plain> <file>         scramble a plain text into a configuration file\n"
    "  config get <file> <key>              print the value of a key\n"
    "  config set <file> <key> <value>      change a key, or add it at the end\n"
    "  config comment <file> <key>          turn a key's line into a comment\n"
    "  config uncomment <file> <key>        turn a commented key back into a key\n"
    "  config remove <file> <key>           delete a key's line\n";

namespace {

using util::config::ConfigImpl;

struct Files {
    encryption::simple::XORFileReader reader;
    encryption::simple::XORFileWriter writer;
};

int usageError(std::ostream& err, const std::string& problem) {
    err << "pastrixctl: " << problem << "\nusage:\n" << configUsage;
    return 2;
}

// Loads the file, applies the edit and writes the file back when its text changed.
template <typename Edit>
int editFile(const std::string& fileName, Edit edit) {
    Files files;
    ConfigImpl config(fileName, ConfigImpl::FromFile, files.reader, files.writer);
    const std::string before = config.getConfigText();
    edit(config);
    if (config.getConfigText() != before) {
        config.save("");
    }
    return 0;
}

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const std::string& command = arguments[0];
    const std::size_t count = arguments.size() - 1;
    if (command == "decode" && count == 1) {
        Files files;
        out << files.reader.read(arguments[1], 0);
        return 0;
    }
    if (command == "encode" && count == 2) {
        const std::string text = io::file::FileHelper::load(arguments[1], 0);
        Files files;
        // A text the program would refuse at start-up is refused here, before it is shipped.
        ConfigImpl check(text, ConfigImpl::FromText, files.reader, files.writer);
        files.writer.write(arguments[2], text, std::ios_base::openmode{});
        return 0;
    }
    if (command == "get" && count == 2) {
        Files files;
        const ConfigImpl config(arguments[1], ConfigImpl::FromFile, files.reader, files.writer);
        out << config.getString(arguments[2]) << '\n';
        return 0;
    }
    if (command == "set" && count == 3) {
        return editFile(arguments[1],
                        [&](ConfigImpl& config) { config.setString(arguments[2], arguments[3]); });
    }
    if (command == "comment" && count == 2) {
        return editFile(arguments[1], [&](ConfigImpl& config) { config.commentKey(arguments[2]); });
    }
    if (command == "uncomment" && count == 2) {
        return editFile(arguments[1],
                        [&](ConfigImpl& config) { config.uncommentKey(arguments[2]); });
    }
    if (command == "remove" && count == 2) {
        bool found = true;
        const int result = editFile(arguments[1], [&](ConfigImpl& config) {
            found = config.hasKey(arguments[2]);
            config.removeKey(arguments[2]);
        });
        if (!found) {
            err << "pastrixctl: the key '" << arguments[2] << "' is not in " << arguments[1]
                << '\n';
            return 1;
        }
        return result;
    }
    return usageError(err, "unknown config command or wrong number of arguments");
}

}  // namespace

int runConfigCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err) {
    if (arguments.empty()) {
        return usageError(err, "config needs a command");
    }
    try {
        return run(arguments, out, err);
    } catch (const util::config::ConfigException& e) {
        // The short text: the full one repeats the whole configuration.
        err << "pastrixctl: " << e.getShortMessage() << '\n';
    } catch (const exceptions::Exception& e) {
        err << "pastrixctl: " << e.getMessage() << '\n';
    }
    return 1;
}

}  // namespace pastrixctl
