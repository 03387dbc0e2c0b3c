// Times large copies into a slot and large pastes out of one against a real X server, with real
// clients on the other side. Run through bench/x11-clipboard.sh, which starts a private X
// session; it prints one line per size, direction and peer.
//
//   pastrix_x11_clipboard_bench SIZE_MB...
//
// Copy: another client owns the clipboard with SIZE_MB of text; the time is the slot's capture
// through the program's clipboard and the save of the slot file, as a copy gesture does them.
// The owners: xclip and xsel, a second copy of the program's own clipboard engine in a process
// of its own (it sends INCR steps of 256 KB, as GTK does), and the GTK editor l3afpad after
// Ctrl+A, Ctrl+C (it also offers its rich text, which the slot keeps as well).
// Paste: the slot is put on the clipboard and the time is xclip reading it whole.
// Every run checks the bytes; a wrong byte or a failed step makes the exit status 1.
#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "os/Port.h"
#include "os/ScopedInstall.h"
#include "os/posix/HeapMemory.h"
#include "os/posix/PosixErrors.h"
#include "os/posix/PosixFileSystem.h"
#include "os/x11/X11Clipboard.h"
#include "windows/clipboard/PersistantClipboard.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace memory = windows::memory::WindowsMemoryHelper;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Valid UTF-8 text of the size, lines of varying content so that nothing compresses it to a
// pattern; plain letters fill the end, so that no character is cut.
std::string textOf(std::size_t size) {
    std::string text;
    text.reserve(size + 64);
    for (std::size_t line = 0; text.size() + 64 < size; ++line) {
        text += "line " + std::to_string(line) + " Grüße ✓ " + std::to_string(line * 7919) + "\n";
    }
    text.resize(size, 'x');
    return text;
}

