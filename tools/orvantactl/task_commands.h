#pragma once

#include "data/task_record.h"
#include "data/task_store.h"

#include <ostream>
#include <string>

namespace orvanta::ctl {

// The commands on single tasks. Each raises orvanta::Error when no task has the ID, before it
// changes anything.

void AddTask(const data::TaskStore& store, const data::TaskRecord& task, std::ostream& out);
void ShowTask(const data::TaskStore& store, const std::string& id, std::ostream& out);
void SetTaskEnabled(const data::TaskStore& store, const std::string& id, bool enabled);
void DeleteTask(const data::TaskStore& store, const std::string& id);

} // namespace orvanta::ctl
