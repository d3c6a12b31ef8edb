#include "ui/main_form.h"

#include "actions/program_actions.h"
#include "actions/quick_launch.h"
#include "data/settings/data_folder.h"
#include "data/settings/settings_keys.h"
#include "data/settings/text_file.h"
#include "platform/api/program_files.h"
#include "scheduler/calendar.h"
#include "ui/app_icon.h"
#include "ui/backup_commands.h"
#include "ui/banner.h"
#include "ui/history_form.h"
#include "ui/hotkey_page.h"
#include "ui/lock_form.h"
#include "ui/message_dialog.h"
#include "ui/options_page.h"
#include "ui/set_pw_form.h"
#include "ui/task_list_view.h"
#include "ui/toolkit_translations.h"
#include "ui/tray.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <charconv>
#include <filesystem>
#include <iostream>

namespace orvanta::ui {

namespace keys = data::settings_keys;

namespace {

QToolButton* ToolButton(QToolBar* bar, const char* name, const char* caption, const char* hint) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(QString::fromUtf8(caption));
    button->setToolTip(QString::fromUtf8(hint));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

QWidget* TabPage(const char* name) {
    auto* page = new QWidget;
    page->setObjectName(name);
    return page;
}

} // namespace

TMainForm::TMainForm(MainFormPorts ports)
    : QMainWindow(nullptr), TLangForm(this, "TMainForm", ports.languages), ports_(std::move(ports)),
      toolkitTranslations_(std::make_unique<ToolkitTranslations>(ports_.languages)), timers_(ports_.timers),
      scheduler_(ports_.scheduler), closeAllowed_(ports_.closeAllowance.allowed) {
    BuildWidgets();
    ConnectHandlers();
    ReloadLanguage();
    ApplyPlatformWording();
    StartTrayIcon();
    ports_.requests.warnOnBattery = [this] { WarnOnBattery(); };
    ports_.requests.rebuildRunTable = [this] { RebuildRunTable(); };
    FormCreate();
}

TMainForm::~TMainForm() {
    // The monitor's and the hand-over's threads post to this window; they must be quiet before it goes.
    ports_.resumeMonitor.stop();
    handOverListening_.reset();
    ports_.requests = {};
}

void TMainForm::BuildWidgets() {
    setObjectName("MainForm");
    setWindowTitle(QStringLiteral("Orvanta"));
    setWindowIcon(AppIcon());
    menus_ = BuildMainMenus(this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    banner_ = new Banner(central);
    layout->addWidget(banner_);
    pageControl_ = new QTabWidget(central);
    pageControl_->setObjectName("PageControl1");
    layout->addWidget(pageControl_, 1);
    setCentralWidget(central);

    QWidget* scheduled = TabPage("TabSheet1");
    auto* scheduledLayout = new QVBoxLayout(scheduled);
    toolBar_ = new QToolBar(scheduled);
    toolBar_->setObjectName("ToolBar1");
    newBtn_ = ToolButton(toolBar_, "NewBtn", "Add", "Add a new scheduled task.");
    editBtn_ = ToolButton(toolBar_, "EditBtn", "Modify", "View and modify scheduled task");
    delBtn_ = ToolButton(toolBar_, "DelBtn", "Delete", "Delete scheduled task.");
    delBtn_->setMenu(menus_.delPopupMenu);
    delBtn_->setPopupMode(QToolButton::MenuButtonPopup);
    delAllBtn_ = ToolButton(toolBar_, "DelAllBtn", "Empty", "Delete all scheduled tasks.");
    scheduledLayout->addWidget(toolBar_);
    taskList_ = new TaskListView(scheduled);
    taskList_->model().SetRowHint([this](const scheduler::DisplayRow& row) { return RowHint(row); });
    scheduledLayout->addWidget(taskList_, 1);

    // The captions keep their blanks: they set the tabs' widths.
    pageControl_->addTab(scheduled, QStringLiteral("  Scheduled Tasks   "));
    QWidget* hotkeySheet = TabPage("TabSheet3");
    pageControl_->addTab(hotkeySheet, QStringLiteral("Hotkey Actions"));
    BuildHotkeyPage(hotkeySheet);
    optionsPage_ = new OptionsPage({ports_.languages, *this, ports_.settings, ports_.registry,
                                    ports_.paths.executablePath(), ports_.paths.pathSeparator(),
                                    ports_.errors, menus_.RunatWin1, settingsLocked_,
                                    [this](const QString& text) { return AskQuestion(text); },
                                    [this] { OpenSetPassword(); }, ports_.passwordRequiredOnResume,
                                    [this](const std::string& program, const std::string& parameter) {
                                        ports_.programs.RunElevated(program, parameter);
                                    },
                                    platform::ProgramFiles(ports_.paths).privateFile("Orvanta_Settings")});
    pageControl_->addTab(optionsPage_, QStringLiteral("       Options        "));

    statusLine_ = new QLabel(this);
    statusBar()->addWidget(statusLine_, 1);
    statusBar()->hide();

    tray_ = new Tray(menus_.PopupMenu1, ports_.trayHosts, ports_.notices, this);
    resize(680, 480);
}

void TMainForm::BuildHotkeyPage(QWidget* tabSheet) {
    if (!ports_.hotkeyTasks) return;
    hotkeyPage_ =
        new HotkeyPage(tabSheet, {ports_.store, *ports_.hotkeyTasks, ports_.listTexts, ports_.errors,
                                  [this](const QString& question) { return AskQuestion(question); },
                                  [this](const QString& mode, const std::string& id) {
                                      scheduler_.currentTaskId() = id;
                                      if (ports_.openTaskEditor) ports_.openTaskEditor(*this, mode);
                                  },
                                  ports_.features});
}

void TMainForm::LoadHotkeys() {
    if (hotkeyPage_) Guarded([this] { hotkeyPage_->LoadHotkeyTasks(); });
}

void TMainForm::ConnectHandlers() {
    auto on = [this](QAction* action, void (TMainForm::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    auto later = [](QAction* action, bool available) { action->setEnabled(available); };
    const auto& m = menus_;

    connect(&timers_.tmr302, &QTimer::timeout, this, &TMainForm::tmr302Timer);
    connect(&timers_.doWake, &QTimer::timeout, this, &TMainForm::doWakeTimer);
    connect(&timers_.doNoWake, &QTimer::timeout, this, &TMainForm::doNoWakeTimer);
    connect(&timers_.Timer12, &QTimer::timeout, this, &TMainForm::Timer12Timer);
    connect(&timers_.clearmm, &QTimer::timeout, this, &TMainForm::clearmmTimer);
    connect(&timers_.Timer7, &QTimer::timeout, this, &TMainForm::Timer7Timer);
    connect(&timers_.Timer3, &QTimer::timeout, this, &TMainForm::Timer3Timer);
    connect(&timers_.reGet, &QTimer::timeout, this, &TMainForm::reGetTimer);

    connect(newBtn_, &QToolButton::clicked, this, &TMainForm::NewBtnClick);
    connect(editBtn_, &QToolButton::clicked, this, &TMainForm::EditBtnClick);
    connect(delBtn_, &QToolButton::clicked, this, &TMainForm::DelBtnClick);
    connect(delAllBtn_, &QToolButton::clicked, this, &TMainForm::DelAllBtnClick);
    newBtn_->setEnabled(bool(ports_.openTaskEditor));
    editBtn_->setEnabled(bool(ports_.openTaskEditor));

    on(m.Delete1, &TMainForm::DelBtnClick);
    on(m.DeletePassed1, &TMainForm::DeletePassed1Click);
    on(m.DeleteDisabled1, &TMainForm::DeleteDisabled1Click);
    on(m.Enabled1, &TMainForm::Enabled1Click);
    on(m.Disabled1, &TMainForm::Disabled1Click);
    on(m.HidePassed, &TMainForm::HidePassedClick);
    on(m.HideDisabled, &TMainForm::HideDisabledClick);
    on(m.HideLater, &TMainForm::HideLaterClick);
    connect(m.PopupMenu2, &QMenu::aboutToShow, this, &TMainForm::PopupMenu2Popup);
    connect(taskList_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menus_.PopupMenu2->popup(taskList_->viewport()->mapToGlobal(pos)); });
    connect(taskList_, &TaskListView::mousePressedAt, this, &TMainForm::TaskListMouseDown);
    connect(taskList_, &QAbstractItemView::doubleClicked, this, &TMainForm::TaskListDblClick);

    on(m.Exit1, &TMainForm::Exit1Click);
    on(m.Exit2, &TMainForm::Exit1Click);
    on(m.Close1, &TMainForm::Exit1Click);
    on(m.NewScheduledTask1, &TMainForm::NewBtnClick);
    later(m.NewScheduledTask1, bool(ports_.openTaskEditor));
    connect(m.Showlist1, &QAction::triggered, this, [this] { ShowFromTray(0); });
    connect(m.AdvancedOptions1, &QAction::triggered, this, [this] { ShowFromTray(2); });
    connect(m.Minimize1, &QAction::triggered, this, [this] { MinimizeToTray(); });
    connect(m.MaximizeRestore1, &QAction::triggered, this,
            [this] { isMaximized() ? showNormal() : showMaximized(); });
    connect(banner_, &Banner::controlMenuRequested, this,
            [this](const QPoint& at) { menus_.PopupMenu3->popup(at); });

    // Quick launch: each File menu item and its notification-area twin share one command.
    for (const actions::QuickLaunchItem& item : actions::kQuickLaunchItems)
        for (std::string_view name : {item.mainMenuItem, item.trayMenuItem})
            if (auto* action = findChild<QAction*>(QString::fromUtf8(name.data(), qsizetype(name.size()))))
                connect(action, &QAction::triggered, this, [this, command = item.command] {
                    Guarded([&] { actions::RunQuickLaunch(command, ports_.session, ports_.closeAllowance); });
                });
    for (QAction* a : {m.PowerManagement2, m.PowerManagement1})
        connect(a, &QAction::triggered, this,
                [this] { Guarded([this] { ports_.programs.OpenPowerManagement(); }); });
    // A settings program that is not installed has no effect, as any missing program.
    for (QAction* a : {m.AtomicClock2, m.AtomicClock1})
        connect(a, &QAction::triggered, this,
                [this] { Guarded([this] { ports_.programs.StartAtomicClock(); }); });
    later(m.RunHistory2, ports_.runHistory != nullptr);
    connect(m.RunHistory2, &QAction::triggered, this, [this] {
        Guarded([this] { THistoryForm(ports_.languages, *ports_.runHistory, ports_.clock, this).exec(); });
    });
    for (QAction* a : {m.About1, m.About2})
        on(a, &TMainForm::About1Click);
    for (QAction* a : {m.UserManual1, m.Help2}) {
        on(a, &TMainForm::UserManual1Click);
        later(a, !UserManualPath().empty());
    }
    on(m.Visitwebsite1, &TMainForm::Visitwebsite1Click);
    later(m.Visitwebsite1, !ports_.about.website.isEmpty());
    ConnectBackupCommands();

    on(m.RunatWin1, &TMainForm::RunatWin1Click);
    connect(tray_, &Tray::activated, this, &TMainForm::TrayDoubleClick);
    connect(tray_, &Tray::availabilityChanged, this, &TMainForm::TrayAvailabilityChanged);
}

void TMainForm::ConnectBackupCommands() {
    BackupFileDialogs dialogs = ports_.backupDialogs;
    const BackupFileDialogs desktop = DesktopBackupFileDialogs(this);
    if (!dialogs.chooseExportFile) dialogs.chooseExportFile = desktop.chooseExportFile;
    if (!dialogs.chooseImportFile) dialogs.chooseImportFile = desktop.chooseImportFile;
    auto backup = std::make_shared<BackupCommands>(BackupCommands::Ports{
        ports_.store.path(), std::move(dialogs), [this](const QString& q) { return AskQuestion(q) == 1; },
        [this](const char* key, const QString& english) { return GetLangText(key, english); },
        [this] {
            // An imported backup replaces the hotkey tasks too: the registrations follow it.
            Guarded([this] { RebuildRunTable(); });
            LoadHotkeys();
        }});
    connect(menus_.Export1, &QAction::triggered, this,
            [this, backup] { Guarded([&] { backup->Export1Click(); }); });
    connect(menus_.Import1, &QAction::triggered, this,
            [this, backup] { Guarded([&] { backup->Import1Click(); }); });
    // Only an uninstaller that was started may end the program; without one the item is grey.
    auto offerUninstall = [this] { menus_.Uninstall2->setEnabled(ports_.programs.HasUninstaller()); };
    offerUninstall();
    connect(menus_.Tools1, &QMenu::aboutToShow, this, offerUninstall);
    connect(menus_.Uninstall2, &QAction::triggered, this, [this] {
        bool started = false;
        Guarded([&] { started = ports_.programs.StartUninstall(); });
        if (started) Exit1Click();
    });
}

void TMainForm::StartTrayIcon() {
    Guarded([this] {
        // The data folder must exist before anything is read from or written into it.
        data::ResolveDataFolder(ports_.paths);
        // Only the exact text "1" starts hidden; the options page reads the same entry as a flag.
        if (ports_.settings.readText(keys::kStartMinimized.section, keys::kStartMinimized.key, "0") == "1") {
            if (tray_->available()) {
                startsHidden_ = true;
                closeAllowed_ = true;
            }
        }
    });
    if (!tray_->available()) ShowStatus(NoTrayText());
}

QString TMainForm::NoTrayText() const {
    return GetLangText("NoTray",
                       "No notification area was found on this desktop, so Orvanta stays in the task "
                       "bar when minimized.");
}

void TMainForm::FormCreate() {
    scheduler_.state().wasOnMains = true;
    scheduler_.state().lastPollTime = ports_.clock.now();
    Guarded([this] { data::ResolveDataFolder(ports_.paths); });
    if (HandOverToRunningCopy()) return;

    tray_->Show();
    timers_.tmr302.start();
    timers_.Timer3.start();
    ports_.resumeMonitor.start([this](const platform::ResumeEvent& event) {
        if (event.automatic) ports_.resumeHandling.NoteAutomaticResume();
        // At once, not queued: the wake-up's own timers may be handled before the queued event.
        ports_.scheduler.NoteResume();
        QMetaObject::invokeMethod(
            this, [this, event] { Guarded([&] { ports_.resumeHandling.OnResume(event); }); },
            Qt::QueuedConnection);
    });

    Guarded([this] {
        data::SeedTaskDatabase(ports_.store.path());
        ApplySettings();
        optionsPage_->LoadInitialState();
        optionsPage_->PlaceControls();
        ports_.registry.writeString(platform::kLangManagerKeyPath, "Orvanta",
                                    platform::ProgramFiles(ports_.paths).languageRoot());
    });
    // Copies a killed write left behind; no other writer of ours runs now that the claim is held.
    ini::RemoveStaleTemporaries(ports_.settings.filePath());
    ini::RemoveStaleTemporaries(ports_.store.path());
    Guarded([this] { ports_.store.checkIntegrity(); });
    Guarded([this] { RebuildRunTable(); });
    LoadHotkeys();
}

bool TMainForm::HandOverToRunningCopy() {
    if (ports_.instance.claim()) {
        // Heard on the backend's thread; acted on here.
        handOverListening_ = ports_.instance.listenForHandOver([this](platform::HandOverRequest request) {
            QMetaObject::invokeMethod(
                this,
                [this, request] {
                    if (request == platform::HandOverRequest::newTask)
                        NewTaskRequested();
                    else
                        QuitMessageReceived();
                },
                Qt::QueuedConnection);
        });
        if (!handOverListening_)
            std::cerr << "orvanta: a later start cannot reach this copy at "
                      << ports_.instance.handOverAddress() << std::endl;
        return false;
    }
    if (const std::string failure = ports_.instance.claimFailure(); !failure.empty()) {
        // Neither the running copy nor this one can be sure of the other: this one ends, unasked.
        startRefusal_ = QString::fromStdString(failure);
        handedOver_ = true;
        // Told on the terminal too, before the box waits for the user.
        std::cerr << "orvanta: " << failure << std::endl;
        Guarded([&] { ports_.errors.ShowError(startRefusal_); });
        return true;
    }
    // Renamed first, so nothing that looks for the running copy by its title finds this one.
    setWindowTitle(QStringLiteral("Orvanta_"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Orvanta_"));
    // A copy that does not answer still gets no second scheduler: this one ends either way. The bus
    // comes first, the instance's own address where the bus has no copy for this data folder.
    const bool newTask = ports_.handOverNewTask;
    if (!(ports_.handOverOnBus && ports_.handOverOnBus(newTask)))
        ports_.instance.handOver(newTask ? platform::HandOverRequest::newTask
                                         : platform::HandOverRequest::showWindow,
                                 std::chrono::seconds(2));
    handedOver_ = true;
    return true;
}

void TMainForm::ApplySettings() {
    const data::Settings& s = ports_.settings;
    settingsLocked_ = s.read(keys::kPasswordProtection);
    scheduler::RunTableFilters& filters = scheduler_.filters();
    filters.hidePassed = s.read(keys::kHidePassedTasks);
    filters.hideDisabled = s.read(keys::kHideDisabledTasks);
    filters.hideLater = s.read(keys::kHideDistantTasks);
    filters.hideDays = s.read(keys::kDistantTaskDays);
    SyncFilterChecks();
    ApplyHideLaterCaption();
}

void TMainForm::ShowAtStart() {
    if (!handedOver_ && !startsHidden_) show();
}

QString TMainForm::statusLine() const {
    return statusLine_->text();
}

void TMainForm::ShowStatus(const QString& text) {
    statusLine_->setText(text);
    statusBar()->show();
}

int TMainForm::AskQuestion(const QString& text, const QStringList& buttonCaptions) {
    const QStringList captions =
        buttonCaptions.isEmpty()
            ? QStringList{GetLangText("Button1Caption", "OK"), GetLangText("Button2Caption", "Cancel")}
            : buttonCaptions;
    return QuestionBox().Ask(windowTitle(), text, captions);
}

MessageDialog& TMainForm::QuestionBox() {
    // Made by the first use: its warning icon comes from the icon theme, a lookup that a start without
    // questions need not pay for.
    if (!messageDialog_) messageDialog_ = new MessageDialog(this);
    return *messageDialog_;
}

void TMainForm::ShowFromTray(int tabIndex) {
    closeAllowed_ = false;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    pageControl_->setCurrentIndex(tabIndex);
}

void TMainForm::MinimizeToTray() {
    showMinimized();
}

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool wasMinimized = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
    if (isMinimized()) {
        // Minimised, the window is not in use, in the task bar as much as in the notification area.
        mainWindowUnlocked_ = false;
        if (!tray_->available()) return;
        closeAllowed_ = true;
        timers_.clearmm.start();
        // Hidden once the state change is through; hiding inside it confuses some window managers.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isMinimized()) hide();
            },
            Qt::QueuedConnection);
        return;
    }
    if (!wasMinimized) return;
    closeAllowed_ = false;
    // Restored from the task bar the window was never hidden, so no show event comes: it is a showing all
    // the same and asks as one.
    if (isVisible())
        QMetaObject::invokeMethod(
            this, [this] { Guarded([this] { FormShow(); }); }, Qt::QueuedConnection);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A shown window ends the program only by Exit or a confirmed close, whatever allowed it while hidden.
    closeAllowed_ = false;
    // Questions of the showing come once the window is up, not inside the show itself.
    if (!event->spontaneous())
        QMetaObject::invokeMethod(
            this, [this] { Guarded([this] { FormShow(); }); }, Qt::QueuedConnection);
}

void TMainForm::FormShow() {
    // While a prompt is open its outcome stands for this showing too: it is left as the prompt set it.
    if (!openPrompt_) lockCancelled_ = false;
    ports_.powerOnTest.Offer([this] {
        return AskQuestion(GetLangText(
                   "PowerTest", "To test the power-on capabilities of your computer click [OK] now. The "
                                "computer will be powered off, and it will try to automatically power on "
                                "after 3 minutes.")) == 1;
    });
    if (settingsLocked_) AskPassword();
    timers_.Timer7.start();
    optionsPage_->PlaceControls();
    if (newTaskAfterShow_) {
        newTaskAfterShow_ = false;
        if (lockCancelled_) return;
        // The password was just given for this showing: the editor need not ask it again.
        if (settingsLocked_) mainWindowUnlocked_ = true;
        NewBtnClick();
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closeAllowed_) {
        event->accept();
        ports_.quitApplication();
        return;
    }
    event->ignore();
    Guarded([this] {
        if (ports_.settings.read(keys::kDisableCloseQuestion)) {
            MinimizeToTray();
            return;
        }
        const QString question =
            GetLangText("OnClose1", "Quit this program all functions will be disabled!") + "\r" +
            GetLangText("OnClose2", "Minimize to system tray?");
        // The buttons name what they do: a generic "Cancel" on the one that quits has ended programs.
        if (AskQuestion(question,
                        {GetLangText("CloseMinimize", "Minimize"), GetLangText("CloseQuit", "Quit")}) != 1) {
            closeAllowed_ = true;
            hide();
            ports_.quitApplication();
            return;
        }
        MinimizeToTray();
    });
}

void TMainForm::Exit1Click() {
    closeAllowed_ = true;
    close();
}

void TMainForm::QuitMessageReceived() {
    ShowFromTray(0);
}

void TMainForm::NewTaskRequested() {
    ComeForward(true);
}

void TMainForm::ComeForward(bool newTask) {
    // A window waiting for an answer (the editor, a question, a confirmation) is answered first: it comes
    // forward, and no second editor is stacked on it to share its question box.
    if (QWidget* waiting = QApplication::activeModalWidget()) {
        waiting->raise();
        waiting->activateWindow();
        return;
    }
    // A hidden or minimised window runs its showing's questions once it is up; one in use does not.
    const bool showing = !isVisible() || isMinimized();
    if (newTask && showing) newTaskAfterShow_ = true;
    ShowFromTray(0);
    if (newTask && !showing)
        // Out of the hand-over's handler: the editor is modal.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!QApplication::activeModalWidget()) NewBtnClick();
            },
            Qt::QueuedConnection);
}

