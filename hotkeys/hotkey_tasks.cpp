#include "hotkeys/hotkey_tasks.h"

#include "data/plain_text.h"
#include "data/task_store.h"
#include "hotkeys/hotkey_name.h"
#include "scheduler/task_row.h"

namespace orvanta::hotkeys {

using namespace scheduler;

namespace {

constexpr const char* kSeparator = " ---- ";
constexpr const char* kCheckBoxRoom = "           ";

} // namespace

HotkeyTasks::HotkeyTasks(HotkeyRegistrar& registrar, Dispatch dispatch, std::atomic<bool>& macroStopRequested)
    : registrar_(registrar), dispatch_(std::move(dispatch)), macroStopRequested_(macroStopRequested) {
    ResetList();
}

bool HotkeyTasks::listIsEmpty() const {
    return list_.empty() || list_.front()[kListText] == texts_.none;
}

void HotkeyTasks::ResetList() {
    list_.assign(1, HotkeyListRow{});
    list_.front()[kListText] = texts_.none;
    hints_.assign(1, std::string());
}

void HotkeyTasks::LoadHotkeyTasks(const data::TaskStore& store) {
    // The releases and the new registrations reach the desktop as one set; the batch ends however the
    // load does.
    struct Batch {
        HotkeyTasks& tasks;
        bool ended = false;
        explicit Batch(HotkeyTasks& t) : tasks(t) { tasks.registrar_.BeginBatch(); }
        void End() {
            ended = true;
            tasks.MarkRefused(tasks.registrar_.EndBatch());
        }
        ~Batch() {
            if (!ended) tasks.registrar_.EndBatch();
        }
    } batch(*this);
    if (count_ > 0) {
        for (const auto& row : list_)
            if (!row[kListName].empty()) registrar_.UnregisterTaskHotkey(row[kListName]);
    }
    ResetList();

    store.EnsureTaskTable();
    data::DataSet rows = store.ReadHotkeyTasks();
    std::vector<TaskRow> table;
    table.reserve(rows.rowCount());
    if (rows.rowCount() > 0) {
        const TaskRowReader reader(rows);
        for (rows.first(); !rows.eof(); rows.next()) {
            TaskRow row{};
            reader.Read(rows, row);
            row.Set(kColDueSeconds, "0");
            row.Set(kColStatus, "0");
            row.Set(kColDueKey, "0");
            table.push_back(std::move(row));
        }
    }
    count_ = table.size();
    table_ = std::move(table);
    if (table_.empty()) {
        batch.End();
        return;
    }

    // Enabled tasks first, so of two sharing a combination the enabled one gets it.
    list_.clear();
    hints_.clear();
    bool converted = true;
    for (int pass = 0; pass < 2 && converted; ++pass) {
        for (const auto& row : table_) {
            if ((row[kColEnabled] == "1") != (pass == 0)) continue;
            if (!(converted = ListRow(row))) break;
        }
    }
    if (list_.empty()) ResetList();
    batch.End();
}

bool HotkeyTasks::MarkRefusedLater(std::vector<platform::HotkeyRefusal> refused) {
    return MarkRefused(registrar_.NameRefusals(std::move(refused)));
}

bool HotkeyTasks::MarkRefused(const std::vector<HotkeyRegistrar::NamedRefusal>& refused) {
    bool marked = false;
    auto filled = [](std::string text, const std::string& detail) {
        const auto at = text.find("%s");
        return at == std::string::npos ? text : text.replace(at, 2, detail);
    };
    for (const auto& [name, refusal] : refused) {
        for (std::size_t i = 0; i < list_.size(); ++i) {
            if (list_[i][kListName] != name) continue;
            marked = true;
            list_[i][kListName].clear();
            list_[i][kListText].insert(std::string(kCheckBoxRoom).size(), texts_.registerFailed + kSeparator);
            using Why = platform::HotkeyRefusal::Why;
            hints_[i] = refusal.why == Why::AssignedOther    ? filled(texts_.assignedOther, refusal.detail)
                        : refusal.why == Why::DesktopRefused ? filled(texts_.desktopRefused, refusal.detail)
                                                             : texts_.notBound;
        }
    }
    return marked;
}

bool HotkeyTasks::ListRow(const TaskRow& row) {
    const auto combination = DecodeHotkey(row[kColHotkey1], row[kColHotkey2]);
    const auto loop = ParseDecimal(row[kColHkLoop]);
    if (!combination || !loop) return false;

    const bool enabled = row[kColEnabled] == "1";
    const std::string name = HotkeyName(row[kColHotkey1], row[kColHotkey2]);
    std::string state;
    std::string hint;
    bool registered = false;
    if (enabled) {
        const auto answer = registrar_.TakeTaskHotkey(name, combination->modifiers, combination->virtualKey);
        registered = answer == platform::HotkeyRegistration::Registered;
        if (!registered) {
            state = texts_.registerFailed + kSeparator;
            hint = answer == platform::HotkeyRegistration::Unavailable ? texts_.unavailable : texts_.taken;
        }
    }
    std::string title(data::Trimmed(row[kColTitle]));
    if (title.empty()) title = texts_.noTitle;

    HotkeyListRow item{};
    item[kListText] = kCheckBoxRoom + state + HotkeyKeyText(row[kColHotkey1], row[kColHotkey2]) + kSeparator;
    if (*loop >= 1) item[kListText] += texts_.repeat + ": " + std::to_string(*loop) + kSeparator;
    item[kListText] += title;
    item[kListId] = row[kColId];
    item[kListEnabled] = row[kColEnabled];
    item[kListCountdown] = row[kColCountdown];
    if (registered) item[kListName] = name;
    list_.push_back(std::move(item));
    hints_.push_back(std::move(hint));
    return true;
}

bool HotkeyTasks::HeldByAnotherProgram(const std::string& hotkey1, const std::string& hotkey2) {
    const auto combination = DecodeHotkey(hotkey1, hotkey2);
    if (!combination) return false;
    const std::string name = HotkeyName(hotkey1, hotkey2);
    for (const auto& item : list_)
        if (item[kListName] == name) return false;
    return registrar_.HeldByAnotherProgram(combination->modifiers, combination->virtualKey);
}

void HotkeyTasks::OnHotkeyPressed(unsigned modifiers, unsigned virtualKey) {
    if (!listIsEmpty()) {
        const std::string name = PressedHotkeyName(modifiers, virtualKey);
        for (const auto& row : list_) {
            if (row[kListName] == name) {
                // A copy: the dispatched task may reload the list under us.
                const std::string taskId = row[kListId];
                if (dispatch_) dispatch_(taskId, table_);
                break;
            }
        }
    }
    if (modifiers == kMacroStopModifiers && virtualKey == kMacroStopKey) macroStopRequested_.store(true);
}

} // namespace orvanta::hotkeys
