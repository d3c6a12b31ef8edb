#include "ui/day_limit_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace orvanta::ui {

std::optional<int> DayLimitOf(const QString& entry) {
    bool ok = false;
    const int days = entry.toInt(&ok);
    if (!ok || days <= 0) return std::nullopt;
    return days;
}

DayLimitDialog::DayLimitDialog(QWidget* parent, const QString& okCaption, const QString& cancelCaption)
    : QDialog(parent) {
    setModal(true);
    prompt_ = new QLabel(this);
    entry_ = new QLineEdit(this);
    // Nine digits always fit an int, so a long entry cannot overflow into a negative limit.
    entry_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), entry_));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(okCaption, QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(cancelCaption, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(entry_);
    layout->addWidget(buttons);
}

std::optional<QString> DayLimitDialog::Ask(const QString& caption, const QString& prompt, int currentDays) {
    setWindowTitle(caption);
    prompt_->setText(prompt);
    entry_->setText(QString::number(currentDays));
    entry_->selectAll();
    entry_->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return entry_->text();
}

} // namespace orvanta::ui
