#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

// What the hook library posted into this test program, which plays the program's side of the
// library's contract.
namespace hook_test {

// One message the library posted, with the key state it gave.
struct Posted {
    std::uintptr_t window;
    unsigned message;
    std::uintptr_t wParam;
    std::uint32_t keyData;
    std::array<std::uint8_t, 256> state;

    bool isDown(unsigned key) const { return (state[key] & 0x80) != 0; }
    bool released() const { return (keyData & 0x80000000U) != 0; }
    unsigned scanCode() const { return (keyData >> 16) & 0xFF; }
    bool extended() const { return (keyData & 0x01000000U) != 0; }
    bool wasDown() const { return (keyData & 0x40000000U) != 0; }
};

extern std::mutex postedMutex;
extern std::vector<Posted> posted;

// The messages posted so far, which are then forgotten.
std::vector<Posted> takePosted();
std::size_t postedCount();

}  // namespace hook_test
