#include "ui/main_timers.h"

#include <QThread>

namespace orvanta::ui {
namespace {

void Setup(QTimer& timer, const char* name, int intervalMs, bool singleShot) {
    timer.setObjectName(name);
    timer.setInterval(intervalMs);
    timer.setSingleShot(singleShot);
}

} // namespace

MainTimerSet::MainTimerSet(QObject* parent) : QObject(parent) {
    setObjectName("MainTimers");
    Setup(tmr302, "tmr302", 10000, false);
    Setup(doWake, "doWake", 500, true);
    Setup(doNoWake, "doNoWake", 500, true);
    Setup(Timer12, "Timer12", 1000, true);
    Setup(clearmm, "clearmm", 2000, true);
    Setup(Timer7, "Timer7", 100, true);
    Setup(Timer3, "Timer3", 10, true);
    Setup(reGet, "reGet", 500, false);
    // The idle poll need not wake the processor at its exact millisecond.
    tmr302.setTimerType(Qt::CoarseTimer);
}

void MainTimerSet::OnOwnThread(std::function<void()> change) {
    if (QThread::currentThread() == thread())
        change();
    else
        QMetaObject::invokeMethod(this, std::move(change), Qt::QueuedConnection);
}

void MainTimerSet::SetPollEnabled(bool enabled) {
    OnOwnThread([this, enabled] {
        if (enabled && !tmr302.isActive())
            tmr302.start();
        else if (!enabled)
            tmr302.stop();
    });
}

void MainTimerSet::StartWakeHandOver() {
    OnOwnThread([this] { doWake.start(); });
}

void MainTimerSet::StartDueHandOver() {
    OnOwnThread([this] { doNoWake.start(); });
}

void MainTimerSet::StartWakeUpNudge() {
    OnOwnThread([this] { Timer12.start(); });
}

} // namespace orvanta::ui
