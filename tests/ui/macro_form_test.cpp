#include "data/settings/settings.h"
#include "i18n/lang_mgr.h"
#include "macros/macro_text.h"
#include "platform/fake/fake_desktop_features.h"
#include "platform/fake/fake_locale_info.h"
#include "platform/fake/fake_macro_hook.h"
#include "platform/fake/fake_synthetic_input.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/named_controls.h"
#include "tests/ui/recording_ports.h"
#include "tests/ui/task_form_fixture.h"
#include "ui/macro_form.h"
#include "ui/macro_form_opener.h"
#include "ui/message_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>
#include <optional>

namespace orvanta::test {
namespace {

using Lines = std::vector<std::string>;

class NoClipboard : public macros::ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
};

class NoWait : public macros::MacroWaiter {
  public:
    void wait(std::chrono::milliseconds) override {}
};

// The recorder reaches native events only through this.
class MacroWindow : public ui::TMacroForm {
  public:
    using TMacroForm::nativeEvent;
    using TMacroForm::TMacroForm;
};

// Everything the recorder works with, faked, with the steps it takes in one log.
struct RecorderPorts {
    TempFolder folder;
    data::Settings settings{folder.file("wake.ini")};
    platform::fake::FakeLocaleInfo locale;
    i18n::TLangMgr languages{folder.path(), '/', settings, locale};
    RecordingErrorBox errors;
    platform::fake::FakeMacroHookPlatform hook;
    platform::fake::FakeSyntheticInput input;
    NoClipboard clipboard;
    NoWait waiter;
    std::atomic<bool> stopRequested{false};
    std::vector<std::string> steps;
    // The answers of the file dialogs in turn: a name, or nothing for Cancel.
    std::deque<std::optional<QString>> dialogAnswers;
    QStringList dialogPrefills;
    std::uint32_t tick = 5000;

    ui::MacroFormPorts Ports() {
        return {languages,
                errors,
                settings,
                hook,
                {input, clipboard, waiter, stopRequested, [this] { steps.push_back("release stop key"); }},
                [this] { steps.push_back("take stop key"); },
                [this](ui::FileDialogKind kind, QWidget*, const QString& filter, QString& name) {
                    steps.push_back((kind == ui::FileDialogKind::Save ? "save dialog " : "open dialog ") +
                                    filter.toStdString());
                    dialogPrefills << name;
                    if (dialogAnswers.empty()) return false;
                    const auto answer = dialogAnswers.front();
                    dialogAnswers.pop_front();
                    if (answer) name = *answer;
                    return answer.has_value();
                },
                [this] { steps.push_back("minimize"); },
                [this] { steps.push_back("restore"); },
                [this] { return tick; },
                QStringLiteral("Orvanta"),
                &features};
    }
    platform::fake::FakeDesktopFeatures features;
};

// Answers the recorder's overwrite question with the given button and keeps what it asked.
class OverwriteAnswerer {
  public:
    OverwriteAnswerer(ui::TMacroForm& form, int button) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, &form, button] {
            ui::MessageDialog* dialog = Control<ui::MessageDialog>(form, "suiMessageDialog1");
            if (!dialog->isVisible()) return;
            question = dialog->text();
            captions = dialog->buttonCaptions();
            title = dialog->windowTitle();
            dialog->PressButton(button);
        });
        timer_.start();
    }
    QString question, title;
    QStringList captions;

  private:
    QTimer timer_;
};

class MacroFormTest : public ::testing::Test, public RecorderPorts {
  protected:
    QLineEdit editorFile;
    QCheckBox editorBox;
    std::unique_ptr<MacroWindow> form;

    void Open() {
        form = std::make_unique<MacroWindow>(Ports(), &editorFile, &editorBox);
        form->show();
    }
    // One event as the hook library reports it: the pointer into the block first, then the message.
    void Hook(unsigned code, int x = 0, int y = 0, std::uint32_t param = 0) {
        hook.SetBlockField("KSMFmapp", 8, x);
        hook.SetBlockField("KSMFmapp", 12, y);
        form->HookMessage(code, param);
    }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    std::string File(const std::string& name) const { return folder.file(name); }
    bool Shown(QWidget* w) const { return w->isVisibleTo(form.get()); }
};

