#pragma once

#include <ctime>
#include <string>

namespace platform {

// Reports a broken internal expectation and returns: the program never stops on one. The
// report goes to the installed listener, or else to standard output and "assertion.txt" in
// the current directory.
void assertionFailed(const std::string& condition, const std::string& file, int line) noexcept;

// The nine-line report for a failure at the given local time.
std::string assertionReport(const std::string& condition, const std::string& file, int line,
                            std::time_t when);

// The 24-character local-time text of a report, such as "Fri Feb 14 10:22:05 2003".
std::string assertionTime(std::time_t when);

}  // namespace platform

// Tests the condition and reports it, with its own source text, when it does not hold.
// Source files are named relative to src/ (the build maps the prefix away).
#define PX_ASSERT(condition)                                             \
    do {                                                                 \
        if (!(condition)) {                                              \
            ::platform::assertionFailed(#condition, __FILE__, __LINE__); \
        }                                                                \
    } while (false)
