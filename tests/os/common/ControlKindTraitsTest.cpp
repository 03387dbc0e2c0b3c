#include "os/common/ControlKindTraits.h"

#include <gtest/gtest.h>

namespace {

using os::ControlKind;
using os::common::ControlKindTraits;
using os::common::entryPosition;

TEST(ControlKindTraitsTest, SortedEntriesGoBeforeTheFirstLaterOneRegardlessOfCase) {
    const std::vector<std::string> entries{"apple", "Banana", "cherry"};
    EXPECT_EQ(entryPosition(entries, "blueberry", true), 2);
    EXPECT_EQ(entryPosition(entries, "APRICOT", true), 1);
    EXPECT_EQ(entryPosition(entries, "Aardvark", true), 0);
    EXPECT_EQ(entryPosition(entries, "date", true), 3);
    // An equal entry goes after its equals, so entries added in turn keep their order.
    EXPECT_EQ(entryPosition(entries, "BANANA", true), 2);
    // An unsorted list appends whatever the entry.
    EXPECT_EQ(entryPosition(entries, "Aardvark", false), 3);
    EXPECT_EQ(entryPosition({}, "first", true), 0);
}

TEST(ControlKindTraitsTest, OnlyButtonsCheckBoxesAndNotifyingLabelsReportClicks) {
    EXPECT_TRUE(ControlKindTraits::of(ControlKind::PushButton).reportsClicks(0));
    EXPECT_TRUE(ControlKindTraits::of(ControlKind::DefaultPushButton).reportsClicks(0));
    EXPECT_TRUE(ControlKindTraits::of(ControlKind::CheckBox).reportsClicks(0));
    EXPECT_FALSE(ControlKindTraits::of(ControlKind::Label).reportsClicks(0));
    EXPECT_TRUE(ControlKindTraits::of(ControlKind::Label).reportsClicks(os::cs::Notify));
    for (const ControlKind kind : {ControlKind::GroupBox, ControlKind::Picture, ControlKind::Edit,
                                   ControlKind::ListView, ControlKind::DropDownList}) {
        EXPECT_FALSE(ControlKindTraits::of(kind).reportsClicks(os::cs::Notify));
    }
}

}  // namespace
