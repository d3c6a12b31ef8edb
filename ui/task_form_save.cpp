#include "hotkeys/hotkey_name.h"
#include "ui/error_box.h"
#include "ui/message_dialog.h"
#include "ui/task_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimeEdit>
#include <stdexcept>

namespace orvanta::ui {

namespace {

// Characters 0 to 32 dropped at both ends: blanks, tabs and line breaks.
QString TrimControls(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

// The Hotkey2 column of a key list index: digits and capitals by their character codes, 47 for none.
int StoredHotkeyKey(int index) {
    return index < 0 ? 47 : index <= 9 ? index + 48 : index + 55;
}

long long WholeNumber(const QString& text) {
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    if (!ok) throw std::runtime_error("'" + text.toStdString() + "' is not a valid integer value");
    return value;
}

QString FileNamePart(const QString& path) {
    qsizetype cut = -1;
    for (QChar separator : {QChar('\\'), QChar(':'), QChar('/')})
        cut = std::max(cut, path.lastIndexOf(separator));
    return path.mid(cut + 1);
}

} // namespace

bool TTaskForm::anyActionChecked() const {
    if (CheckBox6->isChecked()) return true;
    for (QCheckBox* box : powerBoxes())
        if (box->isChecked()) return true;
    for (QCheckBox* box : programBoxes())
        if (box->isChecked()) return true;
    return false;
}

void TTaskForm::Button2Click() {
    RunGuarded(host_.errors, [this] {
        if (!DropEmptyActionsAndAsk()) return;
        if (!CheckTimesAndHotkey()) return;
        if (!CheckDayAndMonth()) return;
        bool saveDisabled = false;
        if (!CheckHotkeyConflict(saveDisabled)) return;
        data::TaskRecord record = BuildRecord();
        if (saveDisabled) record.enabled = 0;
        Write(record);
        RefreshAndSelect();
        accept();
    });
}

bool TTaskForm::DropEmptyActionsAndAsk() {
    if (Edit2->text().isEmpty()) CheckBox9->setChecked(false);
    if (Edit3->text().isEmpty()) CheckBox10->setChecked(false);
    if (Edit4->text().isEmpty()) CheckBox7->setChecked(false);
    if (edit5->text().isEmpty()) CheckBox11->setChecked(false);
    if (Edit1->text().isEmpty()) CheckBox8->setChecked(false);
    Memo1->setPlainText(TrimControls(Memo1->toPlainText()));
    if (Memo1->toPlainText().isEmpty()) CheckBox12->setChecked(false);
    if (anyActionChecked()) return true;
    const QString question =
        GetLangText("NonCheck", "You have not chosen anything! Do you want to continue? ");
    if (Ask(question, 2) != 1) reject();
    return false;
}

bool TTaskForm::CheckTimesAndHotkey() {
    const bool hotkey = RadioButton6->isChecked();
    if (!hotkey && TimeP1->time() > dt_endtime->time()) {
        Ask(GetLangText("EndTimeERR", "The end time can not be less than the start time."), 1);
        dt_endtime->setStyleSheet(QStringLiteral("background-color: red"));
        if (dt_endtime->isVisible()) dt_endtime->setFocus();
        return false;
    }
    if (hotkey && cbHK2->currentIndex() < 0) {
        Ask(GetLangText("NoHotkeyERR", "Please specify your hotkey before saving."), 1);
        cbHK2->setStyleSheet(QStringLiteral("background-color: red"));
        cbHK2->setFocus();
        return false;
    }
    return true;
}

bool TTaskForm::CheckDayAndMonth() {
    // The rebuild cannot schedule a row off the calendar; saved, it would be missing from the list.
    auto refuse = [this](QComboBox* field, const QString& message) {
        Ask(message, 1);
        field->setStyleSheet(QStringLiteral("background-color: red"));
        field->setFocus();
        return false;
    };
    auto inRange = [](QComboBox* field, int last) {
        bool ok = false;
        const int value = field->currentText().trimmed().toInt(&ok);
        return ok && value >= 1 && value <= last;
    };
    const QString dayError = GetLangText("DayERR", "The day must be a number from 1 to 31.");
    if (RadioButton3->isChecked() && !inRange(ComboBox8, 31)) return refuse(ComboBox8, dayError);
    if (RadioButton4->isChecked()) {
        if (!inRange(ComboBox11, 12))
            return refuse(ComboBox11, GetLangText("MonthERR", "The month must be a number from 1 to 12."));
        if (!inRange(ComboBox10, 31)) return refuse(ComboBox10, dayError);
    }
    return true;
}

int TTaskForm::EventCode() const {
    int code = CheckBox6->isChecked() ? data::kEventWakeOnly : data::kEventNone;
    int number = data::kEventRestart;
    for (QCheckBox* box : powerBoxes()) {
        if (box->isChecked()) code = number;
        ++number;
    }
    for (QCheckBox* box : programBoxes())
        if (box->isChecked()) return CheckBox6->isChecked() ? data::kEventWakeAndRun : data::kEventNone;
    return code;
}

QString TTaskForm::GeneratedDescription() const {
    QString text;
    if (CheckBox6->isChecked()) text = CheckBox6->text() + "  ";
    for (QCheckBox* box : powerBoxes())
        if (box->isChecked()) text = box->text();
    const QString launchProgram = QString::fromStdString(launchCommand_.substr(0, launchCommand_.find('|')));
    const std::pair<QCheckBox*, QString> values[] = {{CheckBox8, FileNamePart(Edit1->text())},
                                                     {CheckBox9, FileNamePart(launchProgram)},
                                                     {CheckBox10, FileNamePart(Edit3->text())},
                                                     {CheckBox7, FileNamePart(Edit4->text())},
                                                     {CheckBox11, edit5->text()}};
    for (const auto& [box, value] : values)
        if (box->isChecked()) text += box->text() + ": " + value + "  ";
    if (CheckBox12->isChecked()) text += CheckBox12->text() + ": " + Memo1->toPlainText();
    return text;
}

bool TTaskForm::CheckHotkeyConflict(bool& saveDisabled) {
    saveDisabled = false;
    if (!RadioButton6->isChecked()) return true;
    const std::string hotkey1 = cbHK1->currentIndex() == 1 ? "1" : "0";
    const std::string hotkey2 = std::to_string(StoredHotkeyKey(cbHK2->currentIndex()));
    const auto wanted = hotkeys::DecodeHotkey(hotkey1, hotkey2);
    // One name, never broken over two lines of the question.
    const QString keyText =
        QString::fromStdString(hotkeys::HotkeyKeyText(hotkey1, hotkey2)).replace(' ', QChar::Nbsp);
    QString conflict;
    static const std::vector<scheduler::TaskRow> kNone;
    for (const auto& row : host_.hotkeyRows ? host_.hotkeyRows() : kNone) {
        using namespace scheduler;
        if (row[kColId] == editingId_ || row[kColEnabled] != "1") continue;
        if (hotkeys::DecodeHotkey(row[kColHotkey1], row[kColHotkey2]) != wanted) continue;
        const QString other = TrimControls(QString::fromStdString(std::string(row[kColTitle])));
        conflict = GetLangText("HotkeyUsedByTask", "%1 is already the hotkey of the enabled task \"%2\".")
                       .arg(keyText, other.isEmpty() ? GetLangText("NoTitle", "No title") : other);
        break;
    }
    if (conflict.isEmpty() && host_.hotkeyHeldElsewhere && host_.hotkeyHeldElsewhere(hotkey1, hotkey2))
        conflict = GetLangText("HotkeyHeldElsewhere", "Another program already holds %1.").arg(keyText);
    if (conflict.isEmpty()) return true;
    const QString choice = GetLangText(
        "HotkeySaveDisabled", "Choose OK to save this task disabled, or Cancel to choose another hotkey.");
    if (Ask(conflict + " " + choice, 2) == 1) {
        saveDisabled = true;
        return true;
    }
    cbHK2->setStyleSheet(QStringLiteral("background-color: red"));
    cbHK2->setFocus();
    return false;
}

data::TaskRecord TTaskForm::BuildRecord() const {
    data::TaskRecord r;
    r.enabled = 1;
    const QString trimmedTitle = TrimControls(title->text());
    r.title = (trimmedTitle.isEmpty() ? GeneratedDescription() : trimmedTitle).toStdString();
    r.dateMode = RadioButton1->isChecked()   ? data::kDaily
                 : RadioButton2->isChecked() ? data::kOnce
                 : RadioButton3->isChecked() ? data::kMonthly
                 : RadioButton4->isChecked() ? data::kAnnually
                 : RadioButton5->isChecked() ? data::kWeekly
                                             : data::kHotkey;
    const QDate date = DateTimePicker1->date();
    r.year = date.year();
    r.month = r.dateMode == data::kAnnually ? WholeNumber(ComboBox11->currentText()) : date.month();
    r.day = r.dateMode == data::kMonthly    ? WholeNumber(ComboBox8->currentText())
            : r.dateMode == data::kAnnually ? WholeNumber(ComboBox10->currentText())
                                            : date.day();
    r.sun = Sun->isChecked();
    r.mon = Mon->isChecked();
    r.tue = Tues->isChecked();
    r.wed = Wed->isChecked();
    r.thu = Thurs->isChecked();
    r.fri = Fri->isChecked();
    r.sat = Sat->isChecked();
    r.time = TimeP1->time().toString(QStringLiteral("H:mm:ss")).toStdString();
    r.loop = LoopMinutesOfIndex(cbox_loop->currentIndex());
    r.endTime = dt_endtime->time().toString(QStringLiteral("H:mm:ss")).toStdString();
    r.hotkey1 = cbHK1->currentIndex() == 1 ? 1 : 0;
    r.hotkey2 = StoredHotkeyKey(cbHK2->currentIndex());
    r.hkLoop = WholeNumber(QString::fromStdString(hotkeyRepeat_));
    r.countdown = CheckBox15->isChecked() ? WholeNumber(num->text()) : 0;
    r.event = EventCode();
    r.macro = CheckBox8->isChecked() ? Edit1->text().toStdString() : std::string();
    r.launch = CheckBox9->isChecked() ? launchCommand_ : std::string();
    r.terminate = CheckBox10->isChecked() ? Edit3->text().toStdString() : std::string();
    r.openFile = CheckBox7->isChecked() ? Edit4->text().toStdString() : std::string();
    r.openUrl = CheckBox11->isChecked() ? edit5->text().toStdString() : std::string();
    r.message = CheckBox12->isChecked() ? Memo1->toPlainText().toStdString() : std::string();
    return r;
}

void TTaskForm::Write(const data::TaskRecord& record) {
    if (editingId_.empty()) {
        editingId_ = host_.store.InsertTask(record);
    } else if (mode_ == kModeEditHotkey && RadioButton6->isChecked()) {
        // Only a real change of trigger moves a hotkey to the end of its list.
        host_.store.UpdateTaskKeepOrder(editingId_, record);
    } else {
        host_.store.UpdateTask(editingId_, record);
    }
}

void TTaskForm::RefreshAndSelect() {
    host_.currentTaskId = editingId_;
    if (host_.rebuildRunTable) host_.rebuildRunTable();
    if (host_.reloadHotkeys) host_.reloadHotkeys();
    host_.currentTaskId.clear();
    if (host_.selectScheduled) host_.selectScheduled(editingId_);
    if (host_.selectHotkey) host_.selectHotkey(editingId_);
}

} // namespace orvanta::ui
