// The list shows the run table's own rows and tells the view only what changed, so a rebuild that
// moves one line does not make a view of tens of thousands of lines start over.
#include "tests/support/display_rows_of.h"
#include "ui/task_list_view.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace orvanta::test {
namespace {

using scheduler::DisplayRows;

std::shared_ptr<DisplayRows> Rows(const std::vector<std::string>& texts) {
    std::vector<DisplayCells> cells;
    for (std::size_t i = 0; i < texts.size(); ++i)
        cells.push_back({texts[i], "Waiting", std::to_string(i + 1), "1", "100", "0", "2025-3-5-9-0-0", ""});
    return std::make_shared<DisplayRows>(DisplayRowsOf(cells));
}

class TaskListModelTest : public ::testing::Test {
  protected:
    ui::TaskListModel model;
    QSignalSpy resets{&model, &QAbstractItemModel::modelReset};
    QSignalSpy changes{&model, &QAbstractItemModel::dataChanged};

    void SetUp() override {
        ASSERT_TRUE(model.SetRows(Rows({"a", "b", "c", "d", "e"}), "None"));
        resets.clear();
        changes.clear();
    }
};

TEST_F(TaskListModelTest, ChangedLinesAreReportedAloneAndTheRowsAreSharedNotCopied) {
    const auto rows = Rows({"a", "b", "C", "D", "e"});
    EXPECT_TRUE(model.SetRows(rows, "None"));
    EXPECT_EQ(resets.count(), 0);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].value<QModelIndex>().row(), 2);
    EXPECT_EQ(changes[0][1].value<QModelIndex>().row(), 3);
    EXPECT_TRUE(model.Shows(*rows));
    EXPECT_EQ(model.data(model.index(3, 0), Qt::DisplayRole).toString(), "D");

    // A cell changed in place is a change to the rows the table holds too.
    model.SetCell(1, scheduler::kDispEnabled, "0");
    EXPECT_EQ((*rows)[1][scheduler::kDispEnabled], "0");
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(TaskListModelTest, TheSameLinesTellTheViewNothing) {
    EXPECT_FALSE(model.SetRows(Rows({"a", "b", "c", "d", "e"}), "None"));
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(TaskListModelTest, AnotherNumberOfLinesOrAnotherNoneTextShowsTheListAnew) {
    EXPECT_TRUE(model.SetRows(Rows({"a", "b"}), "None"));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_TRUE(model.SetRows(Rows({"a", "b"}), "Keine"));
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(changes.count(), 0);
}

} // namespace
} // namespace orvanta::test
