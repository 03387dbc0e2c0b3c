// The list and key-capture controls as a user meets them: in a dialog of the headless view.
#include "os/DialogView.h"
#include "os/sim/HeadlessViews.h"
#include "support/SimDesktopTest.h"
#include "windows/mfc/Dialog.h"
#include "windows/mfc/KeyEdit.h"
#include "windows/mfc/ListControl.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using windows::mfc::ListControl;

constexpr int ListId = 10;
constexpr int KeyBoxId = 11;

const os::DialogTemplate& listTemplate() {
    // The list is 100 dialog units wide: 150 pixels.
    static const os::DialogTemplate dialog{
        900,
        "Lists",
        200,
        100,
        os::ds::Caption,
        "MS Shell Dlg",
        8,
        {
            {ListId, os::ControlKind::ListView, "", 0, 0, 100, 80, os::cs::Border, ""},
            {KeyBoxId, os::ControlKind::Edit, "", 110, 0, 50, 14, os::cs::MultiLine, ""},
        },
    };
    return dialog;
}

class ListDialog final : public windows::mfc::Dialog {
public:
    ListDialog() : Dialog(listTemplate()), list(ListId), keyEdit(KeyBoxId) {
        bind(list);
        bind(keyEdit);
    }

    ListControl list;
    windows::mfc::KeyEdit keyEdit;
};

class ListControlTest : public testing_support::SimDesktopAssertionTest {
protected:
    ListControlTest() { open(); }

    // A new window for the dialog, whose list gets two columns.
    void open() {
        dialog.destroy();
        ASSERT_TRUE(dialog.create(0));
        view = desktop.views.find(900);
        ASSERT_NE(view, nullptr);
    }

    void fill(const Rows& rows) {
        dialog.list.setColumns({{"First", 50}, {"Second", 50}}, 0);
        for (const auto& row : rows) {
            dialog.list.addRow(row, dialog.list.GetItemCount());
        }
    }

    std::vector<std::string> column(int subItem) const {
        return dialog.list.getColumnTexts(subItem);
    }

    ListDialog dialog;
    os::sim::HeadlessView* view = nullptr;
};

TEST_F(ListControlTest, ColumnsTakeTheirShareOfTheControlsWidth) {
    dialog.list.setColumns({{"Key", 65}, {"Code", 20}}, 0x21);
    const auto columns = view->listColumns(ListId);
    ASSERT_EQ(columns.size(), 2U);
    EXPECT_EQ(columns[0].text, "Key");
    EXPECT_EQ(columns[0].width, 97);  // 65 % of 150, truncated
    EXPECT_EQ(columns[1].text, "Code");
    EXPECT_EQ(columns[1].width, 30);
    EXPECT_EQ(view->listExtendedStyle(ListId), 0x21U);
    EXPECT_EQ(dialog.list.getNumberOfColumns(), 2U);
    EXPECT_TRUE(assertions.reports.empty());

    // Too wide: every column is still inserted with its computed width.
    open();
    dialog.list.setColumns({{"A", 60}, {"B", 50}}, 0);
    EXPECT_TRUE(assertions.reported("totalSize <= 100"));
    ASSERT_EQ(view->listColumns(ListId).size(), 2U);
    EXPECT_EQ(view->listColumns(ListId)[1].width, 75);

    open();
    dialog.list.setColumns({}, 0);
    EXPECT_TRUE(assertions.reported("columnNameAndSize.size() >= 1"));
    EXPECT_EQ(dialog.list.getNumberOfColumns(), 0U);
}