TEST_F(MacroFormTest, OpensEmptyOrWithTheEditorsMacroLoaded) {
    Open();
    EXPECT_EQ(form->windowTitle(), "Keyboard/Mouse Macro");
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNPlay")));
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNStop")));
    EXPECT_TRUE(Control<QCheckBox>(*form, "cbIgnore")->isChecked());
    EXPECT_FALSE(Control<QLineEdit>(*form, "Edit1")->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(*form, "Button2")->isDefault());

    ASSERT_TRUE(macros::WriteMacroFile(File("a.mco"), {"0 KEY_DOWN 65", "9 KEY_UP 65"}));
    editorFile.setText(QString::fromStdString(File("a.mco")));
    Open();
    EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->text(), editorFile.text());
    EXPECT_EQ(form->Memo1().lines(), (Lines{"0 KEY_DOWN 65", "9 KEY_UP 65"}));
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNPlay")));
    // Coming back from the task bar is no new opening: the recording stays.
    form->hide();
    form->show();
    EXPECT_EQ(form->Memo1().lines().size(), 2u);
    EXPECT_TRUE(errors.errors.isEmpty());

    editorFile.setText(QString::fromStdString(File("gone.mco")));
    Open();
    ASSERT_EQ(errors.errors.size(), 1);
    EXPECT_TRUE(errors.errors[0].contains("gone.mco"));
}

TEST_F(MacroFormTest, ARecordingRunsFromRecordToF12AndIsSavedWithTheExtension) {
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    EXPECT_EQ(steps, (std::vector<std::string>{"minimize"}));
    EXPECT_EQ(hook.log,
              (std::vector<std::string>{"load library", "create KSMMcoHook", "create KSMFmapp", "HookOn"}));
    const auto handle = static_cast<std::int32_t>(form->winId());
    EXPECT_EQ(hook.BlockField("KSMMcoHook", 0), handle);
    EXPECT_EQ(hook.BlockField("KSMFmapp", 0), handle);
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNRecord")));
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNStop")));
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNPlay")));

    Hook(512, 1, 1); // before anything: ignored, and the clock waits
    tick = 5100;
    Hook(513, 10, 20);
    tick = 5120;
    Hook(512, 15, 25);
    tick = 5140;
    Hook(514, 15, 25);
    tick = 5160;
    Hook(512, 99, 99);
    tick = 5200;
    Hook(65);
    Hook(65, 0, 0, 0x80000000u);
    const Lines recorded{"0 MOUSE_LEFTDOWN 10 20", "20 MOUSE_MOVE 15 25", "40 MOUSE_LEFTUP 15 25",
                         "100 KEY_DOWN 65", "100 KEY_UP 65"};
    EXPECT_EQ(form->Memo1().lines(), recorded);

    settings.writeText("Last", "1", File("earlier.mco"));
    dialogAnswers.push_back(QString::fromStdString(File("new")));
    hook.log.clear();
    steps.clear();
    Hook(123);
    EXPECT_EQ(hook.log,
              (std::vector<std::string>{"HookOff", "free library", "close KSMMcoHook", "close KSMFmapp"}));
    EXPECT_EQ(steps, (std::vector<std::string>{"restore", "save dialog *.mco|*.mco"}));
    EXPECT_EQ(dialogPrefills, QStringList{QString::fromStdString(File("earlier.mco"))});
    EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->text().toStdString(), File("new.mco"));
    EXPECT_EQ(settings.readText("Last", "1", ""), File("new"));
    EXPECT_EQ(macros::ReadMacroFile(File("new.mco")), recorded);
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNRecord")));
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNStop")));
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNPlay")));
    EXPECT_FALSE(hook.BlockMapped("KSMFmapp"));

    // The release of F12 and anything else still queued belongs to no recording.
    Hook(123, 0, 0, 0x80000000u);
    Hook(66);
    EXPECT_EQ(form->Memo1().lines(), recorded);
    EXPECT_EQ(steps.size(), 2u) << "a late F12 saved again";
    EXPECT_TRUE(errors.errors.isEmpty());
}

TEST_F(MacroFormTest, ANewRecordingReplacesTheOldAndStopSavesThroughTheButton) {
    ASSERT_TRUE(macros::WriteMacroFile(File("a.mco"), {"0 KEY_DOWN 65"}));
    editorFile.setText(QString::fromStdString(File("a.mco")));
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    EXPECT_TRUE(form->Memo1().lines().empty());
    Hook(66);
    dialogAnswers.push_back(std::nullopt);
    Click(Control<QPushButton>(*form, "BTNStop"));
    EXPECT_FALSE(form->recording());
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNPlay"))) << "a cancelled save hides Playback";
    EXPECT_EQ(form->Memo1().lines(), Lines{"0 KEY_DOWN 66"}) << "the recording stays after a cancelled save";
    EXPECT_EQ(macros::ReadMacroFile(File("a.mco")), Lines{"0 KEY_DOWN 65"});
}

