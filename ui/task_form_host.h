#pragma once

#include "data/task_store.h"
#include "i18n/lang_mgr.h"
#include "platform/api/clock.h"
#include "platform/api/power_status.h"
#include "scheduler/run_table.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace orvanta::ui {

class ErrorBox;
class MessageDialog;

// What the task editor works with: the store it writes, the rows it loads from and the main window it
// refreshes. Every hook left empty is skipped.
struct TaskEditorHost {
    i18n::TLangMgr& languages;
    const platform::Clock& clock;
    const platform::PowerStatus& power;
    const data::TaskStore& store;
    ErrorBox& errors;
    MessageDialog& messageBox;
    // The selected task's ID as the opener left it; holds the saved ID during the refresh.
    std::string& currentTaskId;
    // The timed task with this ID, looked up where it is held: the editor loads one row, and copying a
    // table of tens of thousands to find it would freeze the window.
    std::function<std::optional<scheduler::TaskRow>(const std::string& id)> scheduledRow;
    // Every hotkey task, as the hotkey table holds them.
    std::function<const std::vector<scheduler::TaskRow>&()> hotkeyRows;
    // Whether another program holds a combination, given as the Hotkey1 and Hotkey2 columns store it.
    std::function<bool(const std::string& hotkey1, const std::string& hotkey2)> hotkeyHeldElsewhere;
    std::function<void()> rebuildRunTable;
    std::function<void()> reloadHotkeys;
    // Make the row with this ID current in its list and bring its tab to the front.
    std::function<void(const std::string& id)> selectScheduled;
    std::function<void(const std::string& id)> selectHotkey;
    std::function<void()> restoreMainWindow;
    // A file-open dialog for an existing file; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& filter)> pickFile;
    // Starts a "program | parameters" value now (the program dialog's Test).
    std::function<void(const std::string& launchValue)> launch;
    // The macro recorder; it fills the editor's macro field itself. Empty: the picker is disabled.
    std::function<void(QWidget* editor)> openMacroRecorder;
    // Instead of sleep, hibernate when the machine wakes from hibernation and has no battery to run down.
    std::function<bool()> prefersHibernate;
    // The settings lock as the editor is shown: false when the user cancelled the prompt.
    std::function<bool()> unlockOnShow;
};

} // namespace orvanta::ui
