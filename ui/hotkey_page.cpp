#include "ui/hotkey_page.h"

#include "ui/error_box.h"
#include "ui/flat_check_box.h"
#include "ui/hotkey_list_view.h"
#include "ui/task_form.h"
#include "ui/task_form_host.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orvanta::ui {

using hotkeys::HotkeyListRow;
using hotkeys::kListEnabled;
using hotkeys::kListId;
using hotkeys::kListText;

namespace {

// The tab's buttons show no hints, so none is set.
QToolButton* ToolButton(QToolBar* bar, const char* name, const char* caption) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(QString::fromUtf8(caption));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

} // namespace

HotkeyPage::HotkeyPage(QWidget* tabSheet, HotkeyPagePorts ports)
    : QWidget(tabSheet), ports_(std::move(ports)) {
    setObjectName("HotkeyPage");
    auto* sheetLayout = new QVBoxLayout(tabSheet);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    sheetLayout->addWidget(this);

    auto* layout = new QVBoxLayout(this);
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("ToolBar2");
    newBtn_ = ToolButton(toolBar_, "newBtn2", "Add");
    editBtn_ = ToolButton(toolBar_, "EditBtn2", "Modify");
    delBtn_ = ToolButton(toolBar_, "DelBtn2", "Delete");
    delMenu_ = new QMenu(delBtn_);
    delMenu_->setObjectName("suiPopupMenu1");
    clearDisabled_ = delMenu_->addAction(QStringLiteral("Clear Disabled"));
    clearDisabled_->setObjectName("ClearAllDisabled1");
    delBtn_->setMenu(delMenu_);
    delBtn_->setPopupMode(QToolButton::MenuButtonPopup);
    delAllBtn_ = ToolButton(toolBar_, "DelAllBtn2", "Empty");
    layout->addWidget(toolBar_);
    list_ = new HotkeyListView(this);
    layout->addWidget(list_, 1);

    reGetHk_.setObjectName("reGet_hk");
    reGetHk_.setInterval(500);

    connect(newBtn_, &QToolButton::clicked, this, &HotkeyPage::newBtn2Click);
    connect(editBtn_, &QToolButton::clicked, this, &HotkeyPage::EditBtn2Click);
    connect(delBtn_, &QToolButton::clicked, this, &HotkeyPage::DelBtn2Click);
    connect(delAllBtn_, &QToolButton::clicked, this, &HotkeyPage::DelAllBtn2Click);
    connect(clearDisabled_, &QAction::triggered, this, &HotkeyPage::ClearAllDisabled1Click);
    connect(list_, &HotkeyListView::mousePressedAt, this, &HotkeyPage::hotkeylistMouseDown);
    connect(list_, &QAbstractItemView::doubleClicked, this, &HotkeyPage::hotkeylistDblClick);
    connect(&reGetHk_, &QTimer::timeout, this, &HotkeyPage::reGet_hkTimer);
    const bool editorThere = bool(ports_.openEditor);
    newBtn_->setEnabled(editorThere);
    editBtn_->setEnabled(editorThere);

    ShowList();
}

template <typename Handler> void HotkeyPage::Guarded(Handler&& handler) {
    RunGuarded(ports_.errors, handler);
}

QString HotkeyPage::Text(const char* key, const char* englishDefault) const {
    return QString::fromStdString(ports_.texts.text("TMainForm", key, englishDefault));
}

void HotkeyPage::LoadHotkeyTasks() {
    hotkeys::HotkeyTexts texts;
    texts.none = Text("None", "None").toStdString();
    texts.noTitle = Text("NoTitle", "No title").toStdString();
    texts.registerFailed = Text("RegFailed", "Register failed").toStdString();
    texts.repeat = Text("Loop", "Repeat").toStdString();
    texts.taken =
        Text("HotkeyTaken", "Another program, or another task listed above, holds this combination.")
            .toStdString();
    texts.notBound = Text("HotkeyNotBound", "The desktop did not bind this shortcut.").toStdString();
    texts.assignedOther =
        Text("HotkeyAssignedOther", "The desktop bound this shortcut to %s instead.").toStdString();
    texts.desktopRefused =
        Text("HotkeyDesktopRefused", "The desktop refused the shortcuts: %s").toStdString();
    if (ports_.features) {
        const platform::FeatureAnswer hotkeys =
            ports_.features->answer(platform::DesktopFeature::GlobalHotkeys);
        if (!hotkeys.available)
            texts.unavailable = Text(hotkeys.reasonKey.c_str(), hotkeys.reason.c_str()).toStdString();
    }
    ports_.hotkeys.setTexts(std::move(texts));
    // A failed read leaves the "None" list, which is shown before the error goes on.
    struct ListFollows {
        HotkeyPage& page;
        ~ListFollows() { page.ShowList(); }
    } follow{*this};
    ports_.hotkeys.LoadHotkeyTasks(ports_.store);
}

