#pragma once

#include "data/data_set.h"
#include "data/task_record.h"
#include "hotkeys/hotkey_registrar.h"
#include "hotkeys/hotkey_tasks.h"
#include "platform/fake/fake_desktop_features.h"
#include "platform/fake/fake_global_hotkeys.h"
#include "tests/ui/main_form_fixture.h"
#include "ui/hotkey_list_view.h"
#include "ui/hotkey_page.h"

#include <QTabWidget>
#include <QTest>

namespace orvanta::test {

inline constexpr unsigned kAlt = platform::kHotkeyAlt;
inline constexpr unsigned kCtrl = platform::kHotkeyControl;

// A main window on the fake platform whose hotkey tab is built as the program builds it, over fake
// global hotkeys; presses and editor openings are recorded.
class HotkeyPageTest : public MainFormTest {
  protected:
    platform::fake::FakeGlobalHotkeys globalHotkeys;
    hotkeys::HotkeyRegistrar registrar{globalHotkeys};
    std::atomic<bool> macroStopRequested{false};
    std::vector<std::string> dispatched;
    hotkeys::HotkeyTasks hotkeyTasks{
        registrar,
        [this](const std::string& id, const std::vector<scheduler::TaskRow>&) { dispatched.push_back(id); },
        macroStopRequested};
    ui::HotkeyPage* page = nullptr;
    std::vector<std::pair<QString, std::string>> hotkeyEditorOpenings;

    HotkeyPageTest() {
        globalHotkeys.setOnPressed(
            [this](int, unsigned modifiers, unsigned key) { hotkeyTasks.OnHotkeyPressed(modifiers, key); });
        hotkeyList = &hotkeyTasks;
        openTaskEditor = [this](ui::TMainForm& owner, const QString& mode) {
            hotkeyEditorOpenings.emplace_back(mode, owner.scheduler().currentTaskId());
        };
        // No task but the test's own.
        data::SeedTaskDatabase(store.path());
        store.DeleteAllHotkeyTasks();
        store.DeleteAllTimedTasks();
    }

    // The test's tasks, or the template database as a first start finds it.
    void StartWith(bool seedTemplate = false) {
        if (seedTemplate) {
            std::filesystem::remove(store.path());
            data::SeedTaskDatabase(store.path());
        }
        Start();
    }

    void Start() {
        MainFormTest::Start();
        page = form->hotkeyPage();
    }

    std::string AddHotkey(const std::string& title, int hotkey1, char key, bool enabled = true,
                          int hkLoop = 0) {
        data::TaskRecord t;
        t.title = title;
        t.dateMode = data::kHotkey;
        t.time = "9:00:00";
        t.endTime = "23:59:59";
        t.hotkey1 = hotkey1;
        t.hotkey2 = key;
        t.hkLoop = hkLoop;
        t.launch = "/bin/" + title;
        t.enabled = enabled ? 1 : 0;
        return store.InsertTask(t);
    }

    ui::HotkeyListView& List() const { return *page->hotkeylist(); }
    const std::vector<hotkeys::HotkeyListRow>& Rows() const { return List().model().rows(); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& row : Rows())
            texts.push_back(row[hotkeys::kListText]);
        return texts;
    }
    int RowOfHotkey(const std::string& id) const {
        for (std::size_t i = 0; i < Rows().size(); ++i)
            if (Rows()[i][hotkeys::kListId] == id) return static_cast<int>(i);
        return -1;
    }
    // A left click on a row, x pixels from the list's left edge.
    void ClickRow(int row, int x) {
        form->PageControl1()->setCurrentIndex(1);
        List().resize(400, 300);
        const QRect cell = List().visualRect(List().model().index(row, 0));
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, QPoint(x, cell.center().y()));
    }
    // Runs the delayed reload's timer the given number of times.
    void Tick(int times) {
        for (int i = 0; i < times; ++i)
            page->reGet_hkTimer();
    }
    bool StoredEnabled(const std::string& id) const {
        data::DataSet rows = store.ReadHotkeyTasks();
        for (; !rows.eof(); rows.next()) {
            const data::TaskRecord t = data::ReadTaskRecord(rows);
            if (std::to_string(t.id) == id) return t.enabled == 1;
        }
        ADD_FAILURE() << "no hotkey task " << id;
        return false;
    }
};

} // namespace orvanta::test
