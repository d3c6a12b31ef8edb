#pragma once

#include "data/settings/settings.h"
#include "macros/macro_player.h"
#include "macros/macro_recorder.h"
#include "platform/api/desktop_features.h"
#include "platform/api/macro_hook.h"
#include "ui/lang_form.h"

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvanta::ui {

class ErrorBox;
class MessageDialog;

enum class FileDialogKind { Open, Save };

// A file dialog as the recorder keeps it between runs: the last name chosen and its filter, in the
// "description|pattern" form.
struct MacroFileDialog {
    FileDialogKind kind;
    QString FileName;
    QString Filter;
};

struct MacroFormPorts {
    i18n::TLangMgr& languages;
    ErrorBox& errors;
    data::Settings& settings; // the [Last] file names
    platform::MacroHookPlatform& hook;
    macros::MacroPorts player; // the recorder's playback, DoDo
    std::function<void()> takeStopKey;
    // Runs a file dialog pre-filled with fileName; true, with the chosen name in fileName, on confirm.
    std::function<bool(FileDialogKind kind, QWidget* parent, const QString& filter, QString& fileName)>
        runFileDialog;
    std::function<void()> minimizeApplication;
    std::function<void()> restoreApplication;
    std::function<std::uint32_t()> tickCount; // milliseconds, wrapping
    QString mainCaption;                      // the overwrite question's caption
    // Whether this desktop lets the program record and play input; nullptr: as if it does.
    const platform::DesktopFeatures* features = nullptr;
};

// The macro recorder: records the user's input through the hook library, saves and loads macro files,
// plays the recording and hands the file to the task editor.
class TMacroForm : public QDialog, public TLangForm {
    Q_OBJECT

  public:
    // editorFile and editorMacroBox: the task editor's macro file field and its check box.
    TMacroForm(MacroFormPorts ports, QLineEdit* editorFile, QCheckBox* editorMacroBox,
               QWidget* parent = nullptr);
    ~TMacroForm() override;

    // Saves the recording under a name the user picks (no control of its own: the end of a recording
    // runs it).
    void suitempBTNSaveClick();
    void FormShow();
    void Timer1Timer();
    // While recording: shows lblPaused once the hook library has paused for another program's keyboard
    // grab.
    void PauseTimerTimer();
    // The hook library's message: an event code and, for keys, the keystroke flags.
    void HookMessage(unsigned code, std::uint32_t param);
    bool PickFileRemembered(MacroFileDialog& dialog, const char* key);
    // Tells the user why the feature does not work here; false when it does.
    bool RefusedHere(platform::DesktopFeature feature, const char* key, const char* englishDefault);

    // The recording, one macro line per entry.
    const macros::MacroRecording& Memo1() const { return memo_; }
    bool recording() const { return recording_; }
    // Waits until the playback has ended; its end step is still to be delivered to the window.
    void WaitForPlayback() { player_->WaitAll(); }

    MacroFileDialog SaveDialog{FileDialogKind::Save, {}, {}};
    MacroFileDialog OpenDialog{FileDialogKind::Open, {}, {}};
    QTimer Timer1;
    QTimer PauseTimer;

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    // Click handlers; the controls are reached by their object names from outside.
    void suitempBTNRecordClick();
    void suitempBTNStopClick();
    void suitempBTNLoadClick();
    void suitempBTNPlayClick();
    void Button2Click(); // OK
    void Button1Click(); // Cancel

    void BuildWidgets();
    void LoadIntoMemo(const QString& fileName);
    void ReleaseHook() noexcept;
    void PlaybackEnded();
    void FitHeightToText();
    void NotePause();
    // Ends the capture, shows the idle buttons and saves what was recorded.
    void StopRecording();

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton *Load, *BTNRecord, *BTNStop, *BTNPlay, *Button2, *Button1;
    QCheckBox* cbIgnore;
    // Says that input went unrecorded while another program held the keyboard; stays until the next
    // recording, since the window is minimised while the pause happens.
    QLabel* lblPaused;
    MessageDialog* suiMessageDialog1;

    MacroFormPorts ports_;
    QLineEdit* editorFile_;
    QCheckBox* editorMacroBox_;
    macros::MacroRecording memo_;
    bool recording_ = false;
    bool shown_ = false;
    std::unique_ptr<platform::MacroHookLibrary> library_;
    std::unique_ptr<platform::SharedHookBlock> handleBlock_;
    std::unique_ptr<platform::SharedHookBlock> HookBlock_;
    std::atomic<bool> playing_{false};
    std::unique_ptr<macros::DoDo> player_;
};

} // namespace orvanta::ui
