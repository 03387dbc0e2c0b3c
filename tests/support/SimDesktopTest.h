#pragma once

#include "os/ScopedInstall.h"
#include "os/sim/SimDesktop.h"
#include "platform/assertion/AssertionListener.h"
#include "platform/assertion/AssertionListenerInstaller.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testing_support {

// Collects assertion reports so that tests can tell which expectations broke.
class RecordingAssertionListener final : public platform::AssertionListener {
public:
    void assertionFailed(const std::string& report) override { reports.push_back(report); }
    // True when a report names this condition.
    bool reported(const std::string& condition) const;

    std::vector<std::string> reports;
};

// A fresh simulated desktop for each test, installed as the platform, and a private
// temporary directory that is the current directory while the test runs.
class SimDesktopTest : public ::testing::Test {
protected:
    SimDesktopTest();
    ~SimDesktopTest() override;

    // A path inside the test's directory.
    std::string path(const std::string& name) const;
    // Writes a file with the given bytes, creating its directories.
    void writeFile(const std::string& name, const std::string& bytes) const;
    std::string readFile(const std::string& name) const;

    os::sim::SimDesktop desktop;
    std::filesystem::path directory;

private:
    std::filesystem::path previousDirectory;
    os::ScopedInstall installation;
};

// A simulated-desktop test that also records assertion reports instead of printing them.
class SimDesktopAssertionTest : public SimDesktopTest {
protected:
    RecordingAssertionListener assertions;

private:
    platform::AssertionListenerInstaller installer{assertions};
};

}  // namespace testing_support
