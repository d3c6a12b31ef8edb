#pragma once

#include "data/task_record.h"

#include <cstdint>
#include <string>

// The statement texts of the task store. They are part of the file format's contract with older
// copies of the program, so every blank and semicolon is deliberate.
namespace orvanta::data::sql {

inline constexpr const char* kTableName = "tasklist";

// The creation statement; the template database holds it without "IF NOT EXISTS" and the final ";".
std::string CreateTableStatement();
std::string TemplateCreateTableStatement();

std::string FindTableQuery();
std::string ReadTimedTasksQuery(bool hideDisabled);
// The row of the timed-task query with this ID.
std::string ReadTimedTaskQuery(const std::string& id, bool hideDisabled);
// 1 when that query puts the first task before the second.
std::string TimedTaskSortsBeforeQuery(const std::string& id, const std::string& otherId);
// How many triggers, views, indexes and tables besides the task table the file holds (SQLite's own
// bookkeeping tables aside).
std::string ObjectsBeyondTaskTableQuery();
std::string ReadHotkeyTasksQuery();
std::string InsertStatement(const TaskRecord& task, std::int32_t last);
std::string NewestIdQuery();
std::string UpdateStatement(const std::string& id, const TaskRecord& task, std::int32_t last);
std::string UpdateKeepOrderStatement(const std::string& id, const TaskRecord& task);
std::string SetEnabledStatement(const std::string& id, bool enabled);
std::string DeleteStatement(const std::string& id);
std::string DeleteAllTimedStatement();
std::string DeleteDisabledTimedStatement();
std::string DeleteAllHotkeyStatement();
std::string DeleteDisabledHotkeyStatement();
std::string DuplicateStatement(const std::string& id);
std::string PostponeUpdateStatement(const std::string& newTitle, int year, int month, int day,
                                    const std::string& time, std::int32_t last);

} // namespace orvanta::data::sql
