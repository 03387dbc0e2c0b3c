// clang-format off
// Before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format on

#include "os/Port.h"
#include "os/ScopedInstall.h"
#include "os/posix/HeapMemory.h"
#include "os/posix/PosixErrors.h"
#include "os/x11/SelectionReader.h"
#include "os/x11/X11Clipboard.h"
#include "windows/clipboard/Clipboard.h"
#include "windows/clipboard/ClipboardHelper.h"
#include "windows/memory/WindowsMemoryHelper.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <random>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#undef Success

namespace {

using namespace std::string_literals;
using windows::clipboard::Clipboard;
namespace ClipboardHelper = windows::clipboard::ClipboardHelper;
namespace memory = windows::memory::WindowsMemoryHelper;
namespace fs = std::filesystem;

// A program the test started; it is stopped by its process id, never by name.
class Peer {
public:
    explicit Peer(const std::vector<std::string>& arguments) {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            std::vector<char*> argv;
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~Peer() { stop(); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
};

// Runs a program to its end and returns what it wrote to standard output; the exit status goes
// to `status`.
std::string outputOf(const std::vector<std::string>& arguments, int& status) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        status = -1;
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeEnds[1], 1);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 2);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[65536];
    ssize_t count = 0;
    while ((count = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(pipeEnds[0]);
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

std::string xclipOut(const std::string& target) {
    int status = 0;
    std::string output = outputOf({"xclip", "-o", "-selection", "clipboard", "-t", target}, status);
    EXPECT_EQ(status, 0) << "xclip -o -t " << target;
    return output;
}

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator());
    }
    return bytes;
}

// A selection owner written the plain Xlib way, answering requests on a thread of its own; the
// answer writes the requestor's property and says whether it gave the target.
class RawOwner {
public:
    using Answer = std::function<bool(Display*, const XSelectionRequestEvent&)>;

    RawOwner(const char* selection, Answer answer) : answer_(std::move(answer)) {
        display_ = XOpenDisplay(nullptr);
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display_, XInternAtom(display_, selection, False), window_, CurrentTime);
        XSync(display_, False);
        thread_ = std::thread([this] { run(); });
    }
    ~RawOwner() {
        stop_ = true;
        thread_.join();
        XCloseDisplay(display_);
    }
    RawOwner(const RawOwner&) = delete;
    RawOwner& operator=(const RawOwner&) = delete;

private:
    void run() {
        while (!stop_) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type != SelectionRequest) {
                    continue;
                }
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XSelectionEvent reply{};
                reply.type = SelectionNotify;
                reply.requestor = request.requestor;
                reply.selection = request.selection;
                reply.target = request.target;
                reply.time = request.time;
                reply.property = answer_(display_, request) ? request.property : None;
                XSendEvent(display_, request.requestor, False, NoEventMask,
                           reinterpret_cast<XEvent*>(&reply));
                XFlush(display_);
            }
            pollfd wait{ConnectionNumber(display_), POLLIN, 0};
            ::poll(&wait, 1, 20);
        }
    }

    Answer answer_;
    Display* display_ = nullptr;
    Window window_ = None;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// An owner that hands out one text in INCR steps of a small fixed size, as some clients do,
// however small the text; each step waits for the requestor to delete the last one, and then
// for the pause, which lets a hostile owner trickle its text just inside the requestor's wait.
class SteppingOwner {
public:
    SteppingOwner(std::string text, std::size_t stepSize,
                  std::chrono::milliseconds pause = std::chrono::milliseconds(0))
        : text_(std::move(text)), stepSize_(stepSize), pause_(pause) {
        display_ = XOpenDisplay(nullptr);
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display_, XInternAtom(display_, "CLIPBOARD", False), window_,
                           CurrentTime);
        XSync(display_, False);
        thread_ = std::thread([this] { run(); });
    }
    ~SteppingOwner() {
        stop_ = true;
        thread_.join();
        XCloseDisplay(display_);
    }
    SteppingOwner(const SteppingOwner&) = delete;
    SteppingOwner& operator=(const SteppingOwner&) = delete;

