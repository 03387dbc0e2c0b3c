#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace x11_testing {

// Another X client started by a test and stopped, by its process id, when the object goes.
class Peer {
public:
    explicit Peer(const std::vector<std::string>& command);
    ~Peer();
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

struct CommandResult {
    int status = -1;  // the exit status; -1 when the program did not end normally
    std::string output;
};

// Runs a program to its end (no shell involved) and collects its standard output.
CommandResult run(const std::vector<std::string>& command);

// Asks again until the condition holds or the time is up; returns the last answer.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// A private directory for the test's files, removed with everything in it at the end.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace x11_testing
