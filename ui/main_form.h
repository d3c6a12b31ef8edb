#pragma once

#include "data/error.h"
#include "ui/error_box.h"
#include "ui/lang_form.h"
#include "ui/main_form_ports.h"
#include "ui/main_menus.h"
#include "ui/unscheduled_tasks.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace orvanta::ui {

class Banner;
class DayLimitDialog;
class HotkeyPage;
class MessageDialog;
class OptionsPage;
class TaskListView;
class ToolkitTranslations;
class Tray;

// The main window: drives the scheduler and the timers it is given, and owns the task list with its
// commands, the hotkey and options tabs and the notification-area icon. Every handler runs inside the
// error guard.
class TMainForm : public QMainWindow, public TLangForm {
    Q_OBJECT

  public:
    static constexpr const char* kNewScheduledTask = "New Scheduled Task";
    static constexpr const char* kEditScheduledTask = "Edit Scheduled Task";

    explicit TMainForm(MainFormPorts ports);
    ~TMainForm() override;

    // True when another copy was running: this one has handed over and must end without showing.
    bool HandedOver() const { return handedOver_; }
    // Why this copy must end without running, told to the user already; empty when it may run.
    const QString& StartRefusal() const { return startRefusal_; }
    // True when the settings ask to start hidden in the notification area (and there is one).
    bool StartsHidden() const { return startsHidden_; }
    // Shows the window as the program starts: unless it starts hidden.
    void ShowAtStart();
    // Brings the window forward on the task list, as asked from the command line or by a later copy,
    // and then, for a new task, opens the editor as the New command does. The password prompt of the
    // showing comes first; a cancelled prompt opens no editor.
    void ComeForward(bool newTask);

    scheduler::Scheduler& scheduler() { return scheduler_; }
    // Rebuilds the run table and shows it; the list and the hint follow also when the rebuild fails.
    void RebuildRunTable();
    // The same after the window's own writes, reading again only the tasks it wrote when it can.
    void RefreshRunTable();
    // Whether the last RebuildRunTable read the task file, also when it raised because it left tasks out:
    // a change from outside was then taken in, and only those tasks are the user's to hear of.
    bool LastRebuildReadTheTable() const { return lastRebuildRead_; }

    bool CloseAllowed() const { return closeAllowed_; }
    void SetCloseAllowed(bool allowed) { closeAllowed_ = allowed; }
    const QString& editorMode() const { return editorMode_; }
    const std::string& reselectTaskId() const { return reselectTaskId_; }
    bool settingsLocked() const { return settingsLocked_; }
    bool mainWindowUnlocked() const { return mainWindowUnlocked_; }
    bool lockCancelled() const { return lockCancelled_; }
    OptionsPage& optionsPage() const { return *optionsPage_; }
    // The password prompt before the task editor works: asked only while protection is on and the main
    // window is not in use. False when the editor has to close.
    bool UnlockForEditor();
    void OpenSetPassword();

    TaskListView* TaskList() const { return taskList_; }
    // The separator of this system's paths, by which the file pickers know its file names.
    char pathSeparator() const { return ports_.paths.pathSeparator(); }
    // The timed tasks the last rebuild could not schedule; the list shows them after the others.
    const std::vector<UnscheduledTask>& unscheduledTasks() const { return unscheduled_; }
    QTabWidget* PageControl1() const { return pageControl_; }
    // Null until the first question.
    MessageDialog* suiMessageDialog1() const { return messageDialog_; }
    // The shared question box, made now if no question has needed it yet.
    MessageDialog& QuestionBox();
    const MainMenus& menus() const { return menus_; }
    MainTimerSet& timers() { return timers_; }
    // The hotkey tab's list and commands; nullptr when the window has no hotkey tasks.
    HotkeyPage* hotkeyPage() const { return hotkeyPage_; }
    Tray& tray() const { return *tray_; }
    QString statusLine() const;

    // Asks in the shared question box with the window's caption; the localized OK and Cancel unless other
    // captions are given. Returns 1 for the first button.
    int AskQuestion(const QString& text, const QStringList& buttonCaptions = {});

    // Brings the window back from the notification area on the given tab.
    void ShowFromTray(int tabIndex);
    void MinimizeToTray();

    // Command handlers.
    void NewBtnClick();
    void EditBtnClick();
    void DelBtnClick();
    void DelAllBtnClick();
    void DeletePassed1Click();
    void DeleteDisabled1Click();
    void Enabled1Click();
    void Disabled1Click();
    void HidePassedClick();
    void HideDisabledClick();
    void HideLaterClick();
    void TaskListDblClick();
    void TaskListMouseDown(int x);
    void PopupMenu2Popup();
    void Exit1Click();
    void QuitMessageReceived();
    void NewTaskRequested();
    void TrayDoubleClick();
    // The notification area has come or gone.
    void TrayAvailabilityChanged(bool available);
    void RunatWin1Click();
    void About1Click();
    void UserManual1Click();
    void Visitwebsite1Click();
    // A list row's hint: its text and, for a waiting task, the date and time of its next run.
    QString RowHint(const scheduler::DisplayRow& row) const;
    // The user manual shipped beside the program; empty when it is not there.
    std::string UserManualPath() const;

