#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// Bytes of slot files made by hand, for files the program would never write itself.
inline std::string littleEndian(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
            static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
}

// A header with the entry count and caption, padded to its 260 bytes.
inline std::string slotHeader(std::uint32_t count, const std::string& caption) {
    std::string bytes = littleEndian(count) + caption;
    bytes.resize(260, '\0');
    return bytes;
}

inline std::string slotEntry(std::uint32_t format, const std::string& data) {
    return littleEndian(format) + littleEndian(static_cast<std::uint32_t>(data.size())) + data;
}

}  // namespace testing_support
