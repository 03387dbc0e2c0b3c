#include "KeysTestSupport.h"

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

namespace keys_test {

std::string run(const std::string& commandLine) {
    std::string output;
    FILE* pipe = popen(commandLine.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << commandLine;
        return output;
    }
    char buffer[4096];
    std::size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, read);
    }
    const int status = pclose(pipe);
    EXPECT_EQ(status, 0) << commandLine;
    return output;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

Peer::Peer(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    EXPECT_GT(pid_, 0) << "cannot start " << arguments.front();
}

Peer::~Peer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

Editor::Editor() : peer_({"l3afpad"}) {
    // l3afpad takes the focus once its window is mapped.
    const bool shown = waitFor([] {
        FILE* pipe = popen("xdotool search --onlyvisible --class l3afpad 2>/dev/null", "r");
        if (pipe == nullptr) {
            return false;
        }
        char buffer[64];
        const bool found = fgets(buffer, sizeof buffer, pipe) != nullptr;
        pclose(pipe);
        return found;
    });
    EXPECT_TRUE(shown) << "l3afpad did not show its window";
    run("xdotool search --onlyvisible --class l3afpad windowactivate --sync");
}

std::string Editor::text() {
    run("xdotool key --clearmodifiers ctrl+a ctrl+c");
    // The editor owns the clipboard once it has copied.
    std::string copied;
    waitFor([&] {
        FILE* pipe = popen("xclip -o -selection clipboard 2>/dev/null", "r");
        if (pipe == nullptr) {
            return false;
        }
        copied.clear();
        char buffer[4096];
        std::size_t read = 0;
        while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            copied.append(buffer, read);
        }
        return pclose(pipe) == 0;
    });
    return copied;
}

}  // namespace keys_test
