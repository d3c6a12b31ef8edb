#pragma once

#include "hotkeys/hotkey_registrar.h"
#include "scheduler/run_table.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace orvanta::data {
class TaskStore;
}

namespace orvanta::hotkeys {

using scheduler::TaskRow;

// One row of the hotkey list: display text, empty, Id, Enabled, empty, Countdown, empty, and the
// registered name (empty while the combination is not registered).
using HotkeyListRow = std::array<std::string, 8>;
inline constexpr std::size_t kListText = 0;
inline constexpr std::size_t kListId = 2;
inline constexpr std::size_t kListEnabled = 3;
inline constexpr std::size_t kListCountdown = 5;
inline constexpr std::size_t kListName = 7;

// The localized words of the list; the UI fills them from the language file.
struct HotkeyTexts {
    std::string none = "None";
    std::string noTitle = "No title";
    std::string registerFailed = "Register failed";
    std::string repeat = "Repeat";
    // Why a combination was not registered: the hint of its row.
    std::string taken = "Another program, or another task listed above, holds this combination.";
    std::string unavailable = "There is no keyboard to take hotkeys from.";
    std::string notBound = "The desktop did not bind this shortcut.";
    // %s: the trigger the desktop chose.
    std::string assignedOther = "The desktop bound this shortcut to %s instead.";
    // %s: the desktop's answer.
    std::string desktopRefused = "The desktop refused the shortcuts: %s";
};

// The hotkey tasks in memory, their list and their registrations, plus the handler of a pressed
// combination. Lives on the GUI thread.
class HotkeyTasks {
  public:
    // Runs the task of a pressed combination, given its Id and the whole HotkeyTable.
    using Dispatch = std::function<void(const std::string& taskId, const std::vector<TaskRow>& hotkeyRows)>;

    HotkeyTasks(HotkeyRegistrar& registrar, Dispatch dispatch, std::atomic<bool>& macroStopRequested);

    void setTexts(HotkeyTexts texts) { texts_ = std::move(texts); }

    // Unregisters the previous combinations, reads every hotkey task, rebuilds the table and the list and
    // registers the enabled tasks' combinations. A store error propagates and leaves the list empty with
    // nothing registered.
    void LoadHotkeyTasks(const data::TaskStore& store);

    // The hotkey message: the modifier set and the virtual-key code as the system reports them.
    void OnHotkeyPressed(unsigned modifiers, unsigned virtualKey);

    // Marks the rows whose combination the desktop did not keep in a bind that ended after the load that
    // asked for it; true when a row changed, so the list is to be shown again.
    bool MarkRefusedLater(std::vector<platform::HotkeyRefusal> refused);

    // Whether another program holds the stored combination. One that this program holds for a listed task
    // is not asked about: the list already marks a task whose combination could not be taken.
    bool HeldByAnotherProgram(const std::string& hotkey1, const std::string& hotkey2);

    const std::vector<TaskRow>& table() const { return table_; }
    std::vector<TaskRow>& table() { return table_; }
    const std::vector<HotkeyListRow>& list() const { return list_; }
    std::vector<HotkeyListRow>& list() { return list_; }
    // One hint per list row: why its combination was not registered, empty where nothing failed.
    const std::vector<std::string>& hints() const { return hints_; }
    std::size_t hotkeyTaskCount() const { return count_; }
    // True while the list holds only its "None" row.
    bool listIsEmpty() const;

  private:
    void ResetList();
    // Lists one task and registers it when enabled; false when a number column does not convert.
    bool ListRow(const TaskRow& row);
    // Marks the rows whose registration the desktop did not keep when it bound them together; true when
    // one was still registered.
    bool MarkRefused(const std::vector<HotkeyRegistrar::NamedRefusal>& refused);

    HotkeyRegistrar& registrar_;
    Dispatch dispatch_;
    std::atomic<bool>& macroStopRequested_;
    HotkeyTexts texts_;
    std::vector<TaskRow> table_;
    std::vector<HotkeyListRow> list_;
    std::vector<std::string> hints_;
    std::size_t count_ = 0;
};

} // namespace orvanta::hotkeys
