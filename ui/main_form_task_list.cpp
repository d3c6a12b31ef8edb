// The scheduled-task list's commands: delete, empty, clear, enable and disable in place with the delayed
// rebuild, and the three filters.
#include "data/settings/settings_keys.h"
#include "ui/day_limit_dialog.h"
#include "ui/main_form.h"
#include "ui/task_list_view.h"
#include "ui/toggled_row_text.h"
#include "ui/tray.h"

#include <QAction>
#include <algorithm>
#include <functional>
#include <map>

namespace orvanta::ui {

namespace keys = data::settings_keys;
using scheduler::DisplayRow;
using scheduler::kDispEnabled;
using scheduler::kDispId;
using scheduler::kDispStatus;
using scheduler::kDispText;
using scheduler::kStatusPassed;

void TMainForm::RebuildRunTable() {
    ShowRebuild([this] { scheduler_.RebuildRunTable(); });
}

void TMainForm::RefreshRunTable() {
    ShowRebuild([this] { scheduler_.RefreshRunTable(); });
}

void TMainForm::ShowRebuild(const std::function<void()>& rebuild) {
    const TableFollows follow{*this};
    lastRebuildRead_ = false;
    try {
        TellNewProblemsOnly([this, &rebuild] {
            try {
                rebuild();
            } catch (const Error& e) {
                lastRebuildRead_ = IsProblemReport(e);
                throw;
            }
            lastRebuildRead_ = true;
        });
    } catch (...) {
        if (lastRebuildRead_ && ports_.tableRebuilt) ports_.tableRebuilt();
        throw;
    }
    if (ports_.tableRebuilt) ports_.tableRebuilt();
}

bool TMainForm::IsProblemReport(const Error& e) const {
    const auto& problems = scheduler_.current().problems;
    return !problems.empty() && e.what() == scheduler::DescribeRowProblems(problems);
}

void TMainForm::RefreshUnscheduled() {
    const auto& problems = scheduler_.current().problems;
    const bool same =
        std::equal(problems.begin(), problems.end(), unscheduledFor_.begin(), unscheduledFor_.end(),
                   [](const scheduler::RowProblem& a, const scheduler::RowProblem& b) {
                       return a.taskId == b.taskId && a.problem == b.problem;
                   });
    if (same) return;
    // Cleared first: should the read fail, the list shows no stale rows and the next showing tries again.
    unscheduled_.clear();
    unscheduledFor_.clear();
    unscheduled_ = ReadUnscheduledTasks(ports_.store, problems);
    unscheduledFor_ = problems;
}

void TMainForm::ShowTable() {
    try {
        const scheduler::RunTableBuild& build = scheduler_.current();
        const std::string none = GetLangText("None", "None").toStdString();
        try {
            RefreshUnscheduled();
        } catch (const Error&) {
            // The store could not be read back: the error box of the rebuild has said what is missing.
        }
        std::map<std::string, std::string> problems;
        // The list shows the table's own rows; only tasks that could not be scheduled need a copy with
        // their lines added.
        std::shared_ptr<scheduler::DisplayRows> rows = build.table.displayRows;
        if (!unscheduled_.empty()) {
            rows = std::make_shared<scheduler::DisplayRows>(*rows);
            if (rows->size() == 1 && (*rows)[0][kDispId].empty()) rows->Clear(); // the "None" row
            const std::string label = GetLangText("Unscheduled", "Not scheduled").toStdString();
            for (const UnscheduledTask& task : unscheduled_) {
                AppendUnscheduledRow(*rows, task, label);
                problems[std::string(task.row[scheduler::kColId])] = task.problem;
            }
        }
        taskList_->model().SetRowProblems(std::move(problems));
        taskList_->showRows(std::move(rows), none);
        tray_->SetHint(QString::fromStdString(build.hint));
    } catch (...) {
        // Only memory can fail here; the list keeps what it showed.
    }
}

bool TMainForm::ListIsEmpty() const {
    const auto& rows = taskList_->model().rows();
    return (scheduler_.current().table.taskRowCount == 0 && unscheduled_.empty()) || rows.empty() ||
           rows[0][kDispText] == GetLangText("None", "None").toStdString();
}

std::optional<DisplayRow> TMainForm::SelectedRow() const {
    const int row = taskList_->selectedRow();
    if (row < 0) return std::nullopt;
    return taskList_->model().rows()[static_cast<std::size_t>(row)];
}

void TMainForm::OpenEditor(const QString& mode, const std::string& taskId) {
    editorMode_ = mode;
    if (!taskId.empty()) scheduler_.currentTaskId() = taskId;
    if (ports_.openTaskEditor) ports_.openTaskEditor(*this, mode);
}

void TMainForm::NewBtnClick() {
    Guarded([this] { OpenEditor(kNewScheduledTask, {}); });
}

void TMainForm::EditBtnClick() {
    Guarded([this] {
        if (ListIsEmpty()) return;
        OpenEditor(kEditScheduledTask, std::string(SelectedRow()->at(kDispId)));
    });
}

void TMainForm::TaskListDblClick() {
    EditBtnClick();
}

void TMainForm::DelBtnClick() {
    Guarded([this] {
        if (ListIsEmpty()) return;
        const std::string id(SelectedRow()->at(kDispId));
        if (AskQuestion(GetLangText("DelBtnClick", "Confirm delete?")) != 1) return;
        ports_.store.DeleteTask(id);
        RebuildRunTable();
    });
}

void TMainForm::DelAllBtnClick() {
    Guarded([this] {
        if (ListIsEmpty()) return;
        if (AskQuestion(GetLangText("DelALLBtnClick", "Confirm delete all?")) != 1) return;
        ports_.store.DeleteAllTimedTasks();
        RebuildRunTable();
    });
}

void TMainForm::DeletePassed1Click() {
    Guarded([this] {
        if (ListIsEmpty()) return;
        // Only what the list shows: a passed task a filter hides stays.
        const auto& rows = taskList_->model().rows();
        const std::size_t scanned = std::min(rows.size(), scheduler_.current().table.taskRowCount);
        std::vector<std::string> passed;
        for (std::size_t i = 0; i < scanned; ++i)
            if (rows[i][kDispStatus] == kStatusPassed) passed.emplace_back(rows[i][kDispId]);
        if (passed.empty()) return;
        if (AskQuestion(GetLangText("DelBtnClick", "Confirm delete?")) != 1) return;
        for (const std::string& id : passed)
            ports_.store.DeleteTask(id);
        RebuildRunTable();
    });
}

void TMainForm::DeleteDisabled1Click() {
    Guarded([this] {
        if (ListIsEmpty()) return;
        const auto& rows = taskList_->model().rows();
        if (std::none_of(rows.begin(), rows.end(), [](const DisplayRow r) { return r[kDispEnabled] != "1"; }))
            return;
        if (AskQuestion(GetLangText("DelBtnClick", "Confirm delete?")) != 1) return;
        // Every disabled timed task, also those the list does not show.
        ports_.store.DeleteDisabledTimedTasks();
        RebuildRunTable();
    });
}

void TMainForm::Enabled1Click() {
    Guarded([this] {
        if (scheduler_.current().table.taskRowCount == 0 || !SelectedRow()) return;
        if (SelectedRow()->at(kDispStatus) == kStatusPassed)
            OpenEditor(kEditScheduledTask, std::string(SelectedRow()->at(kDispId)));
        else
            SwitchInPlace(true);
    });
}

void TMainForm::Disabled1Click() {
    Guarded([this] {
        if (scheduler_.current().table.taskRowCount == 0 || !SelectedRow()) return;
        if (SelectedRow()->at(kDispStatus) == kStatusPassed)
            OpenEditor(kEditScheduledTask, std::string(SelectedRow()->at(kDispId)));
        else
            SwitchInPlace(false);
    });
}

void TMainForm::TaskListMouseDown(int x) {
    Guarded([this, x] {
        if (scheduler_.current().table.taskRowCount == 0 || !SelectedRow()) return;
        const DisplayRow row = *SelectedRow();
        reselectTaskId_ = row[kDispId];
        if (x < kCheckBoxLeft || x > kCheckBoxRight) return;
        // A passed task comes back only with a new time, which the editor gives it.
        if (row[kDispStatus] == kStatusPassed)
            OpenEditor(kEditScheduledTask, std::string(row[kDispId]));
        else
            SwitchInPlace(row[kDispEnabled] != "1");
    });
}

void TMainForm::PopupMenu2Popup() {
    menus_.Enabled1->setEnabled(false);
    menus_.Disabled1->setEnabled(false);
    const std::optional<DisplayRow> row = SelectedRow();
    if (!row) return;
    if ((*row)[kDispStatus] == kStatusPassed) {
        menus_.Enabled1->setEnabled(true);
        return;
    }
    menus_.Enabled1->setEnabled((*row)[kDispEnabled] == "0");
    menus_.Disabled1->setEnabled((*row)[kDispEnabled] == "1");
}

void TMainForm::SwitchInPlace(bool enable) {
    const int listRow = taskList_->selectedRow();
    if (listRow < 0) return;
    const std::string id(taskList_->model().rows()[static_cast<std::size_t>(listRow)][kDispId]);
    // Changed in place until the delayed rebuild replaces the table.
    scheduler::RunTable& table = scheduler_.table();
    scheduler::TaskRow* task = scheduler::FindTaskRow(table.taskRows, id);
    if (!task) return;
    // The list shows the table's own rows, so a change to one is a change to both; a list with lines
    // added for unscheduled tasks is a copy, and the table's row changes with it.
    scheduler::DisplayRows& tableRows = *table.displayRows;
    const bool tableRowApart = !taskList_->model().Shows(tableRows) &&
                               static_cast<std::size_t>(listRow) < tableRows.size() &&
                               tableRows[static_cast<std::size_t>(listRow)][kDispId] == id;
    auto setCell = [&](std::size_t column, const std::string& value) {
        taskList_->model().SetCell(listRow, column, value);
        if (tableRowApart) tableRows.Set(static_cast<std::size_t>(listRow), column, value);
    };

    // Stored first: a locked or read-only file leaves the box, the row and the dispatcher's table as
    // they are, in step with what is stored.
    ports_.store.SetTaskEnabled(id, enable);
    reselectTaskId_ = id;
    const std::string state = enable ? "1" : "0";
    setCell(kDispEnabled, state);
    task->Set(scheduler::kColEnabled, state);
    setCell(kDispText, ToggledRowText(*task, ports_.listTexts));
    reGetCountdown_ = 5;
    if (!timers_.reGet.isActive()) timers_.reGet.start();
}

void TMainForm::reGetTimer() {
    // Counts down every 500 ms; each toggle starts the count again, so a burst of toggles rebuilds once.
    if (reGetCountdown_ > 0) {
        --reGetCountdown_;
        return;
    }
    timers_.reGet.stop();
    Guarded([this] {
        RefreshRunTable();
        SelectTask(reselectTaskId_);
    });
}

void TMainForm::SelectTask(const std::string& id) {
    const auto& rows = taskList_->model().rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!id.empty() && rows[i][kDispId] == id) {
            taskList_->selectRow(static_cast<int>(i));
            return;
        }
}

