#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace orvanta::ui {

// Asks the user for a file: the chosen path, or empty when the dialog was cancelled.
using FileChooser = std::function<std::string()>;

// The file dialogs of the Tools menu's export and import. An empty one stands for the desktop's own.
struct BackupFileDialogs {
    FileChooser chooseExportFile;
    FileChooser chooseImportFile;
};

// The extension every task backup file carries.
inline constexpr const char* kBackupExtension = ".krlbak";

// The chosen name with the backup extension appended unless it already ends with it.
std::string WithBackupExtension(const std::string& chosen);

// Export and import of the whole task database as a backup file. A failure is raised as an error for
// the caller's guard to show.
class BackupCommands {
  public:
    struct Ports {
        std::string taskDatabase; // the path of task.db
        BackupFileDialogs dialogs;
        // Asks in the main window's question box; true for the first button.
        std::function<bool(const QString& question)> confirm;
        // The main window's text for a key, in the current language.
        std::function<QString(const char* key, const QString& english)> text;
        // Brings both task lists and the hotkey registrations in line with the task database.
        std::function<void()> reloadTasks;
    };

    explicit BackupCommands(Ports ports);

    // Tools > Export Tasks File.
    void Export1Click();
    // Tools > Import Tasks File.
    void Import1Click();

  private:
    Ports ports_;
};

// The desktop's own save and open dialogs, filtered to backup files.
BackupFileDialogs DesktopBackupFileDialogs(QWidget* owner);

} // namespace orvanta::ui
