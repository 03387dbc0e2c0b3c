// How fast a workspace opens compared with the disk: 254 slots of 1 MiB each are opened as
// the program opens them, and the same files are read plainly in the same run. The files
// stay in the page cache between iterations, so both measure copying from the cache, which
// is where the program's own work shows.
#include "config/workspace/Workspace.h"
#include "os/ScopedInstall.h"
#include "os/sim/SimDesktop.h"
#include "windows/reporter/ErrorReporter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using products::pastrix::config::workspace::Workspace;

constexpr int SlotFiles = 254;
constexpr std::size_t SlotFileSize = 1 << 20;

class CountingReporter final : public windows::reporter::ErrorReporter {
public:
    void showError(const std::string& /*message*/) override { ++errors; }
    int errors = 0;
};

void put32(std::string& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// A workspace directory of slot files with one text entry each, made once per run and
// removed at exit.
struct SlotDirectory {
    SlotDirectory() {
        char pattern[] = "/tmp/pastrix-bench-XXXXXX";
        base = mkdtemp(pattern);
        const std::string directory = base + "/ws";
        makeDirectory(directory);
        for (int slot = 1; slot <= SlotFiles; ++slot) {
            std::string bytes;
            put32(bytes, 1);
            bytes += "slot " + std::to_string(slot);
            bytes.resize(260, '\0');
            put32(bytes, 1);
            put32(bytes, static_cast<std::uint32_t>(SlotFileSize - bytes.size() - 4));
            bytes.resize(SlotFileSize, static_cast<char>('a' + slot % 26));
            const std::string path = directory + "/px_" + std::to_string(slot) + ".pxf";
            std::ofstream(path, std::ios::binary)
                .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            files.push_back(path);
        }
    }
    ~SlotDirectory() {
        for (const auto& file : files) {
            std::remove(file.c_str());
        }
        ::rmdir((base + "/ws").c_str());
        ::rmdir(base.c_str());
    }

    static void makeDirectory(const std::string& path) { ::mkdir(path.c_str(), 0700); }

    std::string base;
    std::vector<std::string> files;
};

SlotDirectory& slotDirectory() {
    static SlotDirectory made;
    return made;
}

void BM_WorkspaceOpen(benchmark::State& state) {
    os::sim::SimDesktop desktop;
    os::ScopedInstall installation(desktop.port());
    const SlotDirectory& directory = slotDirectory();
    CountingReporter reporter;
    for (auto _ : state) {
        Workspace workspace(reporter, 0, directory.base);
        workspace.open("ws");
        benchmark::DoNotOptimize(workspace.getClipboards().data());
    }
    if (reporter.errors != 0) {
        state.SkipWithError("the workspace reported errors");
    }
    state.SetBytesProcessed(state.iterations() * SlotFiles *
                            static_cast<std::int64_t>(SlotFileSize));
}
BENCHMARK(BM_WorkspaceOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same files read with read(2), each into a buffer of its own that is kept until all are
// read, as the workspace keeps its slots.
void BM_PlainReadOfSlotFiles(benchmark::State& state) {
    const SlotDirectory& directory = slotDirectory();
    for (auto _ : state) {
        std::vector<std::unique_ptr<char[]>> kept;
        for (const auto& file : directory.files) {
            const int descriptor = ::open(file.c_str(), O_RDONLY);
            std::unique_ptr<char[]> buffer(new char[SlotFileSize]);
            std::size_t done = 0;
            while (done < SlotFileSize) {
                const ssize_t got = ::read(descriptor, buffer.get() + done, SlotFileSize - done);
                if (got <= 0) {
                    break;
                }
                done += static_cast<std::size_t>(got);
            }
            ::close(descriptor);
            kept.push_back(std::move(buffer));
        }
        benchmark::DoNotOptimize(kept.data());
    }
    state.SetBytesProcessed(state.iterations() * SlotFiles *
                            static_cast<std::int64_t>(SlotFileSize));
}
BENCHMARK(BM_PlainReadOfSlotFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same files read with read(2) through one buffer of 128 KiB, as cat reads them: the
// speed of the page cache without any memory to fill.
void BM_PlainReadOfSlotFilesThroughOneBuffer(benchmark::State& state) {
    const SlotDirectory& directory = slotDirectory();
    std::vector<char> buffer(128 * 1024);
    for (auto _ : state) {
        for (const auto& file : directory.files) {
            const int descriptor = ::open(file.c_str(), O_RDONLY);
            while (::read(descriptor, buffer.data(), buffer.size()) > 0) {
            }
            ::close(descriptor);
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * SlotFiles *
                            static_cast<std::int64_t>(SlotFileSize));
}
BENCHMARK(BM_PlainReadOfSlotFilesThroughOneBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

std::int64_t statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atoll(line.c_str() + prefix.size());
        }
    }
    return -1;
}

// The memory an open takes at its peak, relative to the bytes of the slot files: measured in
// a child process, whose high-water mark starts at what it has when it is made.
void BM_WorkspaceOpenPeakMemory(benchmark::State& state) {
    const SlotDirectory& directory = slotDirectory();
    double ratio = 0;
    for (auto _ : state) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            os::sim::SimDesktop desktop;
            os::ScopedInstall installation(desktop.port());
            CountingReporter reporter;
            const std::int64_t before = statusKilobytes("VmRSS");
            {
                Workspace workspace(reporter, 0, directory.base);
                workspace.open("ws");
            }
            const std::int64_t peak = statusKilobytes("VmHWM") - before;
            [[maybe_unused]] const auto written = ::write(pipeEnds[1], &peak, sizeof peak);
            ::_exit(reporter.errors == 0 ? 0 : 1);
        }
        std::int64_t peak = 0;
        ::close(pipeEnds[1]);
        [[maybe_unused]] const auto got = ::read(pipeEnds[0], &peak, sizeof peak);
        ::close(pipeEnds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the child failed to open the workspace");
            return;
        }
        ratio =
            static_cast<double>(peak) * 1024.0 / (SlotFiles * static_cast<double>(SlotFileSize));
    }
    state.counters["peak_per_data_byte"] = ratio;
}
BENCHMARK(BM_WorkspaceOpenPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
