#include "ui/macro_form.h"

#include "ui/error_box.h"
#include "ui/message_dialog.h"
#include "ui/named_widget.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

namespace orvanta::ui {

TMacroForm::TMacroForm(MacroFormPorts ports, QLineEdit* editorFile, QCheckBox* editorMacroBox,
                       QWidget* parent)
    : QDialog(parent), TLangForm(this, "TMacroForm", ports.languages), ports_(std::move(ports)),
      editorFile_(editorFile), editorMacroBox_(editorMacroBox) {
    BuildWidgets();
    ReloadLanguage();
    // The end step comes from the playback's thread; the window's part of it runs on the GUI thread.
    player_ = std::make_unique<macros::DoDo>(ports_.player, [this] {
        playing_.store(false);
        QMetaObject::invokeMethod(
            this, [this] { PlaybackEnded(); }, Qt::QueuedConnection);
    });

    connect(Load, &QPushButton::clicked, this, &TMacroForm::suitempBTNLoadClick);
    connect(BTNRecord, &QPushButton::clicked, this, &TMacroForm::suitempBTNRecordClick);
    connect(BTNStop, &QPushButton::clicked, this, &TMacroForm::suitempBTNStopClick);
    connect(BTNPlay, &QPushButton::clicked, this, &TMacroForm::suitempBTNPlayClick);
    connect(Button2, &QPushButton::clicked, this, &TMacroForm::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &TMacroForm::Button1Click);
    Timer1.setInterval(1);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, &TMacroForm::Timer1Timer);
    PauseTimer.setInterval(200);
    connect(&PauseTimer, &QTimer::timeout, this, &TMacroForm::PauseTimerTimer);
}

TMacroForm::~TMacroForm() {
    // A playback still running is stopped before the window it reports to goes. The stop flag is shared
    // with the task macros, so without a playback of ours it keeps its value.
    const bool stopWas = ports_.player.stopRequested.load();
    const bool playing = playing_.load();
    player_.reset();
    if (!playing) ports_.player.stopRequested.store(stopWas);
    ReleaseHook();
}

void TMacroForm::BuildWidgets() {
    setObjectName("MacroForm");
    setWindowTitle(QStringLiteral("Keyboard/Mouse Macro"));
    auto* grid = new QGridLayout(this);
    Label1 = Named(new QLabel(QStringLiteral("Macro file:"), this), "Label1");
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setEnabled(false);
    Load = Named(new QPushButton(QStringLiteral("..."), this), "Load");
    Load->setToolTip(QStringLiteral("Load a macro file"));
    BTNRecord = Named(new QPushButton(QStringLiteral("Record"), this), "BTNRecord");
    BTNStop = Named(new QPushButton(QStringLiteral("Stop"), this), "BTNStop");
    BTNStop->hide();
    BTNPlay = Named(new QPushButton(QStringLiteral("Playback"), this), "BTNPlay");
    cbIgnore =
        Named(new QCheckBox(QStringLiteral("Ignore mouse movement while recording"), this), "cbIgnore");
    cbIgnore->setChecked(true);
    lblPaused = Named(new QLabel(this), "lblPaused");
    lblPaused->setWordWrap(true);
    lblPaused->hide();
    Button2 = Named(new QPushButton(QStringLiteral("OK"), this), "Button2");
    Button2->setDefault(true);
    Button1 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button1");
    suiMessageDialog1 = Named(new MessageDialog(this), "suiMessageDialog1");

    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Load, 0, 2);
    auto* recordRow = new QHBoxLayout;
    recordRow->addWidget(BTNRecord);
    recordRow->addWidget(BTNStop);
    recordRow->addWidget(BTNPlay);
    recordRow->addStretch();
    grid->addLayout(recordRow, 1, 0, 1, 3);
    grid->addWidget(cbIgnore, 2, 0, 1, 3);
    grid->addWidget(lblPaused, 3, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    grid->addLayout(buttons, 4, 0, 1, 3);
}

void TMacroForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return; // a restore from the minimised state is no new opening
    shown_ = true;
    RunGuarded(ports_.errors, [this] { FormShow(); });
}

void TMacroForm::FormShow() {
    if (editorFile_ && !editorFile_->text().isEmpty()) {
        Edit1->setText(editorFile_->text());
        LoadIntoMemo(Edit1->text());
    } else {
        BTNPlay->hide();
    }
}

void TMacroForm::suitempBTNPlayClick() {
    RunGuarded(ports_.errors, [this] {
        if (RefusedHere(platform::DesktopFeature::MacroPlayback, "PlaybackRefused",
                        "The macro cannot be played here: %s."))
            return;
        if (ports_.minimizeApplication) ports_.minimizeApplication();
        BTNRecord->setEnabled(false);
        BTNStop->hide();
        BTNPlay->hide();
        ports_.player.stopRequested.store(false);
        if (ports_.takeStopKey) ports_.takeStopKey();
        playing_.store(true);
        player_->Start(memo_.lines());
    });
}

void TMacroForm::PlaybackEnded() {
    BTNRecord->setEnabled(true);
    BTNStop->hide();
    BTNPlay->show();
    Timer1.start();
}

void TMacroForm::Timer1Timer() {
    RunGuarded(ports_.errors, [this] {
        Timer1.stop();
        if (ports_.restoreApplication) ports_.restoreApplication();
    });
}

void TMacroForm::Button2Click() {
    RunGuarded(ports_.errors, [this] {
        if (!Edit1->text().isEmpty()) {
            if (editorFile_) editorFile_->setText(Edit1->text());
            if (editorMacroBox_) editorMacroBox_->setChecked(true);
        }
        accept();
    });
}

void TMacroForm::Button1Click() {
    RunGuarded(ports_.errors, [this] { reject(); });
}

void TMacroForm::done(int result) {
    // Closing while recording ends the capture; what was recorded is not saved.
    if (recording_) {
        recording_ = false;
        ReleaseHook();
    }
    QDialog::done(result);
}

} // namespace orvanta::ui