void TMainForm::SyncFilterChecks() {
    const scheduler::RunTableFilters& f = scheduler_.filters();
    menus_.HidePassed->setChecked(f.hidePassed);
    menus_.HideDisabled->setChecked(f.hideDisabled);
    menus_.HideLater->setChecked(f.hideLater);
}

void TMainForm::ApplyHideLaterCaption() {
    menus_.HideLater->setText(GetLangText("HideLater", "Hide pending days") + " > " +
                              QString::number(scheduler_.filters().hideDays));
}

void TMainForm::HidePassedClick() {
    Guarded([this] {
        bool& hide = scheduler_.filters().hidePassed;
        hide = !hide;
        SyncFilterChecks();
        ports_.settings.write(keys::kHidePassedTasks, hide);
        RebuildRunTable();
    });
}

void TMainForm::HideDisabledClick() {
    Guarded([this] {
        bool& hide = scheduler_.filters().hideDisabled;
        hide = !hide;
        SyncFilterChecks();
        ports_.settings.write(keys::kHideDisabledTasks, hide);
        RebuildRunTable();
    });
}

void TMainForm::HideLaterClick() {
    Guarded([this] {
        scheduler::RunTableFilters& f = scheduler_.filters();
        if (f.hideLater) {
            f.hideLater = false;
        } else {
            DayLimitDialog dialog(this, GetLangText("Button1Caption", "OK"),
                                  GetLangText("Button2Caption", "Cancel"));
            dayLimitDialog_ = &dialog;
            const std::optional<QString> entry = dialog.Ask(
                GetLangText("IpuntNumber", "Input number"),
                GetLangText("HowManyDay",
                            "The pending tasks after how many days from now in the list will be hided?") +
                    QString(21, QLatin1Char(' ')),
                f.hideDays);
            dayLimitDialog_ = nullptr;
            if (const std::optional<int> days = entry ? DayLimitOf(*entry) : std::nullopt) {
                f.hideLater = true;
                f.hideDays = *days;
                ApplyHideLaterCaption();
            }
        }
        SyncFilterChecks();
        ports_.settings.write(keys::kHideDistantTasks, f.hideLater);
        ports_.settings.write(keys::kDistantTaskDays, f.hideDays);
        RebuildRunTable();
    });
}

} // namespace orvanta::ui