void TMainForm::TrayDoubleClick() {
    mainWindowUnlocked_ = true;
    ShowFromTray(0);
}

void TMainForm::TrayAvailabilityChanged(bool available) {
    if (handedOver_) return;
    if (available) {
        // The window minimises into the notification area from now on; the note saying it cannot goes.
        if (statusLine_->text() == NoTrayText()) {
            statusLine_->clear();
            statusBar()->hide();
        }
        return;
    }
    ShowStatus(NoTrayText());
    // Hidden in a notification area that has gone, the window would be out of the user's reach.
    if (!isVisible()) ShowFromTray(0);
}

bool TMainForm::AskPassword() {
    if (openPrompt_) {
        // One prompt at a time: a second request points the user at the open one and is not passed.
        openPrompt_->raise();
        openPrompt_->activateWindow();
        return false;
    }
    // Centred on the desktop, as the window it guards may not be showing.
    TLockForm prompt(ports_.languages, ports_.settings, lockCancelled_);
    openPrompt_ = &prompt;
    prompt.exec();
    openPrompt_ = nullptr;
    return !lockCancelled_;
}

bool TMainForm::UnlockForEditor() {
    if (mainWindowUnlocked_ || !settingsLocked_) return true;
    return AskPassword();
}

void TMainForm::OpenSetPassword() {
    auto ask = [this](const QString& text, const QStringList& buttons) { return AskQuestion(text, buttons); };
    TSetPWForm dialog(ports_.languages, ports_.settings, ports_.errors, ask, this);
    dialog.exec();
}

