#include "ui/task_form.h"

#include "ui/error_box.h"
#include "ui/message_dialog.h"
#include "ui/program_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <algorithm>

namespace orvanta::ui {

namespace {

void SetBold(QWidget* widget, bool bold) {
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

QString FromText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTime ReadTimeOfDay(std::string_view text) {
    const QString t = FromText(text).trimmed();
    QTime time = QTime::fromString(t, QStringLiteral("H:mm:ss"));
    if (!time.isValid()) time = QTime::fromString(t, QStringLiteral("H:mm"));
    return time.isValid() ? time : QTime(0, 0, 0);
}

int ToInt(std::string_view text) {
    try {
        return std::stoi(std::string(text));
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

int LoopMinutesOfIndex(int index) {
    if (index >= 1 && index <= 6) return index * 10;
    if (index >= 7 && index <= 10) return index * 60 - 300;
    return 0;
}

int LoopIndexOfMinutes(long long minutes) {
    if (minutes > 0 && minutes <= 60) return static_cast<int>(minutes / 10);
    // Longer than five hours has no item of its own; such a task is shown without a repeat.
    if (minutes > 60 && minutes / 60 + 5 <= 10) return static_cast<int>(minutes / 60 + 5);
    return 0;
}

TTaskForm::TTaskForm(TaskEditorHost host, QString mode, QWidget* parent)
    : QDialog(parent), TLangForm(this, "TTaskForm", host.languages), host_(std::move(host)),
      mode_(std::move(mode)) {
    setObjectName("TaskForm");
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildWidgets();
    ReloadLanguage();
    ConnectHandlers();
    tmr1.setInterval(10);
    Timer1.setInterval(1);
    Timer1.setSingleShot(true);
    connect(&tmr1, &QTimer::timeout, this, &TTaskForm::tmr1Timer);
    connect(&Timer1, &QTimer::timeout, this, &TTaskForm::Timer1Timer);
    FillForm();
    tmr1.start();
}

void TTaskForm::Open(TaskEditorHost host, const QString& mode, QWidget* parent) {
    TTaskForm editor(std::move(host), mode, parent);
    editor.exec();
}

std::array<QCheckBox*, 7> TTaskForm::powerBoxes() const {
    return {CheckBox2, CheckBox1, CheckBox3, CheckBox4, CheckBox5, CheckBox13, CheckBox14};
}

std::array<QCheckBox*, 6> TTaskForm::programBoxes() const {
    return {CheckBox8, CheckBox9, CheckBox10, CheckBox7, CheckBox11, CheckBox12};
}

std::array<QRadioButton*, 6> TTaskForm::triggers() const {
    return {RadioButton2, RadioButton5, RadioButton3, RadioButton4, RadioButton1, RadioButton6};
}

void TTaskForm::ConnectHandlers() {
    for (QRadioButton* trigger : triggers())
        connect(trigger, &QRadioButton::toggled, this, [this, trigger](bool on) {
            if (on) TriggerSelected(trigger);
        });
    for (QCheckBox* box : powerBoxes())
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) { PowerBoxToggled(box, on); });
    for (QCheckBox* box : programBoxes())
        connect(box, &QCheckBox::toggled, this, [this, box](bool on) { ProgramBoxToggled(box, on); });
    connect(CheckBox6, &QCheckBox::toggled, this, &TTaskForm::WakeUpToggled);
    connect(CheckBox15, &QCheckBox::toggled, this, [this](bool on) { SetBold(CheckBox15, on); });
    connect(cbox_loop, &QComboBox::currentIndexChanged, this, &TTaskForm::LoopChanged);
    connect(num, &QLineEdit::textChanged, this, [this] { CheckBox15->setChecked(true); });
    connect(suiButton7, &QPushButton::clicked, this, &TTaskForm::suiButton7Click);
    connect(suiButton8, &QPushButton::clicked, this, &TTaskForm::suiButton8Click);
    connect(suiButton9, &QPushButton::clicked, this, &TTaskForm::suiButton9Click);
    connect(suiButton10, &QPushButton::clicked, this, &TTaskForm::suiButton10Click);
    connect(Button2, &QPushButton::clicked, this, &TTaskForm::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(dt_endtime, &QTimeEdit::timeChanged, this, [this] { dt_endtime->setStyleSheet({}); });
    connect(cbHK2, &QComboBox::currentIndexChanged, this, [this] { cbHK2->setStyleSheet({}); });
    for (QComboBox* field : {ComboBox8, ComboBox10, ComboBox11})
        connect(field, &QComboBox::currentTextChanged, this, [field] { field->setStyleSheet({}); });
    edit5->installEventFilter(this);
    Memo1->installEventFilter(this);
    Memo1->viewport()->installEventFilter(this);
    suiButton8->setEnabled(bool(host_.openMacroRecorder));
}

void TTaskForm::FillForm() {
    cbox_loop->setItemText(0, GetLangText("None", "None"));
    const QString minutes = GetLangText("Minutely", "Minutes");
    const QString hours = GetLangText("Hourly", "Hours");
    for (int i = 1; i <= 6; ++i)
        cbox_loop->setItemText(i, QString::number(i * 10) + minutes);
    for (int i = 7; i <= 10; ++i)
        cbox_loop->setItemText(i, QString::number(i - 5) + hours);
    cbox_loop->setCurrentIndex(0);
    LoopChanged(0);

    const platform::LocalDateTime now = host_.clock.now();
    ComboBox11->setCurrentIndex(now.month - 1);
    ComboBox10->setCurrentIndex(now.day - 1);
    ComboBox8->setCurrentIndex(now.day - 1);
    DateTimePicker1->setDate(QDate(now.year, now.month, now.day));
    cbHK1->setCurrentIndex(0); // Alt
    cbHK2->setCurrentIndex(-1);

    if (mode_ == kModeNewScheduled || mode_ == kModeNewHotkey) {
        loading_ = false;
        setWindowTitle(GetLangText("NewTask", "Add Task"));
        TimeP1->setTime(QTime(now.hour, now.minute, 0));
        if (mode_ == kModeNewScheduled) {
            RadioButton2->setChecked(true);
            DateTimePicker1->setEnabled(true);
        } else {
            RadioButton6->setChecked(true);
        }
        return;
    }
    loading_ = true;
    setWindowTitle(GetLangText("EditTask", "Modify Task"));
    if (mode_ == kModeEditHotkey) {
        if (!host_.hotkeyRows) return;
        if (const scheduler::TaskRow* row = scheduler::FindTaskRow(host_.hotkeyRows(), host_.currentTaskId))
            LoadRow(scheduler::TaskRow(*row)); // a handler run by the load may reload the hotkey table
        return;
    }
    if (!host_.scheduledRow || host_.currentTaskId.empty()) return;
    if (const auto row = host_.scheduledRow(host_.currentTaskId)) LoadRow(*row);
}

void TTaskForm::LoadRow(const scheduler::TaskRow& row) {
    using namespace scheduler;
    editingId_ = row[kColId];
    title->setText(FromText(row[kColTitle]));
    RadioButton5->setChecked(true);
    const int dateMode = ToInt(row[kColDateMode]);
    if (dateMode == data::kHotkey) RadioButton6->setChecked(true);
    cbHK1->setCurrentIndex(ToInt(row[kColHotkey1]));
    const int key = ToInt(row[kColHotkey2]);
    cbHK2->setCurrentIndex(key < 58 ? key - 48 : key - 55);
    hotkeyRepeat_ = row[kColHkLoop].empty() ? std::string_view("0") : row[kColHkLoop];
    switch (dateMode) {
    case data::kOnce:
        RadioButton2->setChecked(true);
        DateTimePicker1->setDate(QDate(ToInt(row[kColYear]), ToInt(row[kColMonth]), ToInt(row[kColDay])));
        break;
    case data::kAnnually:
        RadioButton4->setChecked(true);
        ComboBox11->setEditText(FromText(row[kColMonth]));
        ComboBox10->setEditText(FromText(row[kColDay]));
        break;
    case data::kMonthly:
        RadioButton3->setChecked(true);
        ComboBox8->setEditText(FromText(row[kColDay]));
        break;
    case data::kDaily:
        RadioButton1->setChecked(true);
        break;
    default:
        break;
    }
    const std::pair<QCheckBox*, std::size_t> days[] = {{Sun, kColSun}, {Mon, kColMon},   {Tues, kColTue},
                                                       {Wed, kColWed}, {Thurs, kColThu}, {Fri, kColFri},
                                                       {Sat, kColSat}};
    for (const auto& [box, column] : days)
        box->setChecked(row[column] == "1");

    const int event = ToInt(row[kColEvent]);
    if (event == data::kEventWakeOnly || event == data::kEventWakeAndRun) CheckBox6->setChecked(true);
    if (event >= data::kEventRestart && event <= data::kEventMonitorOff)
        powerBoxes()[static_cast<std::size_t>(event - data::kEventRestart)]->setChecked(true);

    auto fill = [](QCheckBox* box, QLineEdit* field, std::string_view value) {
        box->setChecked(!value.empty());
        if (!value.empty()) field->setText(FromText(value));
    };
    fill(CheckBox8, Edit1, row[kColMacro]);
    const std::string launch(row[kColLaunch]);
    CheckBox9->setChecked(!launch.empty());
    if (!launch.empty()) {
        launchCommand_ = launch;
        const auto bar = launch.find('|');
        const std::string program = bar == std::string::npos ? launch : launch.substr(0, bar);
        std::string parameters = launch;
        if (bar != std::string::npos) {
            const auto next = launch.find('|', bar + 1);
            parameters =
                launch.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1);
        }
        Edit2->setText(QString::fromStdString(program + " " + parameters));
    }
    fill(CheckBox10, Edit3, row[kColTerminate]);
    fill(CheckBox7, Edit4, row[kColOpenFile]);
    fill(CheckBox11, edit5, row[kColOpenUrl]);
    CheckBox12->setChecked(!row[kColMessage].empty());
    if (!row[kColMessage].empty()) Memo1->setPlainText(FromText(row[kColMessage]));

    const std::string countdown(row[kColCountdown]);
    if (!countdown.empty() && countdown != "0") {
        num->setText(QString::fromStdString(countdown)); // checks "Count down from" as a change does
        CheckBox15->setChecked(true);
    } else {
        num->setText(QStringLiteral("0"));
        CheckBox15->setChecked(false);
    }
    TimeP1->setTime(ReadTimeOfDay(row[kColTime]));
    const long long loop = ToInt(row[kColLoop]);
    cbox_loop->setCurrentIndex(LoopIndexOfMinutes(loop));
    dt_endtime->setTime(ReadTimeOfDay(row[kColEndTime]));
    if (loop > 0) {
        lb_endtime->setVisible(true);
        dt_endtime->setVisible(true);
    }
}

void TTaskForm::tmr1Timer() {
    RunGuarded(host_.errors, [this] {
        tmr1.stop();
        loading_ = false;
    });
}

void TTaskForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (host_.unlockOnShow) Timer1.start();
}

void TTaskForm::Timer1Timer() {
    RunGuarded(host_.errors, [this] {
        Timer1.stop();
        if (host_.unlockOnShow && !host_.unlockOnShow()) reject();
    });
}

void TTaskForm::TriggerSelected(QRadioButton* trigger) {
    RunGuarded(host_.errors, [&] {
        for (QRadioButton* r : triggers())
            SetBold(r, r == trigger);
        const bool weekly = trigger == RadioButton5, once = trigger == RadioButton2,
                   monthly = trigger == RadioButton3, annually = trigger == RadioButton4,
                   hotkey = trigger == RadioButton6;
        for (QCheckBox* day : {Mon, Tues, Wed, Thurs, Fri, Sat, Sun})
            day->setEnabled(weekly);
        DateTimePicker1->setEnabled(once);
        Label4->setEnabled(monthly);
        ComboBox8->setEnabled(monthly);
        for (QWidget* w : std::initializer_list<QWidget*>{Label5, Label6, ComboBox10, ComboBox11})
            w->setEnabled(annually);
        for (QWidget* w : std::initializer_list<QWidget*>{cbHK1, cbHK2, Label7})
            w->setEnabled(hotkey);
        for (QWidget* w : std::initializer_list<QWidget*>{CheckBox6, TimeP1, lb_loop, cbox_loop, lb_endtime,
                                                          dt_endtime, CheckBox15, num, Sec})
            w->setEnabled(!hotkey);
        if (hotkey) {
            CheckBox6->setChecked(false);
            CheckBox15->setChecked(false);
        }
    });
}

void TTaskForm::LoopChanged(int index) {
    RunGuarded(host_.errors, [&] {
        lb_endtime->setVisible(index > 0);
        dt_endtime->setVisible(index > 0);
    });
}

int TTaskForm::Ask(const QString& text, int buttons) {
    QStringList captions{GetLangText("Button1Caption", "OK")};
    if (buttons > 1) captions << GetLangText("Button2Caption", "Cancel");
    return host_.messageBox.Ask(windowTitle(), text, captions);
}

void TTaskForm::PowerBoxToggled(QCheckBox* box, bool checked) {
    RunGuarded(host_.errors, [&] {
        SetBold(box, checked);
        if (!checked) return;
        if (box == CheckBox1 && !loading_) {
            ShutDownChecked();
            if (!CheckBox1->isChecked()) return;
        }
        for (QCheckBox* other : powerBoxes())
            if (other != box) other->setChecked(false);
        for (QCheckBox* other : programBoxes())
            other->setChecked(false);
        CheckBox6->setChecked(false);
    });
}

void TTaskForm::ShutDownChecked() {
    const QString question =
        GetLangText("DontShutDown", "Entering the shut-down state your system will be unable to power on "
                                    "automatically. Do you want to enter the sleep state? ");
    if (Ask(question, 2) != 1) return;
    if (host_.prefersHibernate && host_.prefersHibernate())
        CheckBox5->setChecked(true);
    else
        CheckBox4->setChecked(true);
    CheckBox1->setChecked(false);
}

void TTaskForm::ProgramBoxToggled(QCheckBox* box, bool checked) {
    RunGuarded(host_.errors, [&] {
        SetBold(box, checked);
        if (!checked) return;
        for (QCheckBox* other : powerBoxes())
            other->setChecked(false);
    });
}

void TTaskForm::WakeUpToggled(bool checked) {
    RunGuarded(host_.errors, [&] {
        SetBold(CheckBox6, checked);
        if (!checked) return;
        const platform::WakeAbility wake = host_.power.wakeFromSleep();
        if (!wake.possible()) {
            // Without a clock that wakes, the privilege would not help: the hardware is what to tell.
            if (!wake.wakeClock)
                Ask(GetLangText("NonWake", "Your hardware does not support this function."), 1);
            else
                Ask(GetLangText("NonWakePrivilege",
                                "Orvanta is not allowed to set timers that wake the computer (it lacks the "
                                "wake-alarm privilege). Installing the Orvanta package grants it, or run:") +
                        "\n" + QStringLiteral("sudo setcap cap_wake_alarm+ep ") +
                        QCoreApplication::applicationFilePath(),
                    1);
            CheckBox6->setChecked(false);
            return;
        }
        for (QCheckBox* other : powerBoxes())
            other->setChecked(false);
    });
}

bool TTaskForm::eventFilter(QObject* watched, QEvent* event) {
    // A click into the URL field or the memo, or typing there, chooses its action. Focus that only passes
    // through by Tab does not: it would untick the power action the user had chosen.
    const bool clicked = event->type() == QEvent::MouseButtonPress ||
                         (event->type() == QEvent::FocusIn &&
                          static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason);
    bool typed = false;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        typed = !key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab &&
                key->key() != Qt::Key_Escape;
    }
    if (clicked || typed) {
        if (watched == edit5) CheckBox11->setChecked(true);
        if (watched == Memo1 || watched == Memo1->viewport()) CheckBox12->setChecked(true);
    }
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        const bool twice = enter && lastMemoKey_ == Qt::Key_Return;
        lastMemoKey_ = enter ? Qt::Key_Return : key;
        if (twice) {
            lastMemoKey_ = 0;
            Button2Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TTaskForm::suiButton7Click() {
    RunGuarded(host_.errors, [this] {
        if (!host_.pickFile) return;
        const QString file = host_.pickFile(this, QStringLiteral("*.*"));
        if (file.isEmpty()) return;
        Edit4->setText(file);
        CheckBox7->setChecked(true);
    });
}

void TTaskForm::suiButton10Click() {
    RunGuarded(host_.errors, [this] {
        if (!host_.pickFile) return;
        const QString file = host_.pickFile(this, QStringLiteral("*.exe"));
        if (file.isEmpty()) return;
        CheckBox10->setChecked(true);
        const qsizetype slash = std::max(file.lastIndexOf(QChar('\\')), file.lastIndexOf(QChar('/')));
        Edit3->setText(file.mid(slash + 1));
    });
}

void TTaskForm::suiButton9Click() {
    RunGuarded(host_.errors, [this] {
        TProgramForm dialog(host_.languages, {host_.pickFile, host_.launch, host_.errors}, this);
        if (!Edit2->text().isEmpty()) dialog.SetLaunchCommand(launchCommand_);
        if (dialog.exec() != 1 || dialog.program().isEmpty()) return;
        SetLaunch(dialog.program(), dialog.parameters());
    });
}

void TTaskForm::SetLaunch(const QString& program, const QString& parameters) {
    Edit2->setText(program + " " + parameters);
    launchCommand_ = (program + " | " + parameters).toStdString();
    CheckBox9->setChecked(true);
}

void TTaskForm::suiButton8Click() {
    RunGuarded(host_.errors, [this] {
        if (host_.openMacroRecorder) host_.openMacroRecorder(this);
    });
}

void TTaskForm::done(int result) {
    if (!closed_) {
        closed_ = true;
        tmr1.stop();
        Timer1.stop();
        host_.currentTaskId.clear();
        if (host_.restoreMainWindow) host_.restoreMainWindow();
    }
    QDialog::done(result);
}

} // namespace orvanta::ui
