#pragma once

#include "scheduler/dispatch_ports.h"

#include <QObject>
#include <QTimer>

namespace orvanta::ui {

// The main window's timers, with the names the language files and the handlers know them by. The
// scheduler's requests may come from a waiter thread: they are carried out on the timers' own thread,
// in the order they were made.
class MainTimerSet : public QObject, public scheduler::MainTimers {
    Q_OBJECT

  public:
    explicit MainTimerSet(QObject* parent = nullptr);

    QTimer tmr302;   // the 10-second poll, running from the start
    QTimer doWake;   // hand-over of the wake waiter's key
    QTimer doNoWake; // hand-over of the other waiter's key
    QTimer Timer12;  // after an automatic wake-up: display on, keep awake
    QTimer clearmm;  // memory trim after going to the notification area
    QTimer Timer7;   // after each showing: the password prompt's outcome
    QTimer Timer3;   // once, right after start: completes the options page
    QTimer reGet;    // the delayed rebuild after an in-place toggle

    void SetPollEnabled(bool enabled) override;
    void StartWakeHandOver() override;
    void StartDueHandOver() override;
    void StartWakeUpNudge() override;

  private:
    // Runs at once on the timers' thread; from any other thread it is queued there.
    void OnOwnThread(std::function<void()> change);
};

} // namespace orvanta::ui
