#pragma once

#include "io/file/FileWriter.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "util/config/ConfigImpl.h"

#include <memory>
#include <string>

namespace testing_support {

// Counts the files written through it.
class CountingWriter final : public io::file::FileWriter {
public:
    void write(const std::string& fileName, const std::string& bytes,
               std::ios_base::openmode openMode) override {
        ++writes;
        plain.write(fileName, bytes, openMode);
    }

    int writes = 0;

private:
    io::file::PlainFileWriter plain;
};

// An unscrambled "config.cfg" in the current directory with the pages' keys, and the
// configuration read from it.
class SettingsFile {
public:
    SettingsFile() {
        io::file::PlainFileWriter().write("config.cfg", standardText(), {});
        config = std::make_unique<util::config::ConfigImpl>(
            "config.cfg", util::config::ConfigImpl::FromFile, reader, writer);
    }

    // The value as the file on disk holds it now.
    std::string stored(const std::string& key) {
        io::file::PlainFileWriter unused;
        util::config::ConfigImpl onDisk("config.cfg", util::config::ConfigImpl::FromFile, reader,
                                        unused);
        return onDisk.getString(key);
    }

    static std::string standardText() {
        return "# settings\r\nPX_Enabled=true\r\nPX_SerializeLimit=5000000\r\n"
               "PX_SerializeMethod=0\r\nPX_UseSmartSave=true\r\nPX_UseToolTip=true\r\n"
               "PX_FilterKeys=65|67\r\nSUPPORT_Version=1.2\r\n"
               "SUPPORT_Support=support@pastrix.org\r\nSUPPORT_Homepage=https://pastrix.org/\r\n";
    }

    io::file::PlainFileReader reader;
    CountingWriter writer;
    std::unique_ptr<util::config::ConfigImpl> config;
};

}  // namespace testing_support
