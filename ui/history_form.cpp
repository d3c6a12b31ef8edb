#include "ui/history_form.h"

#include "scheduler/wake_keys.h"
#include "ui/app_icon.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace orvanta::ui {
namespace {

enum Column { kTime, kTask, kTitle, kDue, kOutcome, kAction, kReason, kColumns };

QString Stamp(const platform::LocalDateTime& t) {
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(t.year, 4, 10, QLatin1Char('0'))
        .arg(t.month, 2, 10, QLatin1Char('0'))
        .arg(t.day, 2, 10, QLatin1Char('0'))
        .arg(t.hour)
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(t.second, 2, 10, QLatin1Char('0'));
}

} // namespace

THistoryForm::THistoryForm(i18n::TLangMgr& languages, const platform::RunHistory& history,
                           const platform::Clock& clock, QWidget* parent)
    : QDialog(parent), TLangForm(this, "THistoryForm", languages), history_(history), clock_(clock) {
    setObjectName("HistoryForm");
    setWindowTitle(QStringLiteral("Run History"));
    setWindowIcon(AppIcon());
    resize(860, 420);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    DaysLabel = new QLabel(QStringLiteral("Days shown:"), this);
    DaysLabel->setObjectName("DaysLabel");
    DaysBox = new QSpinBox(this);
    DaysBox->setObjectName("DaysBox");
    DaysBox->setRange(1, 365);
    DaysBox->setValue(kDefaultDays);
    RefreshButton = new QPushButton(QStringLiteral("Refresh"), this);
    RefreshButton->setObjectName("RefreshButton");
    top->addWidget(DaysLabel);
    top->addWidget(DaysBox);
    top->addStretch(1);
    top->addWidget(RefreshButton);
    layout->addLayout(top);

    ErrorLabel = new QLabel(this);
    ErrorLabel->setObjectName("ErrorLabel");
    ErrorLabel->setWordWrap(true);
    ErrorLabel->hide();
    layout->addWidget(ErrorLabel);

    HistoryList = new QTableWidget(0, kColumns, this);
    HistoryList->setObjectName("HistoryList");
    HistoryList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HistoryList->setSelectionBehavior(QAbstractItemView::SelectRows);
    HistoryList->verticalHeader()->hide();
    HistoryList->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(HistoryList, 1);

    auto* bottom = new QHBoxLayout;
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName("CloseButton");
    bottom->addStretch(1);
    bottom->addWidget(CloseButton);
    layout->addLayout(bottom);

    ReloadLanguage();
    HistoryList->setHorizontalHeaderLabels(
        {GetLangText("ColTime", "Time"), GetLangText("ColTask", "Task"), GetLangText("ColTitle", "Title"),
         GetLangText("ColDue", "Due"), GetLangText("ColOutcome", "Outcome"),
         GetLangText("ColAction", "Action"), GetLangText("ColReason", "Reason")});
    connect(RefreshButton, &QPushButton::clicked, this, [this] { Reload(); });
    connect(DaysBox, &QSpinBox::valueChanged, this, [this] { Reload(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    Reload();
}

QString THistoryForm::OutcomeText(const std::string& word) const {
    struct Known {
        const char* word;
        const char* key;
        const char* english;
    };
    static const Known known[] = {
        {"ran", "OutcomeRan", "ran"},
        {"failed", "OutcomeFailed", "failed"},
        {"passed", "OutcomePassed", "passed by the user"},
        {"postponed", "OutcomePostponed", "postponed"},
        {"skipped", "OutcomeSkipped", "skipped"},
        {"refused", "OutcomeRefused", "refused"},
        {"confirmation-opened", "OutcomeConfirmationOpened", "confirmation opened"},
        {"confirmation-ended", "OutcomeConfirmationEnded", "confirmation ended"},
    };
    for (const Known& k : known)
        if (word == k.word) return GetLangText(k.key, QString::fromLatin1(k.english));
    return QString::fromStdString(word);
}

void THistoryForm::Reload() {
    const std::int64_t since = clock_.nowUtcMs() - std::int64_t(DaysBox->value()) * 86'400'000;
    const platform::HistoryReading reading = history_.read({since, {}});
    ErrorLabel->setVisible(!reading.error.empty());
    if (!reading.error.empty())
        ErrorLabel->setText(GetLangText("ReadError", "The run history cannot be read:") + " " +
                            QString::fromStdString(reading.error));
    HistoryList->setRowCount(int(reading.entries.size()));
    int row = 0;
    for (const platform::HistoryEntry& e : reading.entries) {
        const auto due = scheduler::ParseDueKey(e.dueKey);
        const QString cells[kColumns] = {
            Stamp(clock_.localOf(e.utcMs)),
            QString::fromStdString(e.taskId),
            QString::fromStdString(e.title),
            due ? Stamp(*due) : (e.taskId.empty() ? QString() : GetLangText("Hotkey", "hotkey")),
            OutcomeText(e.outcome),
            QString::fromStdString(e.action),
            QString::fromStdString(e.reason)};
        for (int c = 0; c < kColumns; ++c)
            HistoryList->setItem(row, c, new QTableWidgetItem(cells[c]));
        ++row;
    }
    HistoryList->resizeColumnsToContents();
    HistoryList->horizontalHeader()->setStretchLastSection(true);
    if (row > 0) HistoryList->scrollToBottom();
}

} // namespace orvanta::ui
