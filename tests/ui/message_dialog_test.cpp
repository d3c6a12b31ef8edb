#include "tests/ui/task_form_fixture.h"
#include "ui/message_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QTimer>

namespace orvanta::test {
namespace {

// What the open question box shows: whether its text has the room it needs.
struct Fit {
    bool textFits = false;
    bool onScreen = false;
    QString text;
};

class SharedQuestionBox : public MainFormTest {
  protected:
    void SetUp() override { Start(); }
    Fit AskAndMeasure(const QString& text) {
        Fit fit;
        QTimer probe;
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            ui::MessageDialog* box = form->suiMessageDialog1();
            if (!box || !box->isVisible()) return;
            auto* label = box->findChild<QLabel*>("messageText");
            if (!label) return box->PressButton(1);
            fit.text = box->text();
            fit.textFits = label->height() >= label->heightForWidth(label->width()) &&
                           box->height() >= box->layout()->totalHeightForWidth(box->width());
            const QRect screen = box->screen()->availableGeometry();
            fit.onScreen = box->frameGeometry().width() <= screen.width() &&
                           box->frameGeometry().height() <= screen.height();
            box->PressButton(1);
        });
        probe.start();
        form->AskQuestion(text);
        return fit;
    }
};

// The box's warning icon is an icon-theme lookup; a start that asks nothing must not make it.
TEST_F(SharedQuestionBox, IsMadeByTheFirstQuestionAndServesEveryLaterOne) {
    EXPECT_EQ(form->findChild<ui::MessageDialog*>(), nullptr);
    AskAndMeasure("first");
    ui::MessageDialog* made = form->suiMessageDialog1();
    ASSERT_NE(made, nullptr);
    AskAndMeasure("second");
    EXPECT_EQ(form->suiMessageDialog1(), made);
    EXPECT_EQ(form->findChildren<ui::MessageDialog*>().size(), 1);
}

TEST_F(SharedQuestionBox, GrowsToEachTextAfterAShorterOne) {
    QString longText;
    for (int i = 0; i < 12; ++i)
        longText += QStringLiteral("Zeile %1: Diese Aufgabe wird beim nächsten Start neu geplant.\r").arg(i);
    const QStringList texts{"Short.", longText, "Short again.", longText + longText};
    for (const QString& text : texts) {
        const Fit fit = AskAndMeasure(text);
        EXPECT_EQ(fit.text, ui::DisplayLineBreaks(text));
        EXPECT_TRUE(fit.textFits) << text.left(20).toStdString();
        EXPECT_TRUE(fit.onScreen) << text.left(20).toStdString();
    }
}

// A task title or path with no blank in it must still wrap: the box stays on the screen, whole.
TEST_F(SharedQuestionBox, StaysOnTheScreenForAWordLongerThanTheScreen) {
    const QString title = QString("Backup_").repeated(60);
    const QString key = QStringLiteral("Ctrl\u00A0+\u00A0R");
    const Fit fit =
        AskAndMeasure(QStringLiteral("%1 is already the hotkey of the enabled task \"%2\".").arg(key, title));
    EXPECT_TRUE(fit.onScreen);
    EXPECT_TRUE(fit.textFits);
    EXPECT_TRUE(fit.text.contains(title)) << "the title is shown whole";
    // Even a text taller than the screen leaves the buttons on it.
    EXPECT_TRUE(AskAndMeasure(QString("W").repeated(3000)).onScreen);
}

TEST(LongWordBreaks, NeverSplitACharacterOrItsMarks) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units
    const QString broken = ui::WithBreaksInLongWords("a" + emoji.repeated(30), 40);
    EXPECT_TRUE(broken.contains(QChar(0x200B))) << "a long word still gets breaks";
    for (qsizetype i = 1; i < broken.size(); ++i)
        EXPECT_FALSE(broken[i - 1] == QChar(0x200B) && broken[i].isLowSurrogate()) << "at " << i;
    const QString marked = ui::WithBreaksInLongWords(QString("e\u0301").repeated(30), 40);
    for (qsizetype i = 1; i < marked.size(); ++i)
        EXPECT_FALSE(marked[i - 1] == QChar(0x200B) && marked[i] == QChar(0x0301)) << "at " << i;
}

// The pickers of the editor open the desktop's file dialog with filters that show this system's files.
class DesktopFilePickers : public TaskFormTest {
  protected:
    struct Seen {
        QStringList nameFilters;
        QDir::Filters filter;
    };
    Seen Pick(const QString& filter) {
        Seen seen;
        QTimer probe;
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            seen = {dialog->nameFilters(), dialog->filter()};
            dialog->reject();
        });
        probe.start();
        ui::TaskEditorHost host =
            ui::MakeTaskEditorHost(*form, {*languages, clock, power, store, errors, {}});
        QWidget parent;
        EXPECT_TRUE(host.pickFile(&parent, filter).isEmpty());
        return seen;
    }
};

TEST_F(DesktopFilePickers, ShowEveryFileAndProgramsByTheirMode) {
    const Seen anyFile = Pick("*.*");
    EXPECT_EQ(anyFile.nameFilters, QStringList{"All files (*)"});
    const Seen program = Pick("*.exe");
    ASSERT_EQ(program.nameFilters.size(), 1);
    EXPECT_FALSE(program.nameFilters[0].contains(".exe"));
    EXPECT_TRUE(program.nameFilters[0].endsWith("(*)"));
    EXPECT_TRUE(program.filter & QDir::Executable);
    EXPECT_TRUE(program.filter & QDir::AllDirs);
}

} // namespace
} // namespace orvanta::test
