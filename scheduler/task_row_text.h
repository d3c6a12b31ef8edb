#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::scheduler {

inline constexpr std::size_t kTaskColumnCount = 38;

// One timed or hotkey task as the dispatcher, the waiters and the editor read it: every column is text,
// integers in decimal as stored, hex columns decoded. The columns lie back to back in one text, so a
// table of tens of thousands of tasks costs one allocation a row, not one a column, and a rebuild that
// refills a row reuses its memory.
class TaskRow {
  public:
    // A column's text; valid until the row is next changed. Const, so that `row[c] = text` is refused
    // rather than quietly writing into a temporary: writes go through Set.
    const std::string_view operator[](std::size_t column) const {
        const std::uint32_t begin = Begin(column);
        return {text_.data() + begin, ends_[column] - begin};
    }
    // As operator[], raising std::out_of_range for a column beyond the last.
    const std::string_view at(std::size_t column) const;
    // value may be a column of this row.
    void Set(std::size_t column, std::string_view value);

    bool operator==(const TaskRow& other) const = default;

  private:
    friend class TaskRowFiller;

    std::uint32_t Begin(std::size_t column) const { return column == 0 ? 0 : ends_[column - 1]; }

    std::string text_;
    std::array<std::uint32_t, kTaskColumnCount> ends_{}; // where each column's text ends in text_
};

// Writes a row anew, column after column in ascending order; the columns not written are empty. This is
// how a read fills thousands of rows without moving any text twice.
class TaskRowFiller {
  public:
    explicit TaskRowFiller(TaskRow& row);
    // Ends the row even when filling stopped half-way (a column that did not decode): the row is then
    // whole, with the columns not reached empty.
    ~TaskRowFiller() { Finish(); }
    TaskRowFiller(const TaskRowFiller&) = delete;
    TaskRowFiller& operator=(const TaskRowFiller&) = delete;

    // The text to append the column's text to. column is at least that of the previous call.
    std::string& Column(std::size_t column);
    void Finish() noexcept { EndColumnsBefore(kTaskColumnCount); }

  private:
    void EndColumnsBefore(std::size_t column) noexcept;

    TaskRow& row_;
    std::size_t open_ = 0; // the column being written; those before it are ended
};

// The row whose ID is id; nullptr when none has it or id is empty.
const TaskRow* FindTaskRow(const std::vector<TaskRow>& rows, std::string_view id);
TaskRow* FindTaskRow(std::vector<TaskRow>& rows, std::string_view id);

} // namespace orvanta::scheduler
