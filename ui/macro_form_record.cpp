// The recorder's recording: the hook library, the shared blocks and the hook message.
#include "ui/error_box.h"
#include "ui/macro_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <stdexcept>

namespace orvanta::ui {

namespace {

constexpr char kHandleBlock[] = "KSMMcoHook";
constexpr char kPointerBlock[] = "KSMFmapp";

[[noreturn]] void CreateFailed() {
    throw std::runtime_error("Error while create file");
}

} // namespace

bool TMacroForm::RefusedHere(platform::DesktopFeature feature, const char* key, const char* englishDefault) {
    if (!ports_.features) return false;
    const platform::FeatureAnswer answer = ports_.features->answer(feature);
    if (answer.available) return false;
    const QString reason = GetLangText(answer.reasonKey.c_str(), QString::fromStdString(answer.reason));
    ReportError(ports_.errors, FormatLangText(key, QString::fromUtf8(englishDefault), {reason}));
    return true;
}

void TMacroForm::suitempBTNRecordClick() {
    RunGuarded(ports_.errors, [this] {
        // Before the hook library: on a desktop that keeps input from it, it would wait for nothing.
        if (RefusedHere(platform::DesktopFeature::MacroRecording, "RecordRefused",
                        "Input cannot be recorded here: %s."))
            return;
        auto library = ports_.hook.LoadHookLibrary();
        if (!library) {
            ReportError(ports_.errors,
                        GetLangText("NoHookLibrary",
                                    QStringLiteral("The keyboard/mouse hook library could not be loaded.")));
            return;
        }
        ReleaseHook(); // a capture left from before is ended first
        library_ = std::move(library);
        BTNRecord->hide();
        BTNStop->show();
        BTNPlay->hide();
        memo_.Begin();
        recording_ = true;
        lblPaused->hide();

        if (!library_->hasHookProcedures()) CreateFailed();
        // The window handle is a 32-bit field; X window ids fit it.
        const auto handle = static_cast<std::int32_t>(winId());
        handleBlock_ = ports_.hook.CreateSharedBlock(kHandleBlock);
        if (!handleBlock_) CreateFailed();
        handleBlock_->writeInt32(0, handle);
        HookBlock_ = ports_.hook.CreateSharedBlock(kPointerBlock);
        if (!HookBlock_) CreateFailed();
        HookBlock_->writeInt32(0, handle);
        HookBlock_->writeInt32(platform::kHookStatusOffset, 0);

        library_->HookOn();
        if (HookBlock_->readInt32(platform::kHookStatusOffset) == platform::kHookCannotCapture) {
            // Nothing would ever arrive: back to idle at once, and say why.
            recording_ = false;
            ReleaseHook();
            BTNRecord->show();
            BTNStop->hide();
            ReportError(ports_.errors,
                        GetLangText("CannotRecord",
                                    QStringLiteral(
                                        "Input cannot be recorded on this desktop: the display server does "
                                        "not let programs capture it (the X RECORD extension is missing).")));
            return;
        }
        PauseTimer.start();
        if (ports_.minimizeApplication) ports_.minimizeApplication();
    });
}

void TMacroForm::PauseTimerTimer() {
    RunGuarded(ports_.errors, [this] { NotePause(); });
}

void TMacroForm::NotePause() {
    if (!recording_ || !HookBlock_) {
        PauseTimer.stop();
        return;
    }
    if (HookBlock_->readInt32(platform::kHookStatusOffset) != platform::kHookPaused) return;
    lblPaused->setText(GetLangText(
        "RecordPaused", QStringLiteral("Recording paused while the screen was locked or another program held "
                                       "the keyboard: nothing typed there is in the recording.")));
    lblPaused->show();
    FitHeightToText();
}

void TMacroForm::FitHeightToText() {
    // A window does not grow by itself for a wrapped label's height, and the note is longer in some
    // languages than the window is wide.
    layout()->activate();
    const int needed = layout()->totalHeightForWidth(width());
    if (height() < needed) resize(width(), needed);
}

void TMacroForm::ReleaseHook() noexcept {
    try {
        if (library_ && library_->hasHookProcedures()) library_->HookOff();
    } catch (...) {
    }
    library_.reset();
    handleBlock_.reset();
    HookBlock_.reset();
}

void TMacroForm::suitempBTNStopClick() {
    RunGuarded(ports_.errors, [this] { StopRecording(); });
}

void TMacroForm::StopRecording() {
    // A pause in the last moments is noted before the blocks go.
    if (recording_) NotePause();
    recording_ = false;
    PauseTimer.stop();
    try {
        if (ports_.restoreApplication) ports_.restoreApplication();
    } catch (...) {
    }
    BTNRecord->show();
    BTNStop->hide();
    BTNPlay->show();
    ReleaseHook();
    // Unlike the teardown above, a failed save is reported: the recording would be lost unnoticed.
    suitempBTNSaveClick();
}

void TMacroForm::HookMessage(unsigned code, std::uint32_t param) {
    // Messages still queued after the capture has ended belong to no recording.
    if (!recording_) return;
    macros::HookBlockPoint point;
    if (HookBlock_) point = {HookBlock_->readInt32(8), HookBlock_->readInt32(12)};
    const std::uint32_t tick = ports_.tickCount ? ports_.tickCount() : 0;
    if (memo_.OnHookEvent(code, param, point, tick, cbIgnore->isChecked()) ==
        macros::MacroRecording::Reply::Stop)
        StopRecording();
}

bool TMacroForm::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (const auto hook = ports_.hook.DecodeHookMessage(eventType.toStdString(), message)) {
        RunGuarded(ports_.errors, [&] { HookMessage(hook->code, hook->param); });
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}

} // namespace orvanta::ui
