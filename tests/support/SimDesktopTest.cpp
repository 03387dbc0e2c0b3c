#include "support/SimDesktopTest.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace testing_support {

bool RecordingAssertionListener::reported(const std::string& condition) const {
    const std::string line = "Assertion failed. Message: " + condition + "\n";
    return std::any_of(reports.begin(), reports.end(), [&](const std::string& report) {
        return report.find(line) != std::string::npos;
    });
}

SimDesktopTest::SimDesktopTest() : installation(desktop.port()) {
    std::random_device random;
    directory = std::filesystem::temp_directory_path() /
                ("pastrix-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(directory);
    previousDirectory = std::filesystem::current_path();
    std::filesystem::current_path(directory);
}

SimDesktopTest::~SimDesktopTest() {
    std::error_code ignored;
    std::filesystem::current_path(previousDirectory, ignored);
    std::filesystem::remove_all(directory, ignored);
}

std::string SimDesktopTest::path(const std::string& name) const {
    return (directory / name).string();
}

void SimDesktopTest::writeFile(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = directory / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SimDesktopTest::readFile(const std::string& name) const {
    std::ifstream in(directory / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_support