void HotkeyPage::ShowList() {
    const int previous = list_->currentIndex().isValid() ? list_->currentIndex().row() : 0;
    list_->model().SetRows(ports_.hotkeys.list(), ports_.hotkeys.hotkeyTaskCount() > 0,
                           ports_.hotkeys.hints());
    list_->selectRow(std::min(previous, list_->model().rowCount() - 1));
}

void HotkeyPage::ShowLateRefusals(std::vector<platform::HotkeyRefusal> refused) {
    if (ports_.hotkeys.MarkRefusedLater(std::move(refused))) ShowList();
}

bool HotkeyPage::SelectHotkey(const std::string& id) {
    const auto& rows = list_->model().rows();
    bool found = false;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!id.empty() && rows[i][kListId] == id) {
            list_->selectRow(static_cast<int>(i));
            found = true;
        }
    return found;
}

std::string HotkeyPage::CurrentCell(std::size_t column) const {
    const int row = list_->currentRow();
    return row < 0 ? std::string() : list_->model().rows()[row][column];
}

void HotkeyPage::newBtn2Click() {
    Guarded([this] {
        if (ports_.openEditor) ports_.openEditor(kModeNewHotkey, {});
    });
}

void HotkeyPage::EditBtn2Click() {
    Guarded([this] {
        if (NoTasks() || !ports_.openEditor) return;
        ports_.openEditor(kModeEditHotkey, CurrentCell(kListId));
    });
}

void HotkeyPage::hotkeylistDblClick() {
    EditBtn2Click();
}

void HotkeyPage::DelBtn2Click() {
    Guarded([this] {
        if (NoTasks()) return;
        const std::string id = CurrentCell(kListId);
        if (ports_.ask(Text("DelBtnClick", "Confirm delete?")) != 1) return;
        ports_.store.DeleteTask(id);
        LoadHotkeyTasks();
    });
}

void HotkeyPage::DelAllBtn2Click() {
    Guarded([this] {
        if (NoTasks()) return;
        if (ports_.ask(Text("DelALLBtnClick", "Confirm delete all?")) != 1) return;
        ports_.store.DeleteAllHotkeyTasks();
        LoadHotkeyTasks();
    });
}

void HotkeyPage::ClearAllDisabled1Click() {
    Guarded([this] {
        if (NoTasks() || ports_.hotkeys.listIsEmpty()) return;
        const auto& rows = list_->model().rows();
        if (std::none_of(rows.begin(), rows.end(),
                         [](const HotkeyListRow& r) { return r[kListEnabled] != "1"; }))
            return;
        if (ports_.ask(Text("DelBtnClick", "Confirm delete?")) != 1) return;
        ports_.store.DeleteDisabledHotkeyTasks();
        LoadHotkeyTasks();
    });
}

void HotkeyPage::hotkeylistMouseDown(int x) {
    Guarded([this, x] {
        const int row = list_->currentRow();
        if (NoTasks() || row < 0) return;
        const std::string id = list_->model().rows()[row][kListId];
        selectedHotkeyId_ = id;
        if (x >= kCheckBoxLeft && x <= kCheckBoxRight && list_->selectionIsCurrentRow()) {
            const bool enable = list_->model().rows()[row][kListEnabled] != "1";
            const std::string state = enable ? "1" : "0";
            // The list and the table show the new state at once; the registrations follow at the reload.
            // Stored first: a box the store refused to change keeps showing what is stored.
            for (scheduler::TaskRow& task : ports_.hotkeys.table()) {
                if (task[scheduler::kColId] != id) continue;
                ports_.store.SetTaskEnabled(id, enable);
                list_->model().SetCell(row, kListEnabled, state);
                ports_.hotkeys.list()[row][kListEnabled] = state;
                task.Set(scheduler::kColEnabled, state);
            }
        }
        // Every press in the list starts the wait again, so a burst of clicks reloads once.
        reGetHkTag_ = 5;
        reGetHk_.start();
    });
}

void HotkeyPage::reGet_hkTimer() {
    Guarded([this] {
        if (reGetHkTag_ > 0) {
            --reGetHkTag_;
            return;
        }
        reGetHk_.stop();
        LoadHotkeyTasks();
        SelectHotkey(selectedHotkeyId_);
    });
}

void ConnectEditorToHotkeyPage(TaskEditorHost& host, HotkeyPage& page, QTabWidget& tabs) {
    host.hotkeyRows = [&page]() -> const std::vector<scheduler::TaskRow>& { return page.hotkeys().table(); };
    host.hotkeyHeldElsewhere = [&page](const std::string& hotkey1, const std::string& hotkey2) {
        return page.hotkeys().HeldByAnotherProgram(hotkey1, hotkey2);
    };
    host.reloadHotkeys = [&page] { page.LoadHotkeyTasks(); };
    host.selectHotkey = [&page, &tabs](const std::string& id) {
        if (page.SelectHotkey(id)) tabs.setCurrentWidget(page.parentWidget());
    };
}

} // namespace orvanta::ui