TEST_F(MacroFormTest, ALibraryThatCannotBeLoadedLeavesTheWindowAsItWas) {
    hook.libraryLoads = false;
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    EXPECT_EQ(hook.log, std::vector<std::string>{"load library failed"});
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNRecord")));
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNStop")));
    ASSERT_EQ(errors.errors.size(), 1);
    EXPECT_EQ(errors.errors[0], "The keyboard/mouse hook library could not be loaded.");
    Hook(65);
    EXPECT_TRUE(form->Memo1().lines().empty());
}

TEST_F(MacroFormTest, ADesktopWithoutInputCaptureIsReportedAndTheWindowStaysIdle) {
    hook.cannotCapture = true;
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    EXPECT_FALSE(form->recording());
    EXPECT_EQ(std::count(hook.log.begin(), hook.log.end(), "HookOff"), 1) << hook.log.size();
    EXPECT_FALSE(hook.BlockMapped("KSMMcoHook"));
    EXPECT_FALSE(hook.BlockMapped("KSMFmapp"));
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNRecord")));
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNStop")));
    EXPECT_TRUE(steps.empty()) << "the window was minimised: " << steps.front();
    ASSERT_EQ(errors.errors.size(), 1);
    EXPECT_TRUE(errors.errors[0].contains("cannot be recorded")) << errors.errors[0].toStdString();
}

// On a Wayland desktop neither Record nor Playback starts: the user is told why, the hook library is not
// loaded and the window is not minimised.
TEST_F(MacroFormTest, RecordAndPlaybackRefusedByTheDesktopSayWhyAndChangeNothing) {
    features.refuse(platform::DesktopFeature::MacroRecording, "WaylandNoRecording",
                    "recording works only in an X11 session");
    features.refuse(platform::DesktopFeature::MacroPlayback, "WaylandNoPlayback", "no RemoteDesktop portal");
    const std::string path = File("m.mco");
    std::ofstream(path, std::ios::binary) << "0 KEY_DOWN 65\r\n";
    editorFile.setText(QString::fromStdString(path));
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    EXPECT_FALSE(form->recording());
    EXPECT_TRUE(hook.log.empty()) << hook.log.front();
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNRecord")));
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNStop")));

    Click(Control<QPushButton>(*form, "BTNPlay"));
    EXPECT_TRUE(input.events().empty());
    EXPECT_TRUE(steps.empty()) << steps.front();
    EXPECT_TRUE(Control<QPushButton>(*form, "BTNRecord")->isEnabled());
    ASSERT_EQ(errors.errors.size(), 2);
    EXPECT_EQ(errors.errors[0].toStdString(),
              "Input cannot be recorded here: recording works only in an X11 session.");
    EXPECT_EQ(errors.errors[1].toStdString(), "The macro cannot be played here: no RemoteDesktop portal.");
}

TEST_F(MacroFormTest, APauseOfTheLibraryIsNotedInTheWindowUntilTheNextRecording) {
    dialogAnswers = {QString::fromStdString(File("p1")), QString::fromStdString(File("p2"))};
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    ASSERT_TRUE(form->recording());
    form->PauseTimerTimer();
    EXPECT_FALSE(Shown(Control<QLabel>(*form, "lblPaused"))) << "no pause yet";
    // The window looks by itself while the recording goes on.
    hook.SetBlockField("KSMFmapp", platform::kHookStatusOffset, platform::kHookPaused);
    QTRY_VERIFY_WITH_TIMEOUT(Shown(Control<QLabel>(*form, "lblPaused")), 2000);
    Hook(65, 0, 0, 0);
    Hook(123);
    EXPECT_FALSE(form->recording());
    EXPECT_TRUE(Shown(Control<QLabel>(*form, "lblPaused")));
    EXPECT_TRUE(Control<QLabel>(*form, "lblPaused")->text().contains("another program held the keyboard"))
        << Control<QLabel>(*form, "lblPaused")->text().toStdString();
    // The whole note is readable: the window grew to the wrapped text's height.
    QCoreApplication::processEvents();
    EXPECT_GE(
        Control<QLabel>(*form, "lblPaused")->height(),
        Control<QLabel>(*form, "lblPaused")->heightForWidth(Control<QLabel>(*form, "lblPaused")->width()));
    EXPECT_GE(form->height(), form->layout()->totalHeightForWidth(form->width()));
    // A pause in the last moments before F12 counts as well; a new recording starts without the note.
    Click(Control<QPushButton>(*form, "BTNRecord"));
    EXPECT_FALSE(Shown(Control<QLabel>(*form, "lblPaused")));
    hook.SetBlockField("KSMFmapp", platform::kHookStatusOffset, platform::kHookPaused);
    Hook(123);
    EXPECT_TRUE(Shown(Control<QLabel>(*form, "lblPaused")));
    EXPECT_TRUE(errors.errors.isEmpty());
}

