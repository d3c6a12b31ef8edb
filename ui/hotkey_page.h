#pragma once

#include "data/task_store.h"
#include "hotkeys/hotkey_tasks.h"
#include "i18n/text_lookup.h"
#include "platform/api/desktop_features.h"
#include "platform/api/global_hotkeys.h"

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace orvanta::ui {

class ErrorBox;
class HotkeyListView;
struct TaskEditorHost;

// What the hotkey tab works with and does not own.
struct HotkeyPagePorts {
    const data::TaskStore& store;
    hotkeys::HotkeyTasks& hotkeys;
    // The current language, looked up in the main window's section.
    const i18n::TextLookup& texts;
    ErrorBox& errors;
    // The main window's question box with its OK and Cancel; 1 for OK.
    std::function<int(const QString& question)> ask;
    // Opens the task editor modally in a hotkey mode, for the task with this ID (empty for a new one).
    std::function<void(const QString& editorMode, const std::string& taskId)> openEditor;
    // Whether this desktop lets the program have global hotkeys at all; nullptr: as if it does.
    const platform::DesktopFeatures* features = nullptr;
};

// The contents of the "Hotkey Actions" tab: the hotkey list with its check boxes, the toolbar and the
// delayed reload after a check-box click. Every command and the timer run inside the error guard.
class HotkeyPage : public QWidget {
    Q_OBJECT

  public:
    // Fills the tab sheet, which becomes the page's parent.
    HotkeyPage(QWidget* tabSheet, HotkeyPagePorts ports);

    // Loads and registers the hotkey tasks and shows them; the list follows also when the load fails,
    // and the error goes on to the caller.
    void LoadHotkeyTasks();
    // Shows as failed the rows whose combination the desktop refused in a bind that ended after the load.
    void ShowLateRefusals(std::vector<platform::HotkeyRefusal> refused);
    // Makes the row of the task current; false when the list has none.
    bool SelectHotkey(const std::string& id);

    void newBtn2Click();
    void EditBtn2Click();
    void DelBtn2Click();
    void DelAllBtn2Click();
    void ClearAllDisabled1Click();
    void hotkeylistDblClick();
    void hotkeylistMouseDown(int x);
    void reGet_hkTimer();

    hotkeys::HotkeyTasks& hotkeys() { return ports_.hotkeys; }
    HotkeyListView* hotkeylist() const { return list_; }
    QTimer& reGet_hk() { return reGetHk_; }
    const std::string& selectedHotkeyId() const { return selectedHotkeyId_; }

  private:
    QString Text(const char* key, const char* englishDefault) const;
    void ShowList();
    // The current row's cell, or empty when the list has no rows.
    std::string CurrentCell(std::size_t column) const;
    bool NoTasks() const { return ports_.hotkeys.hotkeyTaskCount() == 0; }
    template <typename Handler> void Guarded(Handler&& handler);

    HotkeyPagePorts ports_;
    QToolBar* toolBar_ = nullptr;
    QToolButton *newBtn_ = nullptr, *editBtn_ = nullptr, *delBtn_ = nullptr, *delAllBtn_ = nullptr;
    QMenu* delMenu_ = nullptr;
    QAction* clearDisabled_ = nullptr;
    HotkeyListView* list_ = nullptr;
    QTimer reGetHk_;
    int reGetHkTag_ = 0;
    std::string selectedHotkeyId_;
};

// Lets an editor opened over the main window read the hotkey table, reload the hotkey list after it has
// saved, and select the saved task there, bringing the hotkey tab to the front.
void ConnectEditorToHotkeyPage(TaskEditorHost& host, HotkeyPage& page, QTabWidget& tabs);

} // namespace orvanta::ui
