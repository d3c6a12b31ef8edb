#pragma once

#include "ui/task_form_host.h"

namespace orvanta::ui {

class TMainForm;

// What the editor needs beyond the main window.
struct TaskEditorServices {
    i18n::TLangMgr& languages;
    const platform::Clock& clock;
    const platform::PowerStatus& power;
    const data::TaskStore& store;
    ErrorBox& errors;
    std::function<void(const std::string& launchValue)> launch;
    // The macro recorder over the editor; empty: the macro picker is disabled.
    std::function<void(QWidget* editor)> openMacroRecorder = {};
};

// The editor's view of the main window: its task rows, rebuild, selection and message box.
TaskEditorHost MakeTaskEditorHost(TMainForm& main, const TaskEditorServices& services);

// A file-open dialog for an existing file matching one of the editor's patterns, "*.exe" for programs
// or "*.*" for any file, as the desktop whose paths use that separator names such files; empty when
// cancelled.
QString PickExistingFile(QWidget* parent, const QString& filter, char pathSeparator);

} // namespace orvanta::ui
