#include "ui/task_form_opener.h"

#include "ui/main_form.h"
#include "ui/task_list_view.h"

#include <QFileDialog>
#include <QTabWidget>

namespace orvanta::ui {

TaskEditorHost MakeTaskEditorHost(TMainForm& main, const TaskEditorServices& services) {
    TaskEditorHost host{services.languages,
                        services.clock,
                        services.power,
                        services.store,
                        services.errors,
                        main.QuestionBox(),
                        main.scheduler().currentTaskId()};
    // The tasks the rebuild could not schedule open too, so that they can be mended.
    host.scheduledRow = [&main](const std::string& id) -> std::optional<scheduler::TaskRow> {
        if (const auto* row = scheduler::FindTaskRow(main.scheduler().current().table.taskRows, id))
            return *row;
        for (const UnscheduledTask& task : main.unscheduledTasks())
            if (task.row[scheduler::kColId] == id) return task.row;
        return std::nullopt;
    };
    host.rebuildRunTable = [&main] { main.RefreshRunTable(); };
    host.selectScheduled = [&main](const std::string& id) {
        const auto& rows = main.TaskList()->model().rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (!id.empty() && rows[i][scheduler::kDispId] == id) {
                main.TaskList()->selectRow(static_cast<int>(i));
                main.PageControl1()->setCurrentIndex(0); // TabSheet1
                return;
            }
    };
    host.restoreMainWindow = [&main] {
        main.showNormal();
        main.raise();
        main.activateWindow();
    };
    host.unlockOnShow = [&main] { return main.UnlockForEditor(); };
    host.prefersHibernate = [&power = services.power] { return power.prefersHibernateToSleep(); };
    host.pickFile = [separator = main.pathSeparator()](QWidget* parent, const QString& filter) {
        return PickExistingFile(parent, filter, separator);
    };
    host.launch = services.launch;
    host.openMacroRecorder = services.openMacroRecorder;
    return host;
}

QString PickExistingFile(QWidget* parent, const QString& filter, char pathSeparator) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (pathSeparator == '\\') {
        dialog.setNameFilter(filter);
    } else if (filter == QLatin1String("*.exe")) {
        // No program here ends in ".exe": programs are the files one may run, whatever their names.
        dialog.setNameFilter(QFileDialog::tr("Programs (*)"));
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
    } else {
        // "*.*" would hide every file without a dot in its name.
        dialog.setNameFilter(QFileDialog::tr("All files (*)"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

} // namespace orvanta::ui