Window clipboardOwner(Display* display) {
    return XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False));
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Starts xclip or xsel with the file as its input and waits until it owns the clipboard; its
// process id, negative when it did not take the clipboard.
pid_t toolOwning(Display* display, const std::string& tool, const std::string& path) {
    const Window before = clipboardOwner(display);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Both stay in the foreground (so they can be stopped by their process id) and talk.
        if (std::freopen(path.c_str(), "rb", stdin) == nullptr ||
            std::freopen("/dev/null", "w", stdout) == nullptr ||
            std::freopen("/dev/null", "w", stderr) == nullptr) {
            ::_exit(126);
        }
        if (tool == "xsel") {
            ::execlp("xsel", "xsel", "--clipboard", "--input", "--nodetach",
                     static_cast<char*>(nullptr));
        } else {
            ::execlp("xclip", "xclip", "-quiet", "-selection", "clipboard", "-i",
                     static_cast<char*>(nullptr));
        }
        ::_exit(127);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        const Window now = clipboardOwner(display);
        if (now != None && now != before) {
            return pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -pid;
}

// Runs a program to its end; true when it ended well.
bool run(const std::vector<std::string>& arguments) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            ::_exit(126);
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A GTK editor with the file open, all of it selected and copied with Ctrl+C; its process id,
// negative when it did not take the clipboard.
pid_t editorOwning(Display* display, const std::string& path) {
    const Window before = clipboardOwner(display);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp("l3afpad", "l3afpad", path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (!run({"timeout", "60", "xdotool", "search", "--sync", "--onlyvisible", "--class", "l3afpad",
              "windowactivate", "--sync"}) ||
        !run({"xdotool", "key", "--clearmodifiers", "ctrl+a", "ctrl+c"})) {
        return -pid;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
        const Window now = clipboardOwner(display);
        if (now != None && now != before) {
            return pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -pid;
}

// This program again, owning the clipboard with the file's bytes through a clipboard engine of
// its own; its process id, negative when it did not take the clipboard.
pid_t engineOwning(Display* display, const char* self, const std::string& path) {
    const Window before = clipboardOwner(display);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(self, self, "--own", path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        const Window now = clipboardOwner(display);
        if (now != None && now != before) {
            return pid;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -pid;
}

// The owning side of engineOwning: offers the file as text until it is stopped.
int own(const std::string& path) {
    XInitThreads();
    os::posix::PosixErrors errors;
    os::posix::HeapMemory heap(errors);
    char pattern[] = "/tmp/pastrix-clipboard-owner.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        return 1;
    }
    {
        os::x11::X11Clipboard clipboard(errors, heap, std::string(pattern) + "/clipboard-formats");
        const std::string text = fileBytes(path);
        const os::MemoryHandle block = heap.alloc(os::GMemMoveable, text.size());
        std::memcpy(heap.lock(block), text.data(), text.size());
        heap.unlock(block);
        if (!clipboard.open(0) || !clipboard.empty() || clipboard.setData(1, block) == 0 ||
            !clipboard.close()) {
            return 1;
        }
        sigset_t stop;
        sigemptyset(&stop);
        sigaddset(&stop, SIGTERM);
        sigprocmask(SIG_BLOCK, &stop, nullptr);
        int signal = 0;
        sigwait(&stop, &signal);
    }
    fs::remove_all(pattern);
    return 0;
}

// xclip reading the clipboard into the file; true when it ended well.
bool xclipReading(const std::string& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (std::freopen(path.c_str(), "wb", stdout) == nullptr) {
            ::_exit(126);
        }
        ::execlp("xclip", "xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string blockBytes(os::MemoryHandle block) {
    const std::size_t size = memory::globalSize(block);
    std::string bytes(static_cast<const char*>(memory::globalLock(block)), size);
    memory::globalUnlock(block);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--own") {
        return own(argv[2]);
    }
    if (argc < 2 || std::getenv("DISPLAY") == nullptr) {
        std::cerr << "usage (inside an X session): " << argv[0] << " SIZE_MB...\n";
        return 2;
    }
    XInitThreads();
    char pattern[] = "/tmp/pastrix-clipboard-bench.XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        return 1;
    }
    const std::string directory = pattern;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 1;
    }
    int failures = 0;
    {
        os::posix::PosixErrors errors;
        os::posix::HeapMemory heap(errors);
        os::posix::PosixFileSystem files(errors);
        os::x11::X11Clipboard clipboard(errors, heap, directory + "/clipboard-formats");
        os::Port port;
        port.errors = &errors;
        port.globalMemory = &heap;
        port.fileSystem = &files;
        port.clipboard = &clipboard;
        os::ScopedInstall installation(port);
        encryption::simple::XORFileReader reader;
        encryption::simple::XORFileWriter writer;

        for (int i = 1; i < argc; ++i) {
            const double megabytes = std::atof(argv[i]);
            const std::string text = textOf(static_cast<std::size_t>(megabytes * 1024 * 1024));
            const std::string source = directory + "/source";
            std::ofstream(source, std::ios::binary) << text;

            windows::clipboard::PersistantClipboard slot(reader, writer, "Pastrix");
            // The editor first: the slot that is pasted afterwards holds the last owner's text.
            for (const char* owner : {"l3afpad", "xclip", "xsel", "INCR steps of 256 KB"}) {
                const std::string from = owner;
                if (from == "l3afpad" && megabytes > 10) {
                    // The editor itself takes longer to load and select such a text than
                    // anything measured here.
                    continue;
                }
                const pid_t peer = from == "l3afpad" ? editorOwning(display, source)
                                   : from.rfind("INCR", 0) == 0
                                       ? engineOwning(display, argv[0], source)
                                       : toolOwning(display, from, source);
                if (peer < 0) {
                    std::cerr << "the other client did not take the clipboard\n";
                    ::kill(-peer, SIGTERM);
                    return 1;
                }
                auto start = Clock::now();
                const bool captured = slot.capture();
                const double captureTime = secondsSince(start);
                start = Clock::now();
                slot.save(directory + "/slot");
                const double saveTime = secondsSince(start);
                // An editor offers more than the text.
                const auto& entries = slot.getEntries();
                const auto textEntry = std::find_if(
                    entries.begin(), entries.end(),
                    [](const windows::clipboard::ClipboardEntry& e) { return e.format == 1; });
                const bool copyRight =
                    captured && textEntry != entries.end() && blockBytes(textEntry->memory) == text;
                std::printf(
                    "copy  %7.1f MB  %8.3f s  (capture %.3f s, slot file %.3f s) from %s%s\n",
                    megabytes, captureTime + saveTime, captureTime, saveTime, owner,
                    copyRight ? "" : "  WRONG BYTES");
                std::fflush(stdout);
                ::kill(peer, SIGTERM);
                ::waitpid(peer, nullptr, 0);
                failures += copyRight ? 0 : 1;
            }

            slot.restore();
            const std::string pasted = directory + "/pasted";
            const auto start = Clock::now();
            const bool read = xclipReading(pasted);
            const double pasteTime = secondsSince(start);
            const bool pasteRight = read && fileBytes(pasted) == text;
            std::printf("paste %7.1f MB  %8.3f s  (xclip -o)%s\n", megabytes, pasteTime,
                        pasteRight ? "" : "  WRONG BYTES");
            std::fflush(stdout);
            failures += pasteRight ? 0 : 1;
        }
    }
    XCloseDisplay(display);
    fs::remove_all(directory);
    return failures == 0 ? 0 : 1;
}
