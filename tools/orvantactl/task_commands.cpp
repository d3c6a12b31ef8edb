#include "tools/orvantactl/task_commands.h"

#include "data/data_set.h"
#include "data/error.h"
#include "tools/orvantactl/task_description.h"

namespace orvanta::ctl {
namespace {

// Leaves the cursor on the task's row. Only that row is decoded, so a damaged row elsewhere does
// not stop work on this one.
data::DataSet FindTask(const data::TaskStore& store, const std::string& id) {
    data::DataSet rows = store.readAllTasks();
    for (; !rows.eof(); rows.next())
        if (rows.fieldAsText("ID") == id) return rows;
    throw Error("no task with ID " + id);
}

} // namespace

void AddTask(const data::TaskStore& store, const data::TaskRecord& task, std::ostream& out) {
    out << store.InsertTask(task) << '\n';
}

void ShowTask(const data::TaskStore& store, const std::string& id, std::ostream& out) {
    const data::DataSet row = FindTask(store, id);
    out << DescribeTask(data::ReadTaskRecord(row));
}

void SetTaskEnabled(const data::TaskStore& store, const std::string& id, bool enabled) {
    FindTask(store, id);
    store.SetTaskEnabled(id, enabled);
}

void DeleteTask(const data::TaskStore& store, const std::string& id) {
    FindTask(store, id);
    store.DeleteTask(id);
}

} // namespace orvanta::ctl
