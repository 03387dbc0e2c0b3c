#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Helpers of the tests of keys on X11: each test runs in an X session of its own.
namespace keys_test {

// Runs the command line with /bin/sh and returns what it printed; the test fails when it
// exits with another status than 0.
std::string run(const std::string& commandLine);

// Asks until the answer is true or the time is up; returns the last answer.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A program the test started, stopped (by its own process id) when the test ends.
class Peer {
public:
    explicit Peer(const std::vector<std::string>& arguments);
    ~Peer();
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

private:
    pid_t pid_ = -1;
};

// The text editor l3afpad, started with an empty document and in front.
class Editor {
public:
    Editor();
    // Its whole text, read through the clipboard (select all, copy).
    std::string text();

private:
    Peer peer_;
};

}  // namespace keys_test
