#pragma once

#include "io/file/FileReader.h"
#include "io/file/FileWriter.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

// What every fuzz target shares: the simulated desktop installed as the platform, assertion
// reports kept quiet (an assertion is a report, not a finding), and a private directory.
namespace fuzz {

// Installs the platform and makes a private directory, once per process.
void setUp();
// The private directory made by setUp.
const std::filesystem::path& scratch();

std::string bytesOf(const std::uint8_t* data, std::size_t size);

// Hands the fuzzer's bytes to a loader as if they were the file's content.
class MemoryReader final : public io::file::FileReader {
public:
    explicit MemoryReader(std::string bytes) : bytes_(std::move(bytes)) {}
    std::string read(const std::string&, std::size_t) override { return bytes_; }

private:
    std::string bytes_;
};

// Keeps what a save would write, so a round trip needs no disk.
class MemoryWriter final : public io::file::FileWriter {
public:
    void write(const std::string&, const std::string& bytes, std::ios_base::openmode) override {
        written = bytes;
    }
    std::string written;
};

}  // namespace fuzz
