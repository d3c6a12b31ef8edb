#include "ui/reminder.h"

#include "ui/desktop_notices.h"
#include "ui/error_box.h"

#include <QCursor>
#include <QDateTime>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace orvanta::ui {

TReminder::TReminder(ReminderPorts ports, scheduler::ReminderRequest request, QWidget* owner)
    : QDialog(owner), TLangForm(this, "TReminder", ports.languages), ports_(std::move(ports)),
      request_(std::move(request)), remaining_(request_.countdown) {
    setObjectName("Reminder");
    setWindowTitle(QStringLiteral("The following scheduled task waiting for confirm!"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* root = new QVBoxLayout(this);
    auto* notice = new QHBoxLayout;
    lb1 = new QLabel(QStringLiteral("Notice! The following scheduled task will be fired in "), this);
    lb1->setObjectName("lb1");
    lb2 = new QLabel(QStringLiteral("0"), this);
    lb2->setObjectName("lb2");
    lb2->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    lb3 = new QLabel(QStringLiteral("secs."), this);
    lb3->setObjectName("lb3");
    QFont bold = lb1->font();
    bold.setBold(true);
    lb1->setFont(bold);
    notice->addWidget(lb1);
    notice->addWidget(lb2);
    notice->addWidget(lb3);
    notice->addStretch();
    root->addLayout(notice);
    Title = new QLabel(QStringLiteral("Task Title:"), this);
    Title->setObjectName("Title");
    Title->setTextFormat(Qt::PlainText);
    root->addWidget(Title);
    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("Immediately"), this);
    Button1->setObjectName("Button1");
    Button3 = new QPushButton(QStringLiteral("Wait >>"), this);
    Button3->setObjectName("Button3");
    Button2 = new QPushButton(QStringLiteral("Pass"), this);
    Button2->setObjectName("Button2");
    // No button answers a stray Return or Space: a keystroke meant for another window must not run a
    // shut down. The window itself holds the focus until the user picks a button.
    for (QPushButton* b : {Button1, Button3, Button2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    setFocusPolicy(Qt::StrongFocus);
    root->addLayout(buttons);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    auto item = [this](const char* name, const char* caption) {
        QAction* action = PopupMenu1->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    wait5 = item("wait5", "Wait for 5 mins");
    wait10 = item("wait10", "Wait for 10 mins");
    wait15 = item("wait15", "Wait for 15 mins");
    wait30 = item("wait30", "Wait for 30 mins");
    wait60 = item("wait60", "Wait for 1 hour");
    wait120 = item("wait120", "Wait for 2 hours");
    wait180 = item("wait180", "Wait for 3 hours");
    wait300 = item("wait300", "Wait for 5 hours");
    Waitalong = item("Waitalong", "Wait until further notice");
    ReloadLanguage();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TReminder::Timer1Timer);
    connect(Button1, &QPushButton::clicked, this, &TReminder::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TReminder::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TReminder::Button3Click);
    delays_ = {
        {wait5, 5, "Delay5", "Delay for 5 mins"},        {wait10, 10, "Delay10", "Delay for 10 mins"},
        {wait15, 15, "Delay15", "Delay for 15 mins"},    {wait30, 30, "Delay30", "Delay for 30 mins"},
        {wait60, 60, "Delay60", "Delay for 1 hour"},     {wait120, 120, "Delay120", "Delay for 2 hours"},
        {wait180, 180, "Delay180", "Delay for 3 hours"}, {wait300, 300, "Delay300", "Delay for 5 hours"}};
    for (const Delay& d : delays_)
        connect(d.action, &QAction::triggered, this,
                [this, d] { WaitClick(d.minutes, d.key, QString::fromLatin1(d.text)); });
    connect(Waitalong, &QAction::triggered, this, &TReminder::WaitalongClick);

    if (ports_.beep) ports_.beep();
    const QString shownTitle =
        request_.title.empty() ? GetLangText("NoTitle", "No title") : QString::fromStdString(request_.title);
    Title->setText(GetLangText("Title", "Task Title:") + "  " + shownTitle);
    if (remaining_ > 0) {
        lb2->setText(QString::number(remaining_));
        Timer1->start();
    } else {
        ShowWaiting();
    }
    setFocus();
    if (owner) {
        adjustSize();
        move(owner->geometry().center() - rect().center());
    }
    OfferNotification();
}

TReminder::~TReminder() {
    if (ports_.notices) ports_.notices->Withdraw(notification_);
}

namespace {

// A button's caption as a notification's button shows it: without the keyboard accelerator's mark.
QString PlainCaption(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

} // namespace

void TReminder::OfferNotification() {
    if (!ports_.notices || !ports_.notices->offersActions()) return;
    DesktopNotices::Notice notice;
    notice.summary = windowTitle();
    notice.body = Title->text();
    // A shut down or a program start is coming: the notification stays until it is answered.
    notice.urgency = DesktopNotices::Urgency::Critical;
    notice.timeoutMilliseconds = 0;
    notice.actions = {{QStringLiteral("run"), PlainCaption(Button1->text())},
                      {QStringLiteral("wait"), PlainCaption(LastDelay().action->text())},
                      {QStringLiteral("pass"), PlainCaption(Button2->text())}};
    notification_ = ports_.notices->Show(notice, [this](const QString& key) { NotificationAnswered(key); });
}

const TReminder::Delay& TReminder::LastDelay() const {
    const int minutes = ports_.lastDelay ? *ports_.lastDelay : delays_.front().minutes;
    for (const Delay& d : delays_)
        if (d.minutes == minutes) return d;
    return delays_.front();
}

void TReminder::NotificationAnswered(const QString& actionKey) {
    // The window may have been answered first; its answer stands.
    if (answered_) return;
    if (actionKey == QLatin1String("run")) {
        Button1Click();
    } else if (actionKey == QLatin1String("pass")) {
        Button2Click();
    } else if (actionKey == QLatin1String("wait")) {
        const Delay& d = LastDelay();
        WaitClick(d.minutes, d.key, QString::fromLatin1(d.text));
    }
}

void TReminder::Tell(scheduler::RunOutcome outcome, const std::string& reason, std::string action) {
    if (!ports_.events) return;
    if (action.empty()) {
        const scheduler::ReminderRequest& r = request_;
        const std::pair<bool, const char*> parts[] = {{!r.actionWord.empty(), r.actionWord.c_str()},
                                                      {!r.terminate.empty(), "Terminate"},
                                                      {!r.openUrl.empty(), "OpenURL"},
                                                      {!r.openFile.empty(), "OpenFile"},
                                                      {!r.macro.empty(), "Macro"},
                                                      {!r.launchMarker.empty(), "Launch"}};
        for (const auto& [present, name] : parts)
            if (present) action += (action.empty() ? "" : "+") + std::string(name);
    }
    ports_.events->Record(
        {request_.taskId, request_.title, request_.dueKey, std::move(action), outcome, reason});
}

void TReminder::done(int result) {
    // The close button and Escape pass, as the Pass button does.
    if (!ending_ && !answered_) Tell(scheduler::RunOutcome::kPassed, "passed by the user");
    if (!answered_) Tell(scheduler::RunOutcome::kConfirmationEnded, ending_ ? ending_ : "passed");
    answered_ = true;
    // Answered here, or by the countdown's end: the desktop's copy of the question goes.
    if (ports_.notices) ports_.notices->Withdraw(std::exchange(notification_, 0));
    QDialog::done(result);
}

void TReminder::ShowWaiting() {
    lb1->setText(GetLangText("Wait", "Notice! The following scheduled task waiting for confirm!"));
    lb2->hide();
    lb3->hide();
}

void TReminder::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    auto* chosen = qobject_cast<QPushButton*>(focusWidget());
    if (chosen && chosen->isVisible() && chosen->isEnabled()) chosen->click();
}

void TReminder::Timer1Timer() {
    // The user is choosing a delay: the actions wait for that choice instead of running under the menu.
    RunGuarded(ports_.errors, [this] {
        if (remaining_ <= 1 && PopupMenu1->isVisible()) return;
        --remaining_;
        lb2->setText(QString::number(remaining_));
        if (remaining_ <= 0) RunNow();
    });
}

void TReminder::Button1Click() {
    RunGuarded(ports_.errors, [this] { RunNow(); });
}

void TReminder::RunNow() {
    Timer1->stop();
    ports_.actions.TakeFailures(); // not this confirmation's
    const bool started = RunActions();
    const std::vector<scheduler::ActionFailure> failures = ports_.actions.TakeFailures();
    if (failures.empty() && started) {
        Tell(scheduler::RunOutcome::kRan, remaining_ <= 0 ? "the count-down ended" : "confirmed by the user");
    } else {
        bool macroTold = false;
        for (const scheduler::ActionFailure& f : failures) {
            Tell(f.outcome, f.reason, f.action);
            macroTold = macroTold || f.action == "Macro";
        }
        // The actions say why a macro did not start where they know; else it is the file.
        if (!started && !macroTold)
            Tell(scheduler::RunOutcome::kFailed, "the macro file cannot be read: " + request_.macro, "Macro");
    }
    if (!started) return;
    ending_ = "ran";
    accept();
}

bool TReminder::RunActions() {
    const std::string& word = request_.actionWord;
    auto& a = ports_.actions;
    // A second Run after a macro that did not start tries the macro again; what ran before it stays run.
    if (!ranBeforeMacro_) {
        ranBeforeMacro_ = true;
        if (word == "CloseMonitor") a.TurnMonitorOff();
        if (!request_.launchMarker.empty()) a.LaunchProgram(request_.program + "|" + request_.parameters);
        if (word == "LogOff") {
            ports_.closeAllowance.AllowClose();
            a.LogOff();
        }
        if (word == "LockWS") a.LockComputer();
        if (word == "Reboot") {
            ports_.closeAllowance.AllowClose();
            a.ForcedRestart();
        }
        if (!request_.openFile.empty()) a.OpenDocument(request_.openFile);
        if (!request_.terminate.empty()) a.KillProcessesByName(request_.terminate);
        if (!request_.openUrl.empty()) a.OpenWebAddress(request_.openUrl);
    }
    // An unreadable macro keeps the window open, so the user sees the task did not run and can pass it.
    if (!request_.macro.empty() && !a.StartTaskMacro(request_.macro)) return false;
    if (word == "StandBy") a.Suspend(false);
    if (word == "Hibernate") a.Suspend(true);
    if (word == "ShutDown") {
        ports_.closeAllowance.AllowClose();
        a.ForcedShutDown();
    }
    return true;
}

void TReminder::Button2Click() {
    RunGuarded(ports_.errors, [this] {
        Timer1->stop();
        reject();
    });
}

void TReminder::Button3Click() {
    RunGuarded(ports_.errors, [this] { PopupMenu1->popup(QCursor::pos()); });
}

void TReminder::WaitClick(int minutes, const char* key, const QString& englishText) {
    RunGuarded(ports_.errors, [&] {
        Timer1->stop();
        if (ports_.lastDelay) *ports_.lastDelay = minutes;
        // Plain calendar arithmetic: a delay is the same on the wall clock whatever daylight saving does.
        const platform::LocalDateTime n = ports_.clock.now();
        const QDateTime moment =
            QDateTime(QDate(n.year, n.month, n.day), QTime(n.hour, n.minute, n.second), Qt::UTC)
                .addSecs(qint64(minutes) * 60);
        const std::string newTitle = request_.title + " - " + GetLangText(key, englishText).toStdString();
        ports_.store.PostponeTask(request_.taskId, newTitle, moment.date().year(), moment.date().month(),
                                  moment.date().day(),
                                  moment.time().toString(QStringLiteral("H:mm:ss")).toStdString());
        if (ports_.rebuildRunTable) ports_.rebuildRunTable();
        Tell(scheduler::RunOutcome::kPostponed,
             "postponed to " + moment.toString(QStringLiteral("yyyy-MM-dd H:mm:ss")).toStdString());
        ending_ = "postponed";
        accept();
    });
}

void TReminder::WaitalongClick() {
    RunGuarded(ports_.errors, [this] {
        Timer1->stop();
        ShowWaiting();
    });
}

void ReminderWindowPresenter::ShowReminder(const scheduler::ReminderRequest& request) {
    ReminderPorts ports = ports_;
    ports.lastDelay = &lastDelay_;
    TReminder reminder(ports, request, owner_);
    reminder.exec();
}

} // namespace orvanta::ui
