// The X11 selection reader against an owner, and a server, that answer with whatever the input
// says: any events, properties of any type and size, INCR transfers that stop, stall or never
// end, pieces that contradict themselves. Every request must end, within the reader's own time
// bounds, with data or an error code, and never with more than the reader accepts.
#include "os/ErrorCodes.h"
#include "os/x11/SelectionReader.h"
#include "support/FakeSelectionConnection.h"

#include <X11/Xatom.h>
#include <chrono>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>

namespace {

using namespace std::chrono_literals;

class HostileConnection final : public testing_support::FakeSelectionConnection {
public:
    explicit HostileConnection(FuzzedDataProvider& input) : input_(input) {}

    Clock::duration waited() { return now() - Clock::time_point{}; }

    std::optional<Piece> property(Atom property, long offset, long length) override {
        std::optional<Piece> piece = FakeSelectionConnection::property(property, offset, length);
        switch (input_.ConsumeIntegralInRange(0, 7)) {
            case 0:
                return std::nullopt;
            case 1:
                if (piece) {
                    piece->bytesAfter = input_.ConsumeIntegral<unsigned long>();
                }
                break;
            case 2:
                if (piece) {
                    piece->items = input_.ConsumeIntegral<unsigned long>();
                    piece->format = input_.ConsumeIntegral<int>();
                }
                break;
            default:
                break;
        }
        return piece;
    }

private:
    Atom someType() {
        switch (input_.ConsumeIntegralInRange(0, 4)) {
            case 0:
                return atom("INCR");
            case 1:
                return XA_ATOM;
            case 2:
                return atom("UTF8_STRING");
            case 3:
                return None;
            default:
                return input_.ConsumeIntegral<std::uint32_t>();
        }
    }
    int someFormat() {
        constexpr int Formats[] = {8, 16, 32};
        return Formats[input_.ConsumeIntegralInRange(0, 2)];
    }
    void writeSomething(Atom property) {
        const Atom type = someType();
        const int format = someFormat();
        setProperty(property, type, format, input_.ConsumeRandomLengthString(4096));
    }

    void onConvert(Atom selection, Atom target, Atom property) override {
        property_ = property;
        if (input_.ConsumeBool()) {
            writeSomething(property);
        }
        if (input_.ConsumeBool()) {
            // The answer, or one for another request, or a refusal.
            const int kind = input_.ConsumeIntegralInRange(0, 3);
            notify(kind == 1 ? input_.ConsumeIntegral<std::uint32_t>() : selection,
                   kind == 2 ? input_.ConsumeIntegral<std::uint32_t>() : target,
                   kind == 3 ? None : property);
        }
    }
    void onDelete() override {
        if (input_.ConsumeBool()) {
            writeSomething(property_);
        }
    }
    void onWait(Clock::time_point deadline) override {
        // However the input runs, time goes on; an input that has run out waits in vain.
        const auto step = std::chrono::milliseconds(input_.ConsumeIntegralInRange(1, 3000));
        now_ = input_.remaining_bytes() == 0 ? deadline : std::min(now_ + step, deadline);
        if (now_ < deadline && input_.ConsumeBool()) {
            writeSomething(property_);
        }
    }

    FuzzedDataProvider& input_;
    Atom property_ = None;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto connection = std::make_unique<HostileConnection>(input);
    HostileConnection& server = *connection;
    os::x11::SelectionReader reader(std::move(connection), "CLIPBOARD");
    // A request ends, its answer and every INCR step included, within the transfer's bound.
    constexpr auto LongestRequest = 30s;

    int error = 0;
    const auto before = server.waited();
    const auto names = reader.targets(error);
    if ((!names && error == 0) || server.waited() - before > LongestRequest) {
        std::abort();
    }
    error = 0;
    const auto middle = server.waited();
    const auto bytes = reader.read("UTF8_STRING", error);
    if ((!bytes && error == 0) || server.waited() - middle > LongestRequest) {
        std::abort();
    }
    return 0;
}
