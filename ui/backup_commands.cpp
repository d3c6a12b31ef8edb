#include "ui/backup_commands.h"

#include "data/error.h"
#include "data/task_store.h"

#include <QFile>
#include <QFileDialog>
#include <QTemporaryFile>
#include <filesystem>

namespace orvanta::ui {
namespace {

namespace fs = std::filesystem;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// The copy is made beside the file and moved over it only when complete: whatever the file held before,
// a database or not, it is either replaced whole or left as it was.
void WriteCopyOver(const std::string& database, const std::string& file) {
    QTemporaryFile placeholder(QFile::decodeName(file.c_str()) + QStringLiteral(".XXXXXX"));
    placeholder.setAutoRemove(false);
    if (!placeholder.open()) throw Error("Could not create the file " + file);
    const std::string partial = QFile::encodeName(placeholder.fileName()).toStdString();
    placeholder.close();
    try {
        data::CopyDatabase(database, partial);
        std::error_code ec;
        fs::rename(partial, file, ec);
        if (ec) throw Error("Could not write the file " + file + ": " + ec.message());
    } catch (...) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        throw;
    }
}

std::string LocalPath(const QString& chosen) {
    return chosen.isEmpty() ? std::string() : QFile::encodeName(chosen).toStdString();
}

} // namespace

std::string WithBackupExtension(const std::string& chosen) {
    return EndsWith(chosen, kBackupExtension) ? chosen : chosen + kBackupExtension;
}

BackupCommands::BackupCommands(Ports ports) : ports_(std::move(ports)) {}

void BackupCommands::Export1Click() {
    const std::string chosen = ports_.dialogs.chooseExportFile();
    if (chosen.empty()) return;
    const std::string file = WithBackupExtension(chosen);
    if (Exists(file) &&
        !ports_.confirm(ports_.text("TskExist", "The file exists! Do you want to rewrite it?")))
        return;
    WriteCopyOver(ports_.taskDatabase, file);
}

void BackupCommands::Import1Click() {
    const std::string file = ports_.dialogs.chooseImportFile();
    if (file.empty()) return;
    // Copying anything else over the task database would lose every task for nothing.
    if (!data::IsTaskDatabase(file))
        throw Error(ports_
                        .text("NoTaskFile", "This file is not an Orvanta tasks file. Your tasks were left "
                                            "as they were.")
                        .toStdString());
    if (!ports_.confirm(ports_.text("Import", "Confirm import?"))) return;
    // The database copied onto itself is already what the import would make of it.
    if (!SameFile(file, ports_.taskDatabase)) data::CopyDatabase(file, ports_.taskDatabase);
    ports_.reloadTasks();
}

BackupFileDialogs DesktopBackupFileDialogs(QWidget* owner) {
    const QString filter = QStringLiteral("*.krlbak");
    return {
        [owner, filter] {
            // The overwrite question is ours, asked once the extension is in place.
            return LocalPath(QFileDialog::getSaveFileName(owner, QString(), QString(), filter, nullptr,
                                                          QFileDialog::DontConfirmOverwrite));
        },
        [owner, filter] {
            return LocalPath(QFileDialog::getOpenFileName(owner, QString(), QString(), filter));
        },
    };
}

} // namespace orvanta::ui