void TMainForm::RunatWin1Click() {
    // The item has flipped its own mark; it flips only once the prompt is passed.
    menus_.RunatWin1->setChecked(!menus_.RunatWin1->isChecked());
    Guarded([this] {
        if (settingsLocked_ && !AskPassword()) return;
        optionsPage_->ToggleRunAtStartupFromTray();
    });
}

QString TMainForm::RowHint(const scheduler::DisplayRow& row) const {
    const std::string_view line = row[scheduler::kDispText];
    const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())).trimmed();
    std::int64_t due = 0;
    const std::string_view seconds = row[scheduler::kDispDueSeconds];
    if (row[scheduler::kDispStatus] != scheduler::kStatusWaiting ||
        std::from_chars(seconds.data(), seconds.data() + seconds.size(), due).ec != std::errc())
        return text;
    // The row says the time of day; the hint adds the day it falls on, which the row leaves out for
    // every kind but once tasks.
    const scheduler::Date date = scheduler::DateFromDayNumber(due / 86'400);
    const QString day = QLocale().toString(QDate(date.year, date.month, date.day), QLocale::LongFormat);
    const QString time = QTime(0, 0).addSecs(int(due % 86'400)).toString(QStringLiteral("H:mm:ss"));
    return text + "\n" + GetLangText("NextRun", "Next run:") + " " + day + " " + time;
}

void TMainForm::About1Click() {
    Guarded([this] {
        TAboutForm about(ports_.languages, ports_.about, this);
        about.exec();
    });
}

std::string TMainForm::UserManualPath() const {
    const char separator = ports_.paths.pathSeparator();
    const std::string path =
        platform::ProgramFiles(ports_.paths).docFolder() + separator + "orvanta-manual.html";
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path : std::string();
}

void TMainForm::UserManual1Click() {
    Guarded([this] {
        const std::string path = UserManualPath();
        if (!path.empty()) ports_.programs.OpenDocument(path);
    });
}

void TMainForm::Visitwebsite1Click() {
    Guarded([this] {
        if (!ports_.about.website.isEmpty())
            ports_.programs.OpenWebAddress(ports_.about.website.toStdString());
    });
}

void TMainForm::WarnOnBattery() {
    const QString warning = GetLangText(
        "NoOnAC",
        "Warning: The AC power supply is unplugged and the wake up for power-on function is disabled.");
    if (!tray_->ShowBalloon(windowTitle(), warning, 10000)) ShowStatus(warning);
}

void TMainForm::tmr302Timer() {
    SchedulerStep([this] { scheduler_.tmr302Timer(); });
}

void TMainForm::doWakeTimer() {
    timers_.doWake.stop();
    SchedulerStep([this] { scheduler_.doWakeTimer(); });
}

void TMainForm::doNoWakeTimer() {
    timers_.doNoWake.stop();
    SchedulerStep([this] { scheduler_.doNoWakeTimer(); });
}

void TMainForm::Timer12Timer() {
    timers_.Timer12.stop();
    Guarded([this] { ports_.resumeHandling.Timer12Timer(); });
}

void TMainForm::clearmmTimer() {
    timers_.clearmm.stop();
    Guarded([this] { ports_.memoryTrim.trimWorkingSet(); });
}

void TMainForm::Timer7Timer() {
    timers_.Timer7.stop();
    if (lockCancelled_)
        MinimizeToTray();
    else
        mainWindowUnlocked_ = true;
}

void TMainForm::Timer3Timer() {
    timers_.Timer3.stop();
    Guarded([this] { optionsPage_->Timer3Timer(); });
}

void TMainForm::ApplyPlatformWording() {
    if (ports_.paths.pathSeparator() == '\\') return;
    menus_.RunatWin1->setText(GetLangText("RunAtLogin", "Start at Log In"));
    optionsPage_->SetRunAtStartupWording(
        GetLangText("RunAtLoginBox", "Start at log in"),
        GetLangText("RunAtLoginHint", "Tick it to start Orvanta when you log in."));
}

void TMainForm::LanguageChanged() {
    ReloadLanguage();
    ApplyPlatformWording();
    ApplyHideLaterCaption();
    optionsPage_->PlaceControls();
    // The list's words come from the language too.
    Guarded([this] { RebuildRunTable(); });
}

} // namespace orvanta::ui
