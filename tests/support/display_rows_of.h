#pragma once

#include "scheduler/display_rows.h"

#include <array>
#include <string>
#include <vector>

namespace orvanta::test {

// A display row spelt out column by column, as a test writes one.
using DisplayCells = std::array<std::string, scheduler::kDisplayColumnCount>;

inline scheduler::DisplayRows DisplayRowsOf(const std::vector<DisplayCells>& rows) {
    scheduler::DisplayRows out;
    for (const DisplayCells& row : rows) {
        scheduler::DisplayRows::Cells cells;
        for (std::size_t c = 0; c < row.size(); ++c)
            cells[c] = row[c];
        out.Append(cells);
    }
    return out;
}

} // namespace orvanta::test
