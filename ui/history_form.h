#pragma once

#include "platform/api/clock.h"
#include "platform/api/run_history.h"
#include "ui/lang_form.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace orvanta::ui {

// The run history of the last days: what ran, what failed, what was passed, postponed or skipped and
// why, oldest first so the newest is at the bottom, where the list opens.
class THistoryForm : public QDialog, public TLangForm {
  public:
    static constexpr int kDefaultDays = 7;

    THistoryForm(i18n::TLangMgr& languages, const platform::RunHistory& history, const platform::Clock& clock,
                 QWidget* parent = nullptr);

    // Reads the history again for the days chosen.
    void Reload();

    QTableWidget* HistoryList = nullptr;
    QLabel* DaysLabel = nullptr;
    QSpinBox* DaysBox = nullptr;
    QLabel* ErrorLabel = nullptr; // shown where the history cannot be read
    QPushButton *RefreshButton = nullptr, *CloseButton = nullptr;

  private:
    QString OutcomeText(const std::string& word) const;

    const platform::RunHistory& history_;
    const platform::Clock& clock_;
};

} // namespace orvanta::ui
