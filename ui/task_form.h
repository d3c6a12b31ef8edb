#pragma once

#include "data/task_record.h"
#include "scheduler/run_table.h"
#include "ui/lang_form.h"
#include "ui/task_form_host.h"

#include <QDialog>
#include <QTimer>
#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class QAbstractButton;

namespace orvanta::ui {

// The four ways the editor is opened.
inline constexpr const char* kModeNewScheduled = "New Scheduled Task";
inline constexpr const char* kModeEditScheduled = "Edit Scheduled Task";
inline constexpr const char* kModeNewHotkey = "New Hotkey";
inline constexpr const char* kModeEditHotkey = "Edit Hotkey Settings";

// The repeat list's index and the Loop minutes it stands for.
int LoopMinutesOfIndex(int index);
int LoopIndexOfMinutes(long long minutes);

// The task editor: creates or changes one task, timed or hotkey, and writes it on OK.
class TTaskForm : public QDialog, public TLangForm {
    Q_OBJECT

  public:
    TTaskForm(TaskEditorHost host, QString mode, QWidget* parent = nullptr);

    // Opens an editor in the given mode and waits until it has closed. The hotkey tab calls this too.
    static void Open(TaskEditorHost host, const QString& mode, QWidget* parent = nullptr);

    // The task the editor wrote or loaded; empty before a new task is saved.
    const std::string& editingId() const { return editingId_; }
    // True while an edited task's row is put into the controls, which must not ask anything then.
    bool loading() const { return loading_; }

    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Button2Click(); // OK
    void tmr1Timer();
    void Timer1Timer();
    void suiButton7Click();
    void suiButton8Click();
    void suiButton9Click();
    void suiButton10Click();

    // Sets the launch action from the program dialog's two fields.
    void SetLaunch(const QString& program, const QString& parameters);

    // The controls, by their names.
    QLineEdit *title = nullptr, *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr,
              *edit5 = nullptr, *num = nullptr;
    QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr,
                 *RadioButton4 = nullptr, *RadioButton5 = nullptr, *RadioButton6 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QCheckBox *Mon = nullptr, *Tues = nullptr, *Wed = nullptr, *Thurs = nullptr, *Fri = nullptr,
              *Sat = nullptr, *Sun = nullptr;
    QComboBox *ComboBox8 = nullptr, *ComboBox10 = nullptr, *ComboBox11 = nullptr, *cbHK1 = nullptr,
              *cbHK2 = nullptr, *cbox_loop = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label6 = nullptr, *Label7 = nullptr, *lb_loop = nullptr, *lb_endtime = nullptr,
           *Reminder = nullptr, *Sec = nullptr;
    QTimeEdit *TimeP1 = nullptr, *dt_endtime = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr, *CheckBox4 = nullptr,
              *CheckBox5 = nullptr, *CheckBox6 = nullptr, *CheckBox7 = nullptr, *CheckBox8 = nullptr,
              *CheckBox9 = nullptr, *CheckBox10 = nullptr, *CheckBox11 = nullptr, *CheckBox12 = nullptr,
              *CheckBox13 = nullptr, *CheckBox14 = nullptr, *CheckBox15 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton *suiButton7 = nullptr, *suiButton8 = nullptr, *suiButton9 = nullptr, *suiButton10 = nullptr,
                *Button1 = nullptr, *Button2 = nullptr;
    QTimer tmr1;
    QTimer Timer1;

    void BuildWidgets();
    void ConnectHandlers();
    void FillForm();
    void LoadRow(const scheduler::TaskRow& row);
    void TriggerSelected(QRadioButton* trigger);
    void PowerBoxToggled(QCheckBox* box, bool checked);
    void ProgramBoxToggled(QCheckBox* box, bool checked);
    void WakeUpToggled(bool checked);
    void ShutDownChecked();
    void LoopChanged(int index);
    int Ask(const QString& text, int buttons);

    // Saving.
    bool DropEmptyActionsAndAsk(); // false: leave the editor (closed or staying)
    bool CheckTimesAndHotkey();
    // The day and month fields of the monthly and yearly triggers hold days of the calendar.
    bool CheckDayAndMonth();
    // A hotkey another enabled task uses or another program holds: false to stay in the editor, else
    // whether the user chose to save the task disabled.
    bool CheckHotkeyConflict(bool& saveDisabled);
    data::TaskRecord BuildRecord() const;
    int EventCode() const;
    QString GeneratedDescription() const;
    void Write(const data::TaskRecord& record);
    void RefreshAndSelect();
    bool anyActionChecked() const;

    std::array<QCheckBox*, 7> powerBoxes() const; // in the event code's order
    std::array<QCheckBox*, 6> programBoxes() const;
    std::array<QRadioButton*, 6> triggers() const;

    TaskEditorHost host_;
    QString mode_;
    std::string editingId_;
    bool loading_ = false;
    std::string launchCommand_;
    std::string hotkeyRepeat_ = "0";
    int lastMemoKey_ = 0;
    bool closed_ = false;
};

} // namespace orvanta::ui