TEST_F(ListControlTest, HeaderClicksSortBytewiseWithOneDirectionForAllColumns) {
    fill({{"b", "1"}, {"B", "2"}, {"a", "3"}});
    ASSERT_TRUE(view->clickColumn(ListId, 0));
    EXPECT_EQ(column(0), (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_TRUE(dialog.list.isSortAscending());
    ASSERT_TRUE(view->clickColumn(ListId, 0));
    EXPECT_EQ(column(0), (std::vector<std::string>{"b", "a", "B"}));
    EXPECT_EQ(view->listRows(ListId), (Rows{{"b", "1"}, {"a", "3"}, {"B", "2"}}));

    // Column A ascending, then column B descending: the direction is shared.
    open();
    fill({{"x", "2"}, {"y", "10"}, {"z", "9"}, {"\xE9", "9"}});
    view->clickColumn(ListId, 0);
    EXPECT_EQ(column(0), (std::vector<std::string>{"x", "y", "z", "\xE9"}));
    view->clickColumn(ListId, 1);
    EXPECT_EQ(column(1), (std::vector<std::string>{"9", "9", "2", "10"}));
    // Equal texts keep their order; each row keeps its own item data.
    EXPECT_EQ(column(0), (std::vector<std::string>{"z", "\xE9", "x", "y"}));
    EXPECT_EQ(dialog.list.getItemData(0), 2U);
    EXPECT_EQ(dialog.list.getItemData(3), 1U);
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ListControlTest, TheSelectionStaysWithItsRowsThroughSorting) {
    fill({{"c", "1"}, {"a", "2"}, {"b", "3"}});
    ASSERT_TRUE(view->selectRows(ListId, {0}));
    EXPECT_EQ(dialog.list.getSelectedItems(), (std::vector<int>{0}));
    view->clickColumn(ListId, 0);
    EXPECT_EQ(dialog.list.getSelectedItems(), (std::vector<int>{2}));
    EXPECT_EQ(view->listSelection(ListId), (std::vector<int>{2}));
    EXPECT_EQ(dialog.list.getItemText(2, 0), "c");
}

TEST_F(ListControlTest, DeletingRemovesExactlyTheSelectedRows) {
    fill({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
    ASSERT_TRUE(view->selectRows(ListId, {1, 2, 4}));
    EXPECT_EQ(dialog.list.getSelectedItems(), (std::vector<int>{1, 2, 4}));
    dialog.list.deleteSelectedItems();
    EXPECT_EQ(column(0), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(view->listRows(ListId), (Rows{{"a", "1"}, {"d", "4"}}));
    EXPECT_TRUE(dialog.list.getSelectedItems().empty());
    EXPECT_TRUE(view->listSelection(ListId).empty());

    // The rows left behind still sort by their own texts.
    dialog.list.addRow({"b", "6"}, 1);
    view->clickColumn(ListId, 1);
    EXPECT_EQ(column(1), (std::vector<std::string>{"1", "4", "6"}));
    EXPECT_TRUE(assertions.reports.empty());
}

TEST_F(ListControlTest, BrokenRowsAreReportedAndStillShown) {
    fill({{"a", "1"}});
    dialog.list.addRow({"short"}, 1);
    EXPECT_TRUE(assertions.reported("item.size() == _numberOfColumns"));
    dialog.list.addRow({"late", "2"}, 7);
    EXPECT_TRUE(assertions.reported("index <= GetItemCount()"));
    EXPECT_EQ(view->listRows(ListId), (Rows{{"a", "1"}, {"short", ""}, {"late", "2"}}));
    EXPECT_EQ(dialog.list.getItemText(1, 1), "");

    view->clickColumn(ListId, 1);
    EXPECT_TRUE(assertions.reported("comparableRow._row.size() == _row.size()"));
    EXPECT_TRUE(assertions.reported("subItem < _row.size()"));
    EXPECT_EQ(dialog.list.GetItemCount(), 3);
}

TEST_F(ListControlTest, FindsAFirstColumnTextWhateverItsLetterCase) {
    fill({{"Shift", "16"}, {"K", "75"}});
    EXPECT_EQ(dialog.list.findItem("shift"), 0);
    EXPECT_EQ(dialog.list.findItem("k"), 1);
    EXPECT_EQ(dialog.list.findItem("Shif"), -1);
    EXPECT_EQ(dialog.list.findItem("16"), -1);
}

TEST_F(ListControlTest, TheKeyBoxShowsTheNameOfTheReleasedKey) {
    EXPECT_EQ(dialog.keyEdit.getVirtualKey(), 0);
    ASSERT_TRUE(view->type(KeyBoxId, "typed"));
    ASSERT_TRUE(view->pressKey(KeyBoxId, 0x12));
    EXPECT_EQ(dialog.keyEdit.getVirtualKey(), 0x12);
    EXPECT_EQ(view->getText(KeyBoxId), "Alt");
    ASSERT_TRUE(view->pressKey(KeyBoxId, 'K'));
    EXPECT_EQ(view->getText(KeyBoxId), "K");
    EXPECT_EQ(view->focus(), KeyBoxId);

    // A new window starts without a key.
    open();
    EXPECT_EQ(dialog.keyEdit.getVirtualKey(), 0);
    EXPECT_EQ(view->getText(KeyBoxId), "");
}

}  // namespace