private:
    void run() {
        const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
        const Atom incr = XInternAtom(display_, "INCR", False);
        Window requestor = None;
        Atom property = None;
        std::size_t offset = 0;
        bool sending = false;
        std::optional<std::chrono::steady_clock::time_point> nextStep;
        while (!stop_) {
            if (nextStep && std::chrono::steady_clock::now() >= *nextStep) {
                nextStep.reset();
                const std::size_t size = std::min(stepSize_, text_.size() - offset);
                XChangeProperty(display_, requestor, property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text_.data() + offset),
                                static_cast<int>(size));
                offset += size;
                sending = size != 0;
                XFlush(display_);
            }
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == SelectionRequest) {
                    const XSelectionRequestEvent& request = event.xselectionrequest;
                    XSelectionEvent reply{};
                    reply.type = SelectionNotify;
                    reply.requestor = request.requestor;
                    reply.selection = request.selection;
                    reply.target = request.target;
                    reply.time = request.time;
                    reply.property = None;
                    if (request.target == utf8) {
                        XSelectInput(display_, request.requestor, PropertyChangeMask);
                        const long size = static_cast<long>(text_.size());
                        XChangeProperty(display_, request.requestor, request.property, incr, 32,
                                        PropModeReplace,
                                        reinterpret_cast<const unsigned char*>(&size), 1);
                        requestor = request.requestor;
                        property = request.property;
                        offset = 0;
                        sending = true;
                        reply.property = request.property;
                    }
                    XSendEvent(display_, request.requestor, False, NoEventMask,
                               reinterpret_cast<XEvent*>(&reply));
                } else if (event.type == PropertyNotify && sending &&
                           event.xproperty.window == requestor &&
                           event.xproperty.atom == property &&
                           event.xproperty.state == PropertyDelete) {
                    nextStep = std::chrono::steady_clock::now() + pause_;
                }
                XFlush(display_);
            }
            pollfd wait{ConnectionNumber(display_), POLLIN, 0};
            ::poll(&wait, 1, nextStep ? 5 : 20);
        }
    }

    std::string text_;
    std::size_t stepSize_;
    std::chrono::milliseconds pause_;
    Display* display_ = nullptr;
    Window window_ = None;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class X11ClipboardTest : public testing::Test {
protected:
    static void SetUpTestSuite() { XInitThreads(); }

    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run inside scripts/xsession";
        char pattern[] = "/tmp/pastrix-x11clip.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        directory = pattern;
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        clipboardAtom = XInternAtom(display, "CLIPBOARD", False);
        startClipboard();
    }
    void TearDown() override {
        installation.reset();
        clipboard.reset();
        if (display != nullptr) {
            XCloseDisplay(display);
        }
        fs::remove_all(directory);
    }

    void startClipboard() {
        installation.reset();
        clipboard.reset();
        clipboard =
            std::make_unique<os::x11::X11Clipboard>(errors, heap, directory + "/clipboard-formats");
        ASSERT_TRUE(clipboard->connected());
        os::Port port;
        port.errors = &errors;
        port.globalMemory = &heap;
        port.clipboard = clipboard.get();
        installation = std::make_unique<os::ScopedInstall>(port);
    }

    std::string file(const std::string& name, const std::string& bytes) {
        const std::string path = directory + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    Window owner() { return XGetSelectionOwner(display, clipboardAtom); }

    // Waits until a client other than `previous` owns the clipboard.
    bool awaitNewOwner(Window previous) {
        for (int i = 0; i < 500; ++i) {
            const Window now = owner();
            if (now != None && now != previous) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // xclip owning the clipboard with the bytes under the target (its own choice of text
    // targets when the target is empty).
    std::unique_ptr<Peer> xclipOwning(const std::string& target, const std::string& bytes) {
        const Window before = owner();
        std::vector<std::string> arguments = {"xclip", "-quiet", "-selection", "clipboard"};
        if (!target.empty()) {
            arguments.insert(arguments.end(), {"-t", target});
        }
        arguments.insert(arguments.end(), {"-i", file("peer-data", bytes)});
        auto peer = std::make_unique<Peer>(arguments);
        EXPECT_TRUE(awaitNewOwner(before)) << "xclip did not take the clipboard";
        return peer;
    }

    void fill(Clipboard& snapshot, const std::vector<std::pair<unsigned, std::string>>& formats) {
        for (const auto& [format, bytes] : formats) {
            const os::MemoryHandle block = memory::globalAlloc(os::GMemMoveable, bytes.size());
            std::memcpy(memory::globalLock(block), bytes.data(), bytes.size());
            memory::globalUnlock(block);
            snapshot.add({block, format});
        }
    }

    std::vector<std::pair<unsigned, std::string>> contentOf(const Clipboard& snapshot) {
        std::vector<std::pair<unsigned, std::string>> result;
        for (const auto& entry : snapshot.getEntries()) {
            const std::size_t size = memory::globalSize(entry.memory);
            result.emplace_back(
                entry.format,
                std::string(static_cast<const char*>(memory::globalLock(entry.memory)), size));
            memory::globalUnlock(entry.memory);
        }
        return result;
    }

    unsigned format(const std::string& name) { return clipboard->registerFormat(name); }

    // A raw request as an X client makes it; the answer's property, None when refused.
    Atom request(Display* peer, Window window, Atom target, Atom property) {
        XConvertSelection(peer, clipboardAtom, target, property, window, CurrentTime);
        XFlush(peer);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < deadline) {
            XEvent event;
            if (XCheckTypedWindowEvent(peer, window, SelectionNotify, &event)) {
                return event.xselection.property;
            }
            pollfd wait{ConnectionNumber(peer), POLLIN, 0};
            ::poll(&wait, 1, 50);
        }
        ADD_FAILURE() << "no answer to the selection request";
        return None;
    }

    std::string propertyBytes(Display* peer, Window window, Atom property, Atom& type) {
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(peer, window, property, 0, 1 << 24, True, AnyPropertyType, &type,
                           &format, &count, &after, &data);
        std::string bytes;
        if (data != nullptr) {
            const std::size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
            bytes.assign(reinterpret_cast<const char*>(data), count * unit);
            XFree(data);
        }
        return bytes;
    }

    os::posix::PosixErrors errors;
    os::posix::HeapMemory heap{errors};
    std::unique_ptr<os::x11::X11Clipboard> clipboard;
    std::unique_ptr<os::ScopedInstall> installation;
    std::string directory;
    Display* display = nullptr;
    Atom clipboardAtom = None;
};

TEST_F(X11ClipboardTest, CapturesWhatAnotherClientOffersByteForByte) {
    const std::string png = "\x89PNG\r\n\x1a\n"s + randomBytes(1024 * 1024, 7);
    const struct {
        const char* target;  // empty: xclip's own text targets
        std::string bytes;
        const char* formatName;  // empty: "CF_TEXT"
        std::vector<std::string> dataTypes;
        std::string preview;
    } cases[] = {
        {"", "Grüße, ✓ world\nsecond line", "", {"Text"}, "Grüße, ✓ world\nsecond line"},
        {"text/html", "<b>bold</b> ü", "text/html", {"Html"}, "N/A"},
        {"image/png", png, "image/png", {"Bitmap"}, "N/A"},
        {"text/uri-list", "file:///tmp/a%20b.txt\r\n", "text/uri-list", {"File"}, "N/A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        auto peer = xclipOwning(c.target, c.bytes);
        Clipboard snapshot("Clipboard");
        ASSERT_TRUE(snapshot.capture());
        const unsigned expected = std::string(c.formatName).empty() ? 1u : format(c.formatName);
        const auto captured = contentOf(snapshot);
        ASSERT_EQ(captured.size(), 1u);
        EXPECT_EQ(captured[0].first, expected);
        EXPECT_TRUE(captured[0].second == c.bytes)
            << captured[0].second.size() << " bytes instead of " << c.bytes.size();
        EXPECT_EQ(snapshot.getDataTypes(), c.dataTypes);
        EXPECT_EQ(snapshot.getText(), c.preview);
    }
}

TEST_F(X11ClipboardTest, ServesASnapshotToOtherClientsByteForByteIncludingLargeData) {
    std::string text = "Grüße ✓ <>&\"'\n";
    while (text.size() < 400 * 1024) {
        text += "line " + std::to_string(text.size()) + " of a long text\n";
    }
    const std::string html = "<p>Hello <i>there</i></p>";
    const std::string png = "\x89PNG\r\n\x1a\n"s + randomBytes(900 * 1024, 11);
    // A text that came with the zero of another desktop, and a format X clients have no name
    // for: the program keeps both, other clients see neither.
    const std::vector<std::pair<unsigned, std::string>> content = {
        {1, text + '\0'}, {format("text/html"), html}, {format("image/png"), png}, {13, "u\0"s}};
    Clipboard slot("Pastrix");

    fill(slot, content);
    slot.restore();

    const std::string targets = xclipOut("TARGETS");
    for (const char* target : {"TARGETS", "TIMESTAMP", "MULTIPLE", "UTF8_STRING", "STRING", "TEXT",
                               "text/plain;charset=utf-8", "text/html", "image/png"}) {
        EXPECT_NE(targets.find(std::string(target) + "\n"), std::string::npos) << target;
    }
    EXPECT_TRUE(xclipOut("UTF8_STRING") == text);
    EXPECT_TRUE(xclipOut("text/html") == html);
    EXPECT_TRUE(xclipOut("image/png") == png);
    int status = 0;
    EXPECT_TRUE(outputOf({"xsel", "--clipboard", "--output"}, status) == text);
    EXPECT_EQ(status, 0);

    // The program reads its own selection from memory, every format as it was set.
    Clipboard again("Clipboard");
    ASSERT_TRUE(again.capture());
    EXPECT_TRUE(contentOf(again) == content);
}

// Owners that send large data in many small INCR steps: the reader's work per step must not
// grow with the steps already taken.
TEST_F(X11ClipboardTest, ATextInManySmallIncrStepsIsReadWithAShortEventQueue) {
    const std::string text = randomBytes(2 * 1024 * 1024, 5);
    constexpr std::size_t StepSize = 4096;
    SteppingOwner owner(text, StepSize);
    os::x11::SelectionReader reader;
    int error = 0;
    const std::optional<std::string> read = reader.read("UTF8_STRING", error);
    ASSERT_TRUE(read.has_value()) << "error " << error;
    EXPECT_TRUE(*read == text) << read->size() << " bytes instead of " << text.size();
    const os::x11::SelectionReader::Transfer transfer = reader.lastTransfer();
    // Every step and the empty one that ends the transfer.
    EXPECT_EQ(transfer.steps, text.size() / StepSize + 1);
    EXPECT_LE(transfer.longestQueue, 8u);
}

// An owner that sends a byte just before each step's wait runs out, for ever: the copy gives
// up when the whole transfer's bound has passed, and meanwhile the program's own selection is
// still served to other clients.
TEST_F(X11ClipboardTest, AnOwnerThatTricklesItsTextIsGivenUpOnWhileTheProgramServesOthers) {
    Clipboard slot("Pastrix");
    fill(slot, {{1, "served meanwhile"}});
    slot.restore();
    ASSERT_TRUE(clipboard->offerClipboardAsPrimary());

    SteppingOwner trickling(std::string(4096, 't'), 1, std::chrono::milliseconds(1500));
    const auto started = std::chrono::steady_clock::now();
    auto copy = std::async(std::launch::async, [] {
        Clipboard captured("Clipboard");
        return captured.capture();
    });
    std::this_thread::sleep_for(std::chrono::seconds(4));
    int status = 0;
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(outputOf({"xclip", "-o", "-selection", "primary"}, status), "served meanwhile");
    EXPECT_EQ(status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
    ASSERT_EQ(copy.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
        << "the owner's trickle did not hold the copy";

    ASSERT_EQ(copy.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(copy.get());
    // Held for the whole bound of 30 s, and not much longer: the answer's wait and one step.
    EXPECT_GE(took, std::chrono::seconds(25));
    EXPECT_LE(took, std::chrono::seconds(40));
}

TEST_F(X11ClipboardTest, EmptyingOwnsTheClipboardWithNoDataAndACopyIsAwaited) {
    {
        ClipboardHelper::ScopedClipboard open;
        ClipboardHelper::emptyClipboard();
    }
    EXPECT_NE(owner(), None);
    EXPECT_EQ(xclipOut("TARGETS"), "TARGETS\nTIMESTAMP\nMULTIPLE\n");
    Clipboard nothing("Clipboard");
    // Nobody copies: the wait ends and the clipboard holds nothing.
    EXPECT_FALSE(nothing.capture());

    // An application that copies a moment after the program emptied the clipboard is waited
    // for, as after a synthesised Ctrl+C.
    {
        ClipboardHelper::ScopedClipboard open;
        ClipboardHelper::emptyClipboard();
    }
    Peer late(
        {"sh", "-c",
         "sleep 0.1; exec xclip -quiet -selection clipboard -i " + file("late", "copied late")});
    Clipboard copy("Clipboard");
    ASSERT_TRUE(copy.capture());
    EXPECT_EQ(copy.getText(), "copied late");
}

// Clipboard histories skip content that offers the password managers' hint: a slot on offer
// for a paste offers it, the user's clipboard given back does not, and an owner's own hint is
// never kept with what the program takes.
TEST_F(X11ClipboardTest, WhatIsThereForAKeystrokeOffersTheHintClipboardHistoriesSkip) {
    const std::string hint = "x-kde-passwordManagerHint";
    Clipboard slot("Pastrix");
    fill(slot, {{1, "slot text"}});
    slot.restoreTransient();
    EXPECT_NE(xclipOut("TARGETS").find(hint + "\n"), std::string::npos);
    EXPECT_EQ(xclipOut(hint), "secret");
    EXPECT_EQ(xclipOut("UTF8_STRING"), "slot text");
    // Also where terminals paste from.
    ASSERT_TRUE(clipboard->offerClipboardAsPrimary());
    int status = 0;
    EXPECT_EQ(outputOf({"xclip", "-o", "-selection", "primary", "-t", hint}, status), "secret");

    Clipboard users("Pastrix");
    fill(users, {{1, "user text"}});
    users.restore();
    EXPECT_EQ(xclipOut("TARGETS").find(hint), std::string::npos);
    EXPECT_EQ(xclipOut("UTF8_STRING"), "user text");

    // Emptied before a copy: marked, and still nothing to take.
    {
        ClipboardHelper::ScopedClipboard open;
        ClipboardHelper::emptyClipboard();
        ClipboardHelper::markTransient();
    }
    EXPECT_EQ(xclipOut("TARGETS"), "TARGETS\nTIMESTAMP\nMULTIPLE\n" + hint + "\n");
    Clipboard nothing("Clipboard");
    EXPECT_FALSE(nothing.captureContent());

    // A password manager's copy: its text is taken, its hint is not.
    RawOwner manager("CLIPBOARD", [&hint](Display* peer, const XSelectionRequestEvent& request) {
        const Atom hintAtom = XInternAtom(peer, hint.c_str(), False);
        const Atom utf8 = XInternAtom(peer, "UTF8_STRING", False);
        if (request.target == XInternAtom(peer, "TARGETS", False)) {
            const long atoms[] = {static_cast<long>(utf8), static_cast<long>(hintAtom)};
            XChangeProperty(peer, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(atoms), 2);
            return true;
        }
        const char* value = request.target == utf8       ? "hunter2"
                            : request.target == hintAtom ? "secret"
                                                         : nullptr;
        if (value == nullptr) {
            return false;
        }
        XChangeProperty(peer, request.requestor, request.property, request.target, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(value),
                        static_cast<int>(std::strlen(value)));
        return true;
    });
    Clipboard exact("Clipboard");
    ASSERT_TRUE(exact.capture());
    EXPECT_EQ(exact.getFormats(), (std::vector<unsigned>{1, format(hint)}));
    Clipboard kept("Slot");
    ASSERT_TRUE(kept.captureContent());
    EXPECT_EQ(kept.getFormats(), std::vector<unsigned>{1});
    EXPECT_EQ(kept.getText(), "hunter2");
    // The hint said secret: the slot keeps it in memory only.
    EXPECT_TRUE(kept.isSecret());
    EXPECT_FALSE(exact.isSecret());
}

TEST_F(X11ClipboardTest, AnotherClientTakingTheClipboardOverIsSeen) {
    Clipboard mine("Pastrix");

    fill(mine, {{1, "mine"}});
    mine.restore();
    Clipboard seen("Clipboard");
    ASSERT_TRUE(seen.capture());
    EXPECT_EQ(seen.getText(), "mine");

    auto peer = xclipOwning("", "theirs");
    ASSERT_TRUE(seen.capture());
    EXPECT_EQ(seen.getText(), "theirs");
    // The owner ends; nobody keeps its content.
    peer->stop();
    for (int i = 0; i < 300 && owner() != None; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(seen.capture());

    // The program's own content is served again after it restores it.
    mine.restore();
    EXPECT_EQ(xclipOut("UTF8_STRING"), "mine");
}

TEST_F(X11ClipboardTest, TheUsersClipboardComesBackOnlyAfterAPasteFetchedTheSlot) {
    Clipboard slot("Pastrix");

    fill(slot, {{1, "slot text"}});
    Clipboard users("Pastrix");

    fill(users, {{1, "user text"}});
    slot.restore();

    // An editor asks for the targets first and for the data a little later, as GTK does.
    std::promise<void> targetsSeen;
    std::string pasted;
    std::thread editor([&] {
        os::x11::SelectionReader peer;
        int error = 0;
        const auto targets = peer.targets(error);
        targetsSeen.set_value();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pasted = peer.read("UTF8_STRING", error).value_or("(refused)");
    });
    targetsSeen.get_future().wait();
    users.restore();
    editor.join();
    EXPECT_EQ(pasted, "slot text");
    EXPECT_EQ(xclipOut("UTF8_STRING"), "user text");
}

// The paste keystroke may reach the editor only after the program already puts the user's
// clipboard back: a slot nobody asked for yet stays on offer a little while.
TEST_F(X11ClipboardTest, AnEditorThatAsksLateForAFreshSlotStillGetsIt) {
    Clipboard slot("Pastrix");

    fill(slot, {{1, "slot text"}});
    Clipboard users("Pastrix");

    fill(users, {{1, "user text"}});
    slot.restore();

    std::string pasted;
    std::thread editor([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        os::x11::SelectionReader peer;
        int error = 0;
        pasted = peer.read("UTF8_STRING", error).value_or("(refused)");
    });
    users.restore();
    editor.join();
    EXPECT_EQ(pasted, "slot text");
    EXPECT_EQ(xclipOut("UTF8_STRING"), "user text");
}

TEST_F(X11ClipboardTest, SavedSlotsServeTheSameTargetsAfterARestart) {
    Clipboard saved("Pastrix");
    {
        auto peer = xclipOwning("text/html", "<h1>kept</h1>");
        ASSERT_TRUE(saved.capture());
    }
    const auto stored = contentOf(saved);
    ASSERT_EQ(stored.size(), 1u);

    startClipboard();
    // A name registered first in the new run must not take the identifier of the old one.
    EXPECT_NE(format("application/rtf"), stored[0].first);
    Clipboard reloaded("Pastrix");

    fill(reloaded, stored);
    reloaded.restore();
    EXPECT_EQ(xclipOut("text/html"), "<h1>kept</h1>");
    EXPECT_EQ(reloaded.getDataTypes(), (std::vector<std::string>{"Html"}));
}

TEST_F(X11ClipboardTest, AnswersMultipleAndTimestampAndSurvivesRequestorsThatVanish) {
    const std::string png = randomBytes(700 * 1024, 3);
    Clipboard slot("Pastrix");

    fill(slot, {{1, "text"}, {format("text/html"), "<i>x</i>"}, {format("image/png"), png}});
    slot.restore();

    Display* peer = XOpenDisplay(nullptr);
    ASSERT_NE(peer, nullptr);
    const Window window = XCreateSimpleWindow(peer, DefaultRootWindow(peer), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(peer, window, PropertyChangeMask);
    const Atom pairsProperty = XInternAtom(peer, "PAIRS", False);
    const Atom textProperty = XInternAtom(peer, "P_TEXT", False);
    const Atom htmlProperty = XInternAtom(peer, "P_HTML", False);
    const Atom gifProperty = XInternAtom(peer, "P_GIF", False);
    const long pairs[] = {
        static_cast<long>(XInternAtom(peer, "UTF8_STRING", False)), static_cast<long>(textProperty),
        static_cast<long>(XInternAtom(peer, "text/html", False)),   static_cast<long>(htmlProperty),
        static_cast<long>(XInternAtom(peer, "image/gif", False)),   static_cast<long>(gifProperty)};
    XChangeProperty(peer, window, pairsProperty, XInternAtom(peer, "ATOM_PAIR", False), 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(pairs), 6);
    ASSERT_EQ(request(peer, window, XInternAtom(peer, "MULTIPLE", False), pairsProperty),
              pairsProperty);
    Atom type = None;
    EXPECT_EQ(propertyBytes(peer, window, textProperty, type), "text");
    EXPECT_EQ(propertyBytes(peer, window, htmlProperty, type), "<i>x</i>");
    const std::string answered = propertyBytes(peer, window, pairsProperty, type);
    ASSERT_EQ(answered.size(), 6 * sizeof(long));
    const long* answer = reinterpret_cast<const long*>(answered.data());
    EXPECT_EQ(answer[0], pairs[0]);
    EXPECT_EQ(answer[4], static_cast<long>(None)) << "a target it does not have is refused";

    const Atom timeProperty = XInternAtom(peer, "P_TIME", False);
    ASSERT_EQ(request(peer, window, XInternAtom(peer, "TIMESTAMP", False), timeProperty),
              timeProperty);
    const std::string time = propertyBytes(peer, window, timeProperty, type);
    ASSERT_EQ(time.size(), sizeof(long));
    EXPECT_NE(*reinterpret_cast<const long*>(time.data()), 0);

    // This requestor starts a large transfer, takes the first step and goes away.
    const Atom pngProperty = XInternAtom(peer, "P_PNG", False);
    ASSERT_EQ(request(peer, window, XInternAtom(peer, "image/png", False), pngProperty),
              pngProperty);
    propertyBytes(peer, window, pngProperty, type);
    EXPECT_EQ(type, XInternAtom(peer, "INCR", False));
    XCloseDisplay(peer);

    EXPECT_TRUE(xclipOut("image/png") == png);
    EXPECT_EQ(xclipOut("UTF8_STRING"), "text");
}

TEST_F(X11ClipboardTest, ACopyInAGtkEditorIsAwaitedAndCapturedWithoutItsPrivateTargets) {
    const std::string text = "Grüße aus dem Editor ✓\nzweite Zeile";
    Peer editor({"l3afpad", file("note.txt", text)});
    int status = 0;
    outputOf({"timeout", "60", "xdotool", "search", "--sync", "--onlyvisible", "--class", "l3afpad",
              "windowactivate", "--sync"},
             status);
    ASSERT_EQ(status, 0) << "the editor did not come up";
    outputOf({"xdotool", "key", "--clearmodifiers", "ctrl+a"}, status);

    // The program's copy: empty the clipboard, send Ctrl+C, look at the clipboard at once.
    {
        ClipboardHelper::ScopedClipboard open;
        ClipboardHelper::emptyClipboard();
    }
    outputOf({"xdotool", "key", "--clearmodifiers", "ctrl+c"}, status);
    Clipboard copied("Clipboard");
    ASSERT_TRUE(copied.capture());
    const auto content = contentOf(copied);
    EXPECT_EQ(copied.getText(), text);
    EXPECT_EQ(copied.getDataTypes(), (std::vector<std::string>{"Text"}));
    for (const auto& entry : content) {
        const std::string name = ClipboardHelper::getFormatName(entry.first);
        EXPECT_NE(name, "GTK_TEXT_BUFFER_CONTENTS");
        EXPECT_NE(name, "SAVE_TARGETS");
        EXPECT_NE(name, "TEXT");
        EXPECT_NE(name, "text/plain");
        EXPECT_NE(name, "COMPOUND_TEXT");
    }
}

TEST_F(X11ClipboardTest, AnOwnerThatKnowsNoTargetsListStillGivesItsText) {
    RawOwner old("CLIPBOARD", [](Display* peer, const XSelectionRequestEvent& request) {
        if (request.target != XInternAtom(peer, "UTF8_STRING", False)) {
            return false;
        }
        XChangeProperty(peer, request.requestor, request.property, request.target, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>("old text"), 8);
        return true;
    });
    Clipboard seen("Clipboard");
    ASSERT_TRUE(seen.capture());
    EXPECT_EQ(contentOf(seen), (std::vector<std::pair<unsigned, std::string>>{{1, "old text"}}));
}

TEST_F(X11ClipboardTest, TheUsersClipboardIsHandedToAClipboardManagerWhenTheProgramEnds) {
    {
        Clipboard users("Clipboard");
        fill(users, {{1, "keep me"}, {format("text/html"), "<b>keep</b>"}});
        users.restore();
    }
    std::mutex keptMutex;
    std::string kept;
    std::vector<std::string> listed;
    {
        RawOwner manager("CLIPBOARD_MANAGER",
                         [&](Display* peer, const XSelectionRequestEvent& request) {
                             if (request.target != XInternAtom(peer, "SAVE_TARGETS", False)) {
                                 return false;
                             }
                             os::x11::SelectionReader reader;
                             int error = 0;
                             std::lock_guard lock(keptMutex);
                             kept = reader.read("UTF8_STRING", error).value_or("(refused)");
                             listed = reader.targets(error).value_or(std::vector<std::string>{});
                             return true;
                         });
        installation.reset();
        clipboard.reset();
    }
    std::lock_guard lock(keptMutex);
    EXPECT_EQ(kept, "keep me");
    EXPECT_NE(std::find(listed.begin(), listed.end(), "text/html"), listed.end());
}

// A clipboard manager from the desktop (xfce4-clipman; it keeps what it fetched while the
// program still served it) has the user's clipboard after the program ended.
TEST_F(X11ClipboardTest, TheUsersClipboardOutlivesTheProgramWithTheDesktopsClipboardManager) {
    // Its history and settings go to the test's directory, not the user's.
    Peer manager({"env", "HOME=" + directory, "XDG_CACHE_HOME=" + directory,
                  "XDG_CONFIG_HOME=" + directory, "NO_AT_BRIDGE=1", "xfce4-clipman"});
    const Atom managerAtom = XInternAtom(display, "CLIPBOARD_MANAGER", False);
    // A loaded machine can take seconds to start it.
    for (int i = 0; i < 3000 && XGetSelectionOwner(display, managerAtom) == None; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_NE(XGetSelectionOwner(display, managerAtom), None)
        << "waited 30 s for xfce4-clipman to own CLIPBOARD_MANAGER";
    {
        Clipboard users("Clipboard");
        fill(users, {{1, "keep me, Grüße"}});
        users.restore();
    }
    const Window program = owner();
    installation.reset();
    clipboard.reset();
    ASSERT_TRUE(awaitNewOwner(program)) << "nobody keeps the clipboard";
    EXPECT_EQ(xclipOut("UTF8_STRING"), "keep me, Grüße");
}

TEST_F(X11ClipboardTest, PastesIntoAGtkEditorGetTheSlotWhenTheUsersClipboardComesBackAtOnce) {
    Peer editor({"l3afpad", file("empty.txt", "")});
    int status = 0;
    outputOf({"timeout", "60", "xdotool", "search", "--sync", "--onlyvisible", "--class", "l3afpad",
              "windowactivate", "--sync"},
             status);
    ASSERT_EQ(status, 0) << "the editor did not come up";
    Clipboard slot("Pastrix");
    fill(slot, {{1, "[slot]"}});
    Clipboard users("Clipboard");
    fill(users, {{1, "[user]"}});
    users.restore();
    constexpr int Pastes = 10;
    for (int i = 0; i < Pastes; ++i) {
        slot.restore();
        outputOf({"xdotool", "key", "--clearmodifiers", "ctrl+v"}, status);
        // The program restores when the editor has taken the keystroke; the editor's first
        // request for the data stands for that moment here.
        for (int wait = 0; wait < 500 && !clipboard->fetchedSinceLastChange(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(clipboard->fetchedSinceLastChange()) << "the editor did not paste";
        users.restore();
    }
    outputOf({"xdotool", "key", "--clearmodifiers", "ctrl+a"}, status);
    {
        ClipboardHelper::ScopedClipboard open;
        ClipboardHelper::emptyClipboard();
    }
    outputOf({"xdotool", "key", "--clearmodifiers", "ctrl+c"}, status);
    Clipboard pasted("Clipboard");
    ASSERT_TRUE(pasted.capture());
    std::string expected;
    for (int i = 0; i < Pastes; ++i) {
        expected += "[slot]";
    }
    EXPECT_EQ(pasted.getText(), expected);
}

}  // namespace
