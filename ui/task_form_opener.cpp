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
                        *main.suiMessageDialog1(),
                        main.scheduler().currentTaskId()};
    host.scheduledRows = [&main] { return main.scheduler().current().table.taskRows; };
    host.rebuildRunTable = [&main] { main.RebuildRunTable(); };
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
    host.pickFile = PickExistingFile;
    host.launch = services.launch;
    host.openMacroRecorder = services.openMacroRecorder;
    return host;
}

QString PickExistingFile(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

} // namespace orvanta::ui
