#include "platform/assertion/Assertion.h"

#include "platform/ProductInfo.h"
#include "platform/assertion/AssertionListener.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>

namespace platform {

namespace {

const char* const separatorLine = "----------------------------------------\n";

std::tm localTime(std::time_t when) {
    // The C library's local time shares one buffer between threads.
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    const std::tm* local = std::localtime(&when);
    return local != nullptr ? *local : std::tm{};
}

}  // namespace

std::string assertionTime(std::time_t when) {
    // Spelled out rather than taken from the locale: the report reads the same everywhere.
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm t = localTime(when);
    char text[32];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %04d", days[(t.tm_wday % 7 + 7) % 7],
                  months[(t.tm_mon % 12 + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  t.tm_year + 1900);
    return text;
}

std::string assertionReport(const std::string& condition, const std::string& file, int line,
                            std::time_t when) {
    std::string report = separatorLine;
    report += "Assertion failed. Message: " + condition + "\n";
    report += "File: " + file + "\n";
    report += "Line: " + std::to_string(line) + "\n";
    report += "Occurred: " + assertionTime(when) + "\n";
    report += "\n";
    report += std::string("Please contact ") + SupportAddress + ".\n";
    report += "Thank you for helping us improve the software.\n";
    report += separatorLine;
    return report;
}

void assertionFailed(const std::string& condition, const std::string& file, int line) noexcept {
    try {
        const std::string report = assertionReport(condition, file, line, std::time(nullptr));
        if (AssertionListener* listener = installedAssertionListener()) {
            listener->assertionFailed(report);
            return;
        }
        std::cout << report << std::flush;
        std::ofstream out("assertion.txt", std::ios::out | std::ios::app | std::ios::binary);
        out << report;
    } catch (...) {
        // Reporting must never take the program down; a report that cannot be made is lost.
    }
}

}  // namespace platform
