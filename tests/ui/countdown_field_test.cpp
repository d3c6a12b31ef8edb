#include "tests/ui/task_form_fixture.h"

#include <QTest>
#include <climits>

namespace orvanta::test {
namespace {

using ui::kModeNewScheduled;

// A count-down too long to hold used to be stored as it was typed and read back as "none", so a power
// action ran unconfirmed. The field takes no more digits than a count-down holds.
TEST_F(TaskFormTest, TheCountDownFieldTakesNoMoreDigitsThanACountDownHolds) {
    auto editor = Open(kModeNewScheduled);
    QLineEdit* num = Control<QLineEdit>(*editor, "num");
    num->clear();
    QTest::keyClicks(num, "99999999999999");
    EXPECT_LE(num->text().size(), 9);
    num->setText("123456789012"); // pasted text meets the same limit
    EXPECT_LE(num->text().size(), 9);
    // What the field can hold is what the dispatcher reads: no digits beyond an int's range.
    num->setText("999999999");
    EXPECT_EQ(num->text().toLongLong(), 999'999'999LL);
    EXPECT_LE(num->text().toLongLong(), INT_MAX);
}

} // namespace
} // namespace orvanta::test
