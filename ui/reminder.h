#pragma once

#include "data/task_store.h"
#include "platform/api/clock.h"
#include "platform/api/desktop_notifications.h"
#include "scheduler/dispatch_ports.h"
#include "ui/lang_form.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QLabel;
class QMenu;
class QPushButton;
class QAction;

namespace orvanta::ui {

class DesktopNotices;
class ErrorBox;

// What a confirmation window works with.
struct ReminderPorts {
    i18n::TLangMgr& languages;
    const platform::Clock& clock;
    const data::TaskStore& store;
    scheduler::TaskActions& actions;
    scheduler::CloseAllowance& closeAllowance;
    ErrorBox& errors;
    // Rebuilds the run table after a postponement, so the copy is scheduled and woken for.
    std::function<void()> rebuildRunTable;
    std::function<void()> beep;
    // The desktop's notification server, which also asks when it shows actions; nullptr for the window
    // alone.
    DesktopNotices* notices = nullptr;
    // The delay, in minutes, the user chose last; the notification's "wait" postpones by it. nullptr
    // for the shortest.
    int* lastDelay = nullptr;
    // Told how the confirmation ended and what came of its actions; nullptr: nobody keeps a history.
    scheduler::RunEventSink* events = nullptr;
};

// Counts down before a timed task's actions run; the user can run them now, pass them or postpone the
// task by writing a once-only copy at a later moment. Where the desktop's notifications have buttons it
// asks there too, and whichever is answered first decides.
class TReminder : public QDialog, public TLangForm {
    Q_OBJECT

  public:
    TReminder(ReminderPorts ports, scheduler::ReminderRequest request, QWidget* owner = nullptr);
    ~TReminder() override;

    void done(int result) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Delay {
        QAction* action;
        int minutes;
        const char* key;
        const char* text;
    };

    void Timer1Timer();
    void Button1Click(); // Immediately
    void Button2Click(); // Pass
    void Button3Click(); // Wait >>
    void WaitClick(int minutes, const char* key, const QString& englishText);
    void WaitalongClick();

    void ShowWaiting();
    // The actions now, then the window closes; the countdown's end does the same as the button.
    void RunNow();
    bool RunActions(); // false when the macro could not be started
    void OfferNotification();
    void NotificationAnswered(const QString& actionKey);
    const Delay& LastDelay() const;
    // For the run history: what came of the confirmation; the window's ending adds how it ended.
    void Tell(scheduler::RunOutcome outcome, const std::string& reason, std::string action = {});

    QLabel *lb1, *lb2, *lb3, *Title;
    QPushButton *Button1, *Button2, *Button3;
    QMenu* PopupMenu1;
    QAction *wait5, *wait10, *wait15, *wait30, *wait60, *wait120, *wait180, *wait300, *Waitalong;
    QTimer* Timer1;
    std::vector<Delay> delays_;

    ReminderPorts ports_;
    scheduler::ReminderRequest request_;
    int remaining_;
    bool ranBeforeMacro_ = false; // the actions before the macro, once
    platform::DesktopNotifications::Id notification_ = 0;
    bool answered_ = false;
    const char* ending_ = nullptr; // how it ended, once it has: "ran", "postponed"; else a pass
};

// Opens one confirmation window per request and waits until it has closed.
class ReminderWindowPresenter : public scheduler::ReminderPresenter {
  public:
    explicit ReminderWindowPresenter(ReminderPorts ports) : ports_(std::move(ports)) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    void ShowReminder(const scheduler::ReminderRequest& request) override;

  private:
    ReminderPorts ports_;
    QWidget* owner_ = nullptr;
    int lastDelay_ = 5;
};

} // namespace orvanta::ui
