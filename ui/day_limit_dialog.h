#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;

namespace orvanta::ui {

// Asks for the HideLater day limit. The entry takes digits only, so whatever is confirmed is either
// empty or a number.
class DayLimitDialog : public QDialog {
    Q_OBJECT

  public:
    DayLimitDialog(QWidget* parent, const QString& okCaption, const QString& cancelCaption);

    // The confirmed entry, or nothing when cancelled.
    std::optional<QString> Ask(const QString& caption, const QString& prompt, int currentDays);

    QLineEdit* entry() const { return entry_; }
    QLabel* prompt() const { return prompt_; }

  private:
    QLabel* prompt_;
    QLineEdit* entry_;
};

// The day limit an entry stands for: a number greater than 0, else nothing.
std::optional<int> DayLimitOf(const QString& entry);

} // namespace orvanta::ui