TEST_F(MacroFormTest, AMissingProcedureOrBlockIsReportedAndStopGivesTheWindowBack) {
    for (int failure = 0; failure < 3; ++failure) {
        SCOPED_TRACE(failure);
        hook.libraryHasProcedures = failure != 0;
        hook.failingBlocks = failure == 1   ? std::vector<std::string>{"KSMMcoHook"}
                             : failure == 2 ? std::vector<std::string>{"KSMFmapp"}
                                            : std::vector<std::string>{};
        hook.log.clear();
        errors.errors.clear();
        steps.clear();
        Open();
        Click(Control<QPushButton>(*form, "BTNRecord"));
        ASSERT_EQ(errors.errors, QStringList{"Error while create file"});
        EXPECT_EQ(std::count(hook.log.begin(), hook.log.end(), "HookOn"), 0);
        EXPECT_TRUE(steps.empty()) << "minimised though recording did not begin";
        EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNRecord")));
        EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNStop")));

        dialogAnswers.push_back(std::nullopt);
        Click(Control<QPushButton>(*form, "BTNStop"));
        EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNRecord")));
        EXPECT_EQ(hook.log.back(), failure == 0   ? "free library"
                                   : failure == 1 ? "free library"
                                                  : "close KSMMcoHook");
        EXPECT_EQ(std::count(hook.log.begin(), hook.log.end(), "HookOff"), failure == 0 ? 0 : 1);
        EXPECT_FALSE(hook.BlockMapped("KSMMcoHook"));
        EXPECT_EQ(errors.errors.size(), 1);
    }
}

TEST_F(MacroFormTest, AnExistingFileIsOnlyRewrittenAfterOk) {
    Open();
    ASSERT_TRUE(macros::WriteMacroFile(File("old.mco"), {"0 KEY_DOWN 90"}));
    Click(Control<QPushButton>(*form, "BTNRecord"));
    Hook(65);
    dialogAnswers.push_back(QString::fromStdString(File("old.mco")));
    {
        OverwriteAnswerer cancel(*form, 2);
        Hook(123);
        EXPECT_EQ(cancel.question, "The macro file exists! Do you want to rewrite it?");
        EXPECT_EQ(cancel.title, "Orvanta");
        EXPECT_EQ(cancel.captions, (QStringList{"OK", "Cancel"}));
    }
    EXPECT_EQ(macros::ReadMacroFile(File("old.mco")), Lines{"0 KEY_DOWN 90"});
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNPlay")));
    EXPECT_TRUE(Control<QLineEdit>(*form, "Edit1")->text().isEmpty());

    // The dialog keeps its last name; the upper-case extension is no extension.
    ASSERT_TRUE(macros::WriteMacroFile(File("X.MCO.mco"), {"1 KEY_DOWN 90"}));
    dialogAnswers.push_back(QString::fromStdString(File("X.MCO")));
    {
        OverwriteAnswerer ok(*form, 1);
        form->suitempBTNSaveClick();
        EXPECT_FALSE(ok.question.isEmpty());
    }
    EXPECT_EQ(dialogPrefills.back().toStdString(), File("old.mco"));
    EXPECT_EQ(macros::ReadMacroFile(File("X.MCO.mco")), Lines{"0 KEY_DOWN 65"});
    EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->text().toStdString(), File("X.MCO.mco"));
}

TEST_F(MacroFormTest, AFailedWriteIsReportedEvenWhenStopSaves) {
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    Hook(65);
    dialogAnswers.push_back(QString::fromStdString(File("no/such/folder/m")));
    Click(Control<QPushButton>(*form, "BTNStop"));
    ASSERT_EQ(errors.errors.size(), 1);
    EXPECT_TRUE(errors.errors[0].contains("could not be written")) << errors.errors[0].toStdString();
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNRecord"))) << "the window is given back before saving";
}