    // Timer handlers.
    void tmr302Timer();
    void doWakeTimer();
    void doNoWakeTimer();
    void Timer12Timer();
    void clearmmTimer();
    void Timer7Timer();
    void Timer3Timer();
    void reGetTimer();

    void LanguageChanged() override;

    // For tests: the day-limit dialog while it is open (else nullptr).
    DayLimitDialog* openDayLimitDialog() const { return dayLimitDialog_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildWidgets();
    void ConnectHandlers();
    void ConnectBackupCommands(); // Tools: export, import, uninstall
    void StartTrayIcon();
    void FormCreate();
    bool HandOverToRunningCopy();
    void ApplySettings();
    void FormShow();
    void ApplyHideLaterCaption();
    // The start-at-login texts in this system's own words: only Windows has a "Windows startup".
    void ApplyPlatformWording();
    void SyncFilterChecks();
    void ShowTable();
    void WarnOnBattery();
    void ShowStatus(const QString& text);
    QString NoTrayText() const;
    void BuildHotkeyPage(QWidget* tabSheet);
    void LoadHotkeys();
    // Shows a new password prompt unless one is open; its outcome is left in lockCancelled_. True when
    // the right password was entered.
    bool AskPassword();
    void OpenEditor(const QString& mode, const std::string& taskId);

    // List helpers.
    bool ListIsEmpty() const;
    std::optional<scheduler::DisplayRow> SelectedRow() const;
    void SwitchInPlace(bool enable);
    void SelectTask(const std::string& id);

    template <typename Handler> void Guarded(Handler&& handler) { RunGuarded(ports_.errors, handler); }
    // The list and the hint show the current table when the scope ends, also when it ends by an error: a
    // failed rebuild leaves the "None" table, and the list shows that before the error box comes up.
    struct TableFollows {
        TMainForm& form;
        ~TableFollows() { form.ShowTable(); }
    };
    // A scheduler handler, which may rebuild.
    template <typename Step> void SchedulerStep(Step&& step) {
        Guarded([&] {
            const TableFollows follow{*this};
            TellNewProblemsOnly(step);
        });
    }
    // Runs a step that may rebuild; of the tasks the rebuild leaves out, only those not told before
    // reach the error box. Other errors pass unchanged.
    template <typename Step> void TellNewProblemsOnly(Step&& step) {
        try {
            step();
        } catch (const Error& e) {
            if (!IsProblemReport(e)) throw;
            const auto fresh = problemReports_.TakeNew(scheduler_.current().problems);
            if (!fresh.empty()) throw Error(scheduler::DescribeRowProblems(fresh));
            return;
        }
        if (scheduler_.current().problems.empty()) problemReports_.TakeNew({});
    }
    bool IsProblemReport(const Error& e) const;
    // Runs a rebuild of the scheduler's table and shows its outcome.
    void ShowRebuild(const std::function<void()>& rebuild);
    // Reads the left-out tasks again when the rebuild's problems have changed.
    void RefreshUnscheduled();

    MainFormPorts ports_;
    std::unique_ptr<ToolkitTranslations> toolkitTranslations_;
    MainTimerSet& timers_;
    scheduler::Scheduler& scheduler_;
    bool& closeAllowed_; // also set by the scheduler before a log off, restart or shut down

    MainMenus menus_{};
    Banner* banner_ = nullptr;
    QTabWidget* pageControl_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolButton *newBtn_ = nullptr, *editBtn_ = nullptr, *delBtn_ = nullptr, *delAllBtn_ = nullptr;
    TaskListView* taskList_ = nullptr;
    OptionsPage* optionsPage_ = nullptr;
    HotkeyPage* hotkeyPage_ = nullptr;
    MessageDialog* messageDialog_ = nullptr;
    DayLimitDialog* dayLimitDialog_ = nullptr;
    QLabel* statusLine_ = nullptr;
    Tray* tray_ = nullptr;
    QPointer<QDialog> openPrompt_;
    std::vector<UnscheduledTask> unscheduled_;
    std::vector<scheduler::RowProblem> unscheduledFor_; // the problems unscheduled_ was read for
    ProblemReports problemReports_;

    bool handedOver_ = false;
    // Later copies' requests are heard while this is held; it goes first when the window ends.
    std::shared_ptr<void> handOverListening_;
    QString startRefusal_;
    bool startsHidden_ = false;
    bool settingsLocked_ = false;
    bool lastRebuildRead_ = false;
    bool lockCancelled_ = false;
    bool mainWindowUnlocked_ = false;
    QString editorMode_;
    std::string reselectTaskId_;
    int reGetCountdown_ = 0;
    // A new task asked for while the window was not up: the editor opens once the showing's questions are
    // through.
    bool newTaskAfterShow_ = false;
};

} // namespace orvanta::ui
