#include "tests/ui/main_form_fixture.h"

#include <QDate>
#include <QLocale>

namespace orvanta::test {
namespace {

class RowHints : public MainFormTest {
  protected:
    QString Hint(const std::string& id) const {
        const auto& model = form->TaskList()->model();
        return model.data(model.index(RowOf(id), 0), Qt::ToolTipRole).toString();
    }
    static QString Day(int year, int month, int day) {
        return QLocale().toString(QDate(year, month, day), QLocale::LongFormat);
    }
};

TEST_F(RowHints, AWaitingTaskTellsTheDayAndTimeOfItsNextRun) {
    const std::string later = AddTask("later", "10:00:00");   // today, the clock is at 9:00
    const std::string tomorrow = AddTask("early", "8:30:00"); // gone today: tomorrow
    const std::string monthly = AddTask("rent", "7:00:00", data::kMonthly, true, 3, 2);
    const std::string gone = AddTask("gone", "8:00:00", data::kOnce);
    Start();
    EXPECT_TRUE(Hint(later).endsWith("Next run: " + Day(2025, 3, 7) + " 10:00:00"))
        << Hint(later).toStdString();
    EXPECT_TRUE(Hint(tomorrow).endsWith("Next run: " + Day(2025, 3, 8) + " 8:30:00"));
    EXPECT_TRUE(Hint(monthly).endsWith("Next run: " + Day(2025, 4, 2) + " 7:00:00"));
    EXPECT_TRUE(Hint(later).startsWith(
        QString::fromStdString(std::string(ListRows()[RowOf(later)][scheduler::kDispText])).trimmed()));
    EXPECT_FALSE(Hint(gone).contains("Next run")) << "a passed task has no next run";
}

} // namespace
} // namespace orvanta::test
