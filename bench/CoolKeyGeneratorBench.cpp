// How long one typed character takes in the Cool Keys matcher. Every key the user types in
// any application passes through it on the user-interface thread, so its cost must not grow
// with the number of Cool Keys: each benchmark runs with 100, 1,000, 10,000 and 100,000
// abbreviations, and the plain rule (every abbreviation searched for in the whole buffer, in
// list order) runs beside it as the baseline.
#include "config/coolkeys/CKEntry.h"
#include "config/coolkeys/CoolKeyGenerator.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "os/ScopedInstall.h"
#include "os/sim/SimDesktop.h"
#include "windows/devices/keyboard/Key.h"

#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include <benchmark/benchmark.h>

namespace {

using products::pastrix::config::coolkeys::CKEntry;
using products::pastrix::config::coolkeys::CoolKeyGenerator;

constexpr std::size_t FullBuffer = 512;

// Cool Keys of 3 to 12 characters, written the way many users write them: a marker that
// ordinary text does not contain (";") and then letters, such as ";sig". The typed text is
// ordinary lower-case text, so no abbreviation ever occurs and every character costs the
// whole check. Without the marker the abbreviations are words of 6 to 12 letters: the typed
// text then keeps running into their beginnings (and, rarely, a whole one), which is the
// harder case for a matcher that follows the text.
struct Workload {
    Workload(int entryCount, bool marked) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> length(marked ? 3 : 6, 12);
        std::uniform_int_distribution<int> letter(0, 25);
        for (int i = 0; i < entryCount; ++i) {
            std::string abbreviation = marked ? ";" : "";
            for (int n = length(random) - (marked ? 1 : 0); n > 0; --n) {
                abbreviation.push_back(static_cast<char>('a' + letter(random)));
            }
            auto entry = std::make_unique<CKEntry>(reader, writer);
            entry->setAbbreviation(abbreviation);
            entry->setExpand("expansion " + std::to_string(i));
            entries.push_back(std::move(entry));
        }
        for (int i = 0; i < 4096; ++i) {
            const int pick = letter(random);
            typed.push_back(pick < 4 ? ' ' : static_cast<char>('a' + pick));
        }
    }

    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
    CoolKeyGenerator::Entries entries;
    std::string typed;
};

Workload& workload(benchmark::State& state, bool marked = true) {
    static std::map<std::pair<std::int64_t, bool>, std::unique_ptr<Workload>> made;
    auto& slot = made[{state.range(0), marked}];
    if (!slot) {
        slot = std::make_unique<Workload>(static_cast<int>(state.range(0)), marked);
    }
    return *slot;
}

void sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("abbreviations")->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);
    benchmark->Unit(benchmark::kMicrosecond);
}

// One typed character in the generator, the buffer kept full (between 257 and 512
// characters once the first 512 are in).
void typeCharacters(benchmark::State& state, bool marked) {
    os::sim::SimDesktop desktop;
    os::ScopedInstall installation(desktop.port());
    const Workload& work = workload(state, marked);
    CoolKeyGenerator generator(256);
    for (std::size_t i = 0; i < FullBuffer; ++i) {
        generator.addCharacter(work.entries, work.typed[i]);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        generator.addCharacter(work.entries, work.typed[next]);
        next = (next + 1) % work.typed.size();
    }
    benchmark::DoNotOptimize(generator.getTypedText().data());
    state.SetItemsProcessed(state.iterations());
}
void BM_CoolKeysPerCharacter(benchmark::State& state) {
    typeCharacters(state, true);
}
BENCHMARK(BM_CoolKeysPerCharacter)->Apply(sizes);
void BM_CoolKeysPerCharacterWithoutMarker(benchmark::State& state) {
    typeCharacters(state, false);
}
BENCHMARK(BM_CoolKeysPerCharacterWithoutMarker)->Apply(sizes);

// The plain rule for comparison: every abbreviation searched for in the whole buffer of 512
// characters, in list order, on every character.
void BM_CoolKeysPlainSearchPerCharacter(benchmark::State& state) {
    const Workload& work = workload(state);
    const std::string buffer = work.typed.substr(0, FullBuffer);
    for (auto _ : state) {
        std::size_t winner = work.entries.size();
        for (std::size_t i = 0; i < work.entries.size(); ++i) {
            if (buffer.find(work.entries[i]->getAbbreviation()) != std::string::npos) {
                winner = i;
                break;
            }
        }
        benchmark::DoNotOptimize(winner);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CoolKeysPlainSearchPerCharacter)->Apply(sizes);

// The first character after the list changed (an entry added, edited or deleted): the whole
// buffer is searched again.
void BM_CoolKeysFirstCharacterAfterAChange(benchmark::State& state) {
    os::sim::SimDesktop desktop;
    os::ScopedInstall installation(desktop.port());
    Workload& work = workload(state);
    CoolKeyGenerator generator(256);
    for (std::size_t i = 0; i < FullBuffer; ++i) {
        generator.addCharacter(work.entries, work.typed[i]);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            // Any entry made or destroyed counts as a change.
            const CKEntry changed(work.reader, work.writer);
        }
        state.ResumeTiming();
        generator.addCharacter(work.entries, work.typed[next]);
        next = (next + 1) % work.typed.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CoolKeysFirstCharacterAfterAChange)->Apply(sizes);

// What the Cool Keys page does with each key event before the generator: the key's name
// and its character with the current keyboard state.
void BM_KeyEventModel(benchmark::State& state) {
    os::sim::SimDesktop desktop;
    os::ScopedInstall installation(desktop.port());
    unsigned key = 'A';
    for (auto _ : state) {
        const windows::devices::keyboard::Key event(key, 1U | 0x1EU << 16);
        benchmark::DoNotOptimize(event.getAscii());
        key = key == 'Z' ? 'A' : key + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeyEventModel)->Unit(benchmark::kMicrosecond);

}  // namespace
