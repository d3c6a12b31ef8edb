#include "ui/macro_form_opener.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>
#include <chrono>

namespace orvanta::ui {

void OpenMacroRecorder(MacroFormPorts ports, QWidget* editor) {
    // The editor's macro field and its tick, found by the names the editor gives them.
    auto* file = editor ? editor->findChild<QLineEdit*>(QStringLiteral("Edit1")) : nullptr;
    auto* box = editor ? editor->findChild<QCheckBox*>(QStringLiteral("CheckBox8")) : nullptr;
    TMacroForm recorder(std::move(ports), file, box, editor);
    recorder.exec();
}

bool RunMacroFileDialog(FileDialogKind kind, QWidget* parent, const QString& filter, QString& fileName) {
    QFileDialog dialog(parent);
    // "description|pattern|description|pattern" becomes "description (pattern);;..."
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (kind == FileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The recorder asks its own question, after the extension has been added.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!fileName.isEmpty()) dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName = dialog.selectedFiles().front();
    return true;
}

void MinimizeApplication() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible()) window->showMinimized();
}

void RestoreApplication() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isMinimized()) window->showNormal();
}

std::uint32_t SteadyTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace orvanta::ui