TEST_F(MacroFormTest, LoadRemembersTheFileAndShowsPlayback) {
    Open();
    Click(Control<QPushButton>(*form, "Load"));
    EXPECT_EQ(steps, std::vector<std::string>{"open dialog *.mco|*.mco"});
    EXPECT_TRUE(Control<QLineEdit>(*form, "Edit1")->text().isEmpty());
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNPlay")));

    const std::string path = File("m.mco");
    ASSERT_TRUE(macros::WriteMacroFile(path, {"0 MOUSE_MOVE 3 4"}));
    settings.writeText("Last", "1", path);
    dialogAnswers.push_back(QString::fromStdString(path));
    Click(Control<QPushButton>(*form, "Load"));
    EXPECT_EQ(dialogPrefills.back().toStdString(), path);
    EXPECT_EQ(Control<QLineEdit>(*form, "Edit1")->text().toStdString(), path);
    EXPECT_EQ(form->Memo1().lines(), Lines{"0 MOUSE_MOVE 3 4"});
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNPlay")));

    // An unreadable choice is reported and Playback stays as it was.
    Control<QPushButton>(*form, "BTNPlay")->hide();
    dialogAnswers.push_back(QString::fromStdString(File("missing.mco")));
    Click(Control<QPushButton>(*form, "Load"));
    EXPECT_EQ(settings.readText("Last", "1", ""), File("missing.mco"));
    EXPECT_EQ(errors.errors.size(), 1);
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNPlay")));
}

TEST_F(MacroFormTest, PlaybackPlaysTheRecordingAndGivesTheWindowBack) {
    const std::string path = File("p.mco");
    ASSERT_TRUE(macros::WriteMacroFile(path, {"0 MOUSE_MOVE 10 11", "5 KEY_DOWN 65", "6 KEY_UP 65"}));
    editorFile.setText(QString::fromStdString(path));
    Open();
    stopRequested = true; // left from an earlier stop
    Click(Control<QPushButton>(*form, "BTNPlay"));
    EXPECT_FALSE(Control<QPushButton>(*form, "BTNRecord")->isEnabled());
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNPlay")));
    EXPECT_FALSE(Shown(Control<QPushButton>(*form, "BTNStop")));
    form->WaitForPlayback();
    const auto events = input.events();
    ASSERT_FALSE(events.empty()) << "the playback stopped at once";
    EXPECT_NE(std::find(events.begin(), events.end(), "cursor 10 11"), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), "key down 65"), events.end());
    EXPECT_EQ(events.back(), "key up 65");
    EXPECT_EQ(steps, (std::vector<std::string>{"minimize", "take stop key", "release stop key"}));

    QTRY_VERIFY_WITH_TIMEOUT(Control<QPushButton>(*form, "BTNRecord")->isEnabled(), 2000);
    EXPECT_TRUE(Shown(Control<QPushButton>(*form, "BTNPlay")));
    EXPECT_TRUE(form->Timer1.isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!form->Timer1.isActive(), 2000);
    EXPECT_EQ(steps.back(), "restore");
}

TEST_F(MacroFormTest, OkHandsTheFileToTheEditorAndCancelDoesNot) {
    Open();
    Control<QLineEdit>(*form, "Edit1")->setText("/tmp/x.mco");
    Click(Control<QPushButton>(*form, "Button1"));
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_TRUE(editorFile.text().isEmpty());
    EXPECT_FALSE(editorBox.isChecked());

    Open();
    Click(Control<QPushButton>(*form, "Button2"));
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(editorFile.text().isEmpty()) << "an empty file name is not handed over";
    EXPECT_FALSE(editorBox.isChecked());

    Open();
    Control<QLineEdit>(*form, "Edit1")->setText("/tmp/x.mco");
    Click(Control<QPushButton>(*form, "Button2"));
    EXPECT_EQ(editorFile.text(), "/tmp/x.mco");
    EXPECT_TRUE(editorBox.isChecked());
}

TEST_F(MacroFormTest, ClosingWhileRecordingEndsTheCaptureWithoutSaving) {
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    Hook(65);
    Click(Control<QPushButton>(*form, "Button1"));
    EXPECT_FALSE(form->recording());
    EXPECT_EQ(std::count(hook.log.begin(), hook.log.end(), "HookOff"), 1);
    EXPECT_FALSE(hook.BlockMapped("KSMMcoHook"));
    EXPECT_FALSE(hook.BlockMapped("KSMFmapp"));
    EXPECT_TRUE(dialogPrefills.isEmpty()) << "no save dialog";
}

