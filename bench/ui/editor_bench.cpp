// How long the window's thread is busy opening the task editor on one task, and saving it, with a large
// task file behind the window. Not a test: it prints each figure beside its budget.
//   scripts/platform-test-env.sh build/bench/editor_bench [--gtest_filter=*86400*]
#include "data/sqlite_connection.h"
#include "data/task_statements.h"
#include "tests/ui/task_form_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace orvanta::test {
namespace {

// Processor time of the calling thread: what the user waits for, without the idle waits of the load
// timer in between.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class EditorBench : public TaskFormTest {
  protected:
    // Tasks of every kind, a tenth disabled, texts as the program stores them, in one transaction.
    std::vector<std::string> Fill(int count) {
        data::SqliteConnection db(store.path());
        std::vector<std::string> ids;
        data::InTransaction(db, [&] {
            for (int i = 1; i <= count; ++i) {
                data::TaskRecord t = Plain("Task number " + std::to_string(i));
                t.enabled = i % 10 != 0;
                t.dateMode = i % 5 + 1;
                t.time = std::to_string(i % 24) + ":" + std::to_string(10 + i % 50) + ":00";
                t.loop = i % 4 == 0 ? 30 : 0;
                t.launch = "/usr/bin/true | --flag";
                t.message = "Reminder text for the task";
                db.execute(data::sql::InsertStatement(t, 1'500'000'000 + i));
            }
        });
        // The enabled ones of these, each with its launch and message to load and save back.
        data::DataSet rows = store.readAllTasks();
        for (; !rows.eof(); rows.next()) {
            const data::TaskRecord t = data::ReadTaskRecord(rows);
            if (t.enabled && t.title.starts_with("Task number ")) ids.push_back(std::to_string(t.id));
        }
        return ids;
    }

    void Measure(int count, int runs) {
        const std::vector<std::string> ids = Fill(count);
        form->RebuildRunTable();
        std::vector<double> opens, saves;
        for (int run = 0; run < runs; ++run) {
            const std::string& id = ids[(ids.size() / runs) * run];
            const double before = ThreadCpuMs();
            auto editor = Open(ui::kModeEditScheduled, id);
            opens.push_back(ThreadCpuMs() - before);
            Control<QLineEdit>(*editor, "title")->setText(QString("Edited %1").arg(run));
            // A question would wait for an answer nobody gives: the figure would be meaningless.
            QTimer::singleShot(5000, [] {
                if (QWidget* question = QApplication::activeModalWidget()) {
                    ADD_FAILURE() << "a question stood in the way";
                    question->close();
                }
            });
            const double beforeSave = ThreadCpuMs();
            Click(*editor, "Button2");
            saves.push_back(ThreadCpuMs() - beforeSave);
            if (StoredTask(id).title != "Edited " + std::to_string(run)) ADD_FAILURE() << "not saved: " << id;
        }
        std::printf("%d tasks, %d runs: opening the editor on a task %.1f ms (budget at most 20 ms: %s); "
                    "saving it %.1f ms (budget at most 150 ms: %s); processor time of the window's thread, "
                    "medians\n",
                    count, runs, Median(opens), Median(opens) <= 20 ? "within" : "OVER", Median(saves),
                    Median(saves) <= 150 ? "within" : "OVER");
    }
};

TEST_F(EditorBench, At1000Tasks) {
    Measure(1000, 9);
}

TEST_F(EditorBench, At86400Tasks) {
    Measure(86400, 9);
}

} // namespace
} // namespace orvanta::test
