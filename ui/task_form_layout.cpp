#include "ui/named_widget.h"
#include "ui/task_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace orvanta::ui {

namespace {

QComboBox* NumberList(QWidget* parent, const char* name, int last) {
    auto* box = Named(new QComboBox(parent), name);
    box->setEditable(true); // typed text is taken too and converted on saving
    for (int i = 1; i <= last; ++i)
        box->addItem(QString::number(i));
    return box;
}

} // namespace

void TTaskForm::BuildWidgets() {
    auto* root = new QVBoxLayout(this);

    auto* titleRow = new QHBoxLayout;
    Label1 = Named(new QLabel(QStringLiteral("Task Title:"), this), "Label1");
    title = Named(new QLineEdit(this), "title");
    // "*" marks toggled rows in the list, so a title never carries one.
    title->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^*]*")), title));
    titleRow->addWidget(Label1);
    titleRow->addWidget(title, 1);
    root->addLayout(titleRow);

    auto* trigger = new QGridLayout;
    RadioButton2 = Named(new QRadioButton(QStringLiteral("Once"), this), "RadioButton2");
    RadioButton5 = Named(new QRadioButton(QStringLiteral("Weekly"), this), "RadioButton5");
    RadioButton3 = Named(new QRadioButton(QStringLiteral("Monthly"), this), "RadioButton3");
    RadioButton4 = Named(new QRadioButton(QStringLiteral("Annually"), this), "RadioButton4");
    RadioButton1 = Named(new QRadioButton(QStringLiteral("Daily"), this), "RadioButton1");
    RadioButton6 = Named(new QRadioButton(QStringLiteral("Hotkey"), this), "RadioButton6");
    RadioButton2->setToolTip(QStringLiteral("The scheduled task will fire only at this specified date."));
    RadioButton5->setToolTip(QStringLiteral("The scheduled task will fire at specified date of every week."));
    RadioButton3->setToolTip(
        QStringLiteral("The scheduled task will fire at specified date of every month."));
    RadioButton4->setToolTip(QStringLiteral("The scheduled task will fire at specified date of every year."));
    RadioButton1->setToolTip(QStringLiteral("The scheduled task will fire every day."));
    RadioButton6->setToolTip(QStringLiteral("The scheduled task will fire every day."));

    DateTimePicker1 = Named(new QDateEdit(this), "DateTimePicker1");
    DateTimePicker1->setCalendarPopup(true);
    auto* week = new QHBoxLayout;
    Mon = Named(new QCheckBox(QStringLiteral("Mon"), this), "Mon");
    Tues = Named(new QCheckBox(QStringLiteral("Tue"), this), "Tues");
    Wed = Named(new QCheckBox(QStringLiteral("Wed"), this), "Wed");
    Thurs = Named(new QCheckBox(QStringLiteral("Thu"), this), "Thurs");
    Fri = Named(new QCheckBox(QStringLiteral("Fri"), this), "Fri");
    Sat = Named(new QCheckBox(QStringLiteral("Sat"), this), "Sat");
    Sun = Named(new QCheckBox(QStringLiteral("Sun"), this), "Sun");
    for (QCheckBox* day : {Mon, Tues, Wed, Thurs, Fri, Sat, Sun})
        week->addWidget(day);
    for (QCheckBox* day : {Mon, Tues, Wed, Thurs, Fri})
        day->setChecked(true);
    auto* month = new QHBoxLayout;
    Label4 = Named(new QLabel(QStringLiteral("Day:"), this), "Label4");
    ComboBox8 = NumberList(this, "ComboBox8", 31);
    month->addWidget(Label4);
    month->addWidget(ComboBox8);
    month->addStretch();
    auto* year = new QHBoxLayout;
    Label5 = Named(new QLabel(QStringLiteral("Day:"), this), "Label5");
    ComboBox10 = NumberList(this, "ComboBox10", 31);
    Label6 = Named(new QLabel(QStringLiteral("Month:"), this), "Label6");
    ComboBox11 = NumberList(this, "ComboBox11", 12);
    for (QWidget* w : std::initializer_list<QWidget*>{Label5, ComboBox10, Label6, ComboBox11})
        year->addWidget(w);
    year->addStretch();
    auto* hotkey = new QHBoxLayout;
    cbHK1 = Named(new QComboBox(this), "cbHK1");
    cbHK1->addItems({QStringLiteral("Alt"), QStringLiteral("Ctrl")});
    Label7 = Named(new QLabel(QStringLiteral("+"), this), "Label7");
    cbHK2 = Named(new QComboBox(this), "cbHK2");
    for (char c = '0'; c <= '9'; ++c)
        cbHK2->addItem(QString(QChar(c)));
    for (char c = 'A'; c <= 'Z'; ++c)
        cbHK2->addItem(QString(QChar(c)));
    hotkey->addWidget(cbHK1);
    hotkey->addWidget(Label7);
    hotkey->addWidget(cbHK2);
    hotkey->addStretch();

    trigger->addWidget(RadioButton2, 0, 0);
    trigger->addWidget(DateTimePicker1, 0, 1);
    trigger->addWidget(RadioButton5, 1, 0);
    trigger->addLayout(week, 1, 1);
    trigger->addWidget(RadioButton3, 2, 0);
    trigger->addLayout(month, 2, 1);
    trigger->addWidget(RadioButton4, 3, 0);
    trigger->addLayout(year, 3, 1);
    trigger->addWidget(RadioButton1, 4, 0);
    trigger->addWidget(RadioButton6, 5, 0);
    trigger->addLayout(hotkey, 5, 1);
    root->addLayout(trigger);

    auto* time = new QHBoxLayout;
    Label2 = Named(new QLabel(QStringLiteral("Start Time"), this), "Label2");
    TimeP1 = Named(new QTimeEdit(this), "TimeP1");
    TimeP1->setDisplayFormat(QStringLiteral("H:mm:ss"));
    lb_loop = Named(new QLabel(QStringLiteral("Repeat:"), this), "lb_loop");
    cbox_loop = Named(new QComboBox(this), "cbox_loop");
    for (int i = 0; i < 11; ++i)
        cbox_loop->addItem(QString());
    lb_endtime = Named(new QLabel(QStringLiteral("End Time:"), this), "lb_endtime");
    dt_endtime = Named(new QTimeEdit(QTime(23, 59, 59), this), "dt_endtime");
    dt_endtime->setDisplayFormat(QStringLiteral("H:mm:ss"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{Label2, TimeP1, lb_loop, cbox_loop, lb_endtime, dt_endtime})
        time->addWidget(w);
    time->addStretch();
    root->addLayout(time);

    auto* confirm = new QHBoxLayout;
    Reminder = Named(new QLabel(QStringLiteral("Confirm"), this), "Reminder");
    CheckBox15 = Named(new QCheckBox(QStringLiteral("Count down from"), this), "CheckBox15");
    num = Named(new QLineEdit(QStringLiteral("30"), this), "num");
    // Nine digits at most: every such count-down fits the integer it is read into.
    num->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), num));
    num->setMaxLength(9);
    Sec = Named(new QLabel(QStringLiteral("secs"), this), "Sec");
    for (QWidget* w : std::initializer_list<QWidget*>{Reminder, CheckBox15, num, Sec})
        confirm->addWidget(w);
    confirm->addStretch();
    root->addLayout(confirm);

    Label3 = Named(new QLabel(QStringLiteral("What to do"), this), "Label3");
    root->addWidget(Label3);
    auto* power = new QGridLayout;
    CheckBox6 = Named(new QCheckBox(QStringLiteral("Wake up"), this), "CheckBox6");
    CheckBox2 = Named(new QCheckBox(QStringLiteral("Reboot"), this), "CheckBox2");
    CheckBox1 = Named(new QCheckBox(QStringLiteral("Shut down "), this), "CheckBox1");
    CheckBox3 = Named(new QCheckBox(QStringLiteral("Lock Desktop"), this), "CheckBox3");
    CheckBox4 = Named(new QCheckBox(QStringLiteral("Sleep"), this), "CheckBox4");
    CheckBox5 = Named(new QCheckBox(QStringLiteral("Hibernate"), this), "CheckBox5");
    CheckBox13 = Named(new QCheckBox(QStringLiteral("Log off"), this), "CheckBox13");
    CheckBox14 = Named(new QCheckBox(QStringLiteral("Close Monitor"), this), "CheckBox14");
    const QCheckBox* order[] = {CheckBox6, CheckBox2, CheckBox1,  CheckBox3,
                                CheckBox4, CheckBox5, CheckBox13, CheckBox14};
    for (int i = 0; i < 8; ++i)
        power->addWidget(const_cast<QCheckBox*>(order[i]), i / 4, i % 4);
    root->addLayout(power);

    auto* programs = new QGridLayout;
    auto picker = [this](const char* name, const char* hint) {
        auto* button = Named(new QPushButton(QStringLiteral("..."), this), name);
        button->setToolTip(QString::fromLatin1(hint));
        return button;
    };
    auto readOnly = [this](const char* name) {
        auto* edit = Named(new QLineEdit(this), name);
        edit->setReadOnly(true);
        return edit;
    };
    CheckBox8 = Named(new QCheckBox(QStringLiteral("Keyboard/Mouse Macro"), this), "CheckBox8");
    Edit1 = readOnly("Edit1");
    suiButton8 = picker("suiButton8", "Load a keyboard/mouse macro file");
    CheckBox9 = Named(new QCheckBox(QStringLiteral("Launch Program"), this), "CheckBox9");
    Edit2 = readOnly("Edit2");
    suiButton9 = picker("suiButton9", "Select an executable file.");
    CheckBox10 = Named(new QCheckBox(QStringLiteral("Terminate Process"), this), "CheckBox10");
    Edit3 = readOnly("Edit3");
    suiButton10 = picker("suiButton10", "Select an executable file.");
    CheckBox7 = Named(new QCheckBox(QStringLiteral("Open File"), this), "CheckBox7");
    Edit4 = readOnly("Edit4");
    suiButton7 = picker("suiButton7", "Select any file.");
    CheckBox11 = Named(new QCheckBox(QStringLiteral("Open URL"), this), "CheckBox11");
    edit5 = Named(new QLineEdit(QStringLiteral("http://"), this), "edit5");
    CheckBox12 = Named(new QCheckBox(QStringLiteral("Reminder"), this), "CheckBox12");
    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    int row = 0;
    auto addRow = [&](QCheckBox* box, QWidget* field, QPushButton* button) {
        programs->addWidget(box, row, 0);
        programs->addWidget(field, row, 1);
        if (button) programs->addWidget(button, row, 2);
        ++row;
    };
    addRow(CheckBox8, Edit1, suiButton8);
    addRow(CheckBox9, Edit2, suiButton9);
    addRow(CheckBox10, Edit3, suiButton10);
    addRow(CheckBox7, Edit4, suiButton7);
    addRow(CheckBox11, edit5, nullptr);
    addRow(CheckBox12, Memo1, nullptr);
    root->addLayout(programs);

    auto* buttons = new QHBoxLayout;
    Button2 = Named(new QPushButton(QStringLiteral("OK"), this), "Button2");
    Button1 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button1");
    Button2->setDefault(true);
    Button2->setAutoDefault(true);
    Button1->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    root->addLayout(buttons);
}

} // namespace orvanta::ui