TEST_F(MacroFormTest, ClosingTheRecorderStopsOnlyItsOwnPlayback) {
    // The stop flag is the task macros' too: a recorder going away after its playback has ended must not
    // stop a task macro that plays now.
    ASSERT_TRUE(macros::WriteMacroFile(File("p.mco"), {"0 KEY_DOWN 65"}));
    editorFile.setText(QString::fromStdString(File("p.mco")));
    Open();
    Click(Control<QPushButton>(*form, "BTNPlay"));
    form->WaitForPlayback();
    form.reset();
    EXPECT_FALSE(stopRequested.load());
}

TEST_F(MacroFormTest, ClosingTheRecorderDuringALongPauseEndsItsPlaybackAtOnce) {
    ASSERT_TRUE(macros::WriteMacroFile(
        File("p.mco"), {"0 KEY_DOWN 16", "0 MOUSE_LEFTDOWN 1 2", "4000 MOUSE_LEFTUP 1 2", "4000 KEY_UP 16"}));
    editorFile.setText(QString::fromStdString(File("p.mco")));
    macros::SteadyMacroWaiter steady;
    ui::MacroFormPorts p = Ports();
    form = std::make_unique<MacroWindow>(
        ui::MacroFormPorts{
            p.languages, p.errors, p.settings, p.hook,
            macros::MacroPorts{input, clipboard, steady, stopRequested, p.player.releaseStopKey},
            p.takeStopKey, p.runFileDialog, p.minimizeApplication, p.restoreApplication, p.tickCount,
            p.mainCaption},
        &editorFile, &editorBox);
    form->show();
    Click(Control<QPushButton>(*form, "BTNPlay"));
    QTRY_VERIFY_WITH_TIMEOUT(input.events().size() >= 3, 2000);

    QElapsedTimer clock;
    clock.start();
    form->close();
    form.reset();
    EXPECT_LT(clock.elapsed(), 100);
    const auto events = input.events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ((std::vector<std::string>{events.end() - 2, events.end()}),
              (std::vector<std::string>{"button up left", "key up 16"}));
    EXPECT_EQ(steps.back(), "release stop key");
}

TEST_F(MacroFormTest, HookMessagesArriveAsNativeEvents) {
    Open();
    Click(Control<QPushButton>(*form, "BTNRecord"));
    platform::HookMessage message{65, 0};
    qintptr result = 0;
    EXPECT_TRUE(form->nativeEvent("fake", &message, &result));
    EXPECT_FALSE(form->nativeEvent("other", &message, &result));
    EXPECT_EQ(form->Memo1().lines(), Lines{"0 KEY_DOWN 65"});
}

// The task editor's macro button opens the recorder, whose OK fills the editor's macro field.
class MacroPickerTest : public TaskFormTest, public RecorderPorts {};

TEST_F(MacroPickerTest, TheEditorsMacroButtonOpensTheRecorderWhoseOkFillsTheEditor) {
    const std::string path = RecorderPorts::folder.file("picked.mco");
    ASSERT_TRUE(macros::WriteMacroFile(path, {"0 KEY_DOWN 65"}));
    ui::TaskEditorHost host = Host();
    host.openMacroRecorder = [this](QWidget* editor) {
        ui::OpenMacroRecorder(RecorderPorts::Ports(), editor);
    };
    ui::TTaskForm editor(host, ui::kModeNewScheduled);
    editor.show();
    WaitUntilLoaded(editor);
    ASSERT_TRUE(Control<QPushButton>(editor, "suiButton8")->isEnabled());

    QString openedWith;
    QTimer::singleShot(0, [&] {
        auto* recorder = qobject_cast<ui::TMacroForm*>(QApplication::activeModalWidget());
        if (!recorder) return;
        openedWith = Control<QLineEdit>(*recorder, "Edit1")->text();
        Control<QLineEdit>(*recorder, "Edit1")->setText(QString::fromStdString(path));
        Control<QPushButton>(*recorder, "Button2")->click();
    });
    Click(editor, "suiButton8");
    EXPECT_TRUE(openedWith.isEmpty());
    EXPECT_EQ(Control<QLineEdit>(editor, "Edit1")->text().toStdString(), path);
    EXPECT_TRUE(Control<QCheckBox>(editor, "CheckBox8")->isChecked());
}

} // namespace
} // namespace orvanta::test
