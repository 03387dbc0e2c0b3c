// The selection reader against owners and replies that a well-behaved X client never sends,
// on a connection in memory whose clock moves only when the reader waits.
// clang-format off
// Before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>
// clang-format on

#include "os/x11/SelectionReader.h"
#include "support/FakeSelectionConnection.h"

#include <X11/Xatom.h>
#include <memory>

namespace {

using namespace std::chrono_literals;
using testing_support::FakeSelectionConnection;

// Announces an INCR transfer, then sends one byte just before each step's deadline, for ever.
class TricklingOwner final : public FakeSelectionConnection {
public:
    // How long the reader has waited on this owner.
    Clock::duration waited() { return now() - Clock::time_point{}; }

private:
    void onConvert(Atom selection, Atom target, Atom property) override {
        setProperty(property, atom("INCR"), 32, std::string(4, '\0'));
        notify(selection, target, property);
        property_ = property;
    }
    void onWait(Clock::time_point deadline) override {
        now_ = std::min(now_ + 1900ms, deadline);
        if (now_ < deadline) {
            setProperty(property_, atom("UTF8_STRING"), 8, "x");
        }
    }
    Atom property_ = None;
};

TEST(SelectionReaderTest, AnOwnerThatTricklesItsDataIsDroppedOnceTheTransferTakesTooLong) {
    auto connection = std::make_unique<TricklingOwner>();
    TricklingOwner& owner = *connection;
    os::x11::SelectionReader reader(std::move(connection), "CLIPBOARD");
    int error = 0;
    EXPECT_FALSE(reader.read("UTF8_STRING", error).has_value());
    EXPECT_EQ(error, os::error::Timeout);
    // Every step came within its own deadline; the whole transfer's bound ended it.
    EXPECT_LE(owner.waited(), 31s);
    EXPECT_GE(reader.lastTransfer().steps, 14U);
}

// A server whose pieces stop in the middle of a 32-bit unit and always say more is left.
class UnalignedServer final : public FakeSelectionConnection {
public:
    std::optional<Piece> property(Atom, long, long) override {
        ++reads;
        Piece piece;
        piece.type = XA_STRING;
        piece.format = 8;
        piece.items = 3;
        piece.bytesAfter = 100;
        piece.bytes = "abc";
        return piece;
    }
    int reads = 0;

private:
    void onConvert(Atom selection, Atom target, Atom property) override {
        notify(selection, target, property);
    }
};

TEST(SelectionReaderTest, APieceThatEndsInsideAUnitIsRefusedRatherThanReadAgainForEver) {
    auto connection = std::make_unique<UnalignedServer>();
    UnalignedServer& server = *connection;
    os::x11::SelectionReader reader(std::move(connection), "CLIPBOARD");
    int error = 0;
    EXPECT_FALSE(reader.read("STRING", error).has_value());
    EXPECT_EQ(error, os::error::InvalidData);
    EXPECT_EQ(server.reads, 1);
}

}  // namespace
