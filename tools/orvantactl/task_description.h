#pragma once

#include "data/task_record.h"

#include <string>

namespace orvanta::ctl {

// Every column of the task, one "Name: value" line each in table order, codes followed by their
// meaning in brackets. Control characters in text (the line breaks of a message) are written as
// \n, \r, \t or \xHH so that each column stays on its line.
std::string DescribeTask(const data::TaskRecord& task);

} // namespace orvanta::ctl
