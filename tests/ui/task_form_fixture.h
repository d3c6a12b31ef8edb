#pragma once

#include "data/data_set.h"
#include "tests/ui/main_form_fixture.h"
#include "tests/ui/named_controls.h"
#include "ui/task_form.h"
#include "ui/task_form_opener.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimeEdit>
#include <set>

namespace orvanta::test {

// A main window on the fake platform and editors opened over it, not modally, so a test can work them.
class TaskFormTest : public MainFormTest {
  protected:
    std::vector<std::string> launched;
    QStringList pickedFilters;
    QString nextPick;
    std::vector<scheduler::TaskRow> hotkeyRows;
    std::set<std::string> heldByOthers; // "Hotkey1/Hotkey2" as stored

    void SetUp() override {
        data::SeedTaskDatabase(store.path());
        Start();
    }

    ui::TaskEditorHost Host() {
        ui::TaskEditorHost host =
            ui::MakeTaskEditorHost(*form, {*languages, clock, power, store, errors,
                                           [this](const std::string& v) { launched.push_back(v); }});
        host.pickFile = [this](QWidget*, const QString& filter) {
            pickedFilters << filter;
            return nextPick;
        };
        host.hotkeyRows = [this]() -> const std::vector<scheduler::TaskRow>& { return hotkeyRows; };
        host.hotkeyHeldElsewhere = [this](const std::string& hotkey1, const std::string& hotkey2) {
            return heldByOthers.count(hotkey1 + "/" + hotkey2) > 0;
        };
        return host;
    }

    std::unique_ptr<ui::TTaskForm> Open(const char* mode, const std::string& id = {}) {
        form->scheduler().currentTaskId() = id;
        auto editor = std::make_unique<ui::TTaskForm>(Host(), QString::fromLatin1(mode));
        editor->show();
        WaitUntilLoaded(*editor); // the load is over
        return editor;
    }

    std::vector<data::TaskRecord> Stored() const {
        std::vector<data::TaskRecord> all;
        data::DataSet rows = store.readAllTasks();
        for (; !rows.eof(); rows.next())
            all.push_back(data::ReadTaskRecord(rows));
        return all;
    }
    data::TaskRecord StoredTask(const std::string& id) const {
        for (const auto& t : Stored())
            if (std::to_string(t.id) == id) return t;
        ADD_FAILURE() << "no task " << id;
        return {};
    }

    // The task row the run table or the hotkey table holds for a stored task.
    static scheduler::TaskRow RowOf(const data::TaskRecord& t) {
        using namespace scheduler;
        TaskRow row{};
        auto n = [](long long v) { return std::to_string(v); };
        row.Set(kColId, n(t.id));
        row.Set(kColEnabled, n(t.enabled));
        row.Set(kColTitle, t.title);
        row.Set(kColDateMode, n(t.dateMode));
        row.Set(kColYear, n(t.year));
        row.Set(kColMonth, n(t.month));
        row.Set(kColDay, n(t.day));
        const long long days[] = {t.sun, t.mon, t.tue, t.wed, t.thu, t.fri, t.sat};
        for (std::size_t i = 0; i < 7; ++i)
            row.Set(kColSun + i, n(days[i]));
        row.Set(kColTime, t.time);
        row.Set(kColCountdown, n(t.countdown));
        row.Set(kColEvent, n(t.event));
        row.Set(kColMacro, t.macro);
        row.Set(kColLaunch, t.launch);
        row.Set(kColTerminate, t.terminate);
        row.Set(kColOpenFile, t.openFile);
        row.Set(kColOpenUrl, t.openUrl);
        row.Set(kColMessage, t.message);
        row.Set(kColLoop, n(t.loop));
        row.Set(kColEndTime, t.endTime);
        row.Set(kColHotkey1, n(t.hotkey1));
        row.Set(kColHotkey2, n(t.hotkey2));
        row.Set(kColHkLoop, n(t.hkLoop));
        return row;
    }

    // A record as the editor would write it for the same controls, with the defaults of today.
    static data::TaskRecord Plain(const std::string& title) {
        data::TaskRecord t;
        t.title = title;
        t.dateMode = data::kDaily;
        t.year = 2025, t.month = 3, t.day = 7;
        t.mon = t.tue = t.wed = t.thu = t.fri = 1;
        t.time = "9:30:00";
        t.endTime = "23:59:59";
        t.hotkey2 = 47;
        return t;
    }
};

} // namespace orvanta::test
