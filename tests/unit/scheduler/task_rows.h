#pragma once

#include "data/data_set.h"
#include "data/task_record.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orvanta::scheduler::testing {

// A test with a folder of its own for task.db, removed afterwards.
class TaskFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string DatabasePath() const { return (dir_ / "task.db").string(); }

    std::filesystem::path dir_;
};

// A timed task with the editor's defaults: enabled, no repeat, end time 23:59:59.
data::TaskRecord Task(std::int64_t id, int dateMode, const std::string& time, const std::string& title = "T");

// One row as "SELECT * FROM tasklist" returns it: integers in decimal, text columns hex-encoded.
data::DataSet::Row RowOf(const data::TaskRecord& task);
// Replaces one column's stored text, for rows the editor would never write.
void SetStored(data::DataSet::Row& row, const std::string& column, const std::string& stored);

data::DataSet TimedRows(std::vector<data::DataSet::Row> rows);
data::DataSet TimedRows(const std::vector<data::TaskRecord>& tasks);

} // namespace orvanta::scheduler::testing
