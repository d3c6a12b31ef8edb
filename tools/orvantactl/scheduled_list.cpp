#include "tools/orvantactl/scheduled_list.h"

#include "i18n/text_lookup.h"
#include "scheduler/run_table_rebuilder.h"
#include "tools/orvantactl/display_row_lines.h"

#include <string>

namespace orvanta::ctl {
namespace {

namespace keys = data::settings_keys;

// The texts are those of the program's own English; no language file is consulted.
template <typename Print>
std::vector<scheduler::RowProblem> Rebuild(const data::TaskStore& store, const platform::Clock& clock,
                                           const data::Settings& settings, Print print) {
    const i18n::EnglishTextLookup english;
    // Nothing is armed or run from here, so the list is made without the task rows.
    const scheduler::RunTableBuild build =
        scheduler::ListRunTable(store, clock, english, ReadListFilters(settings), std::string());
    print(build);
    return build.problems;
}

void Write(std::ostream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace

scheduler::RunTableFilters ReadListFilters(const data::Settings& settings) {
    scheduler::RunTableFilters filters;
    filters.hidePassed = settings.read(keys::kHidePassedTasks);
    filters.hideDisabled = settings.read(keys::kHideDisabledTasks);
    filters.hideLater = settings.read(keys::kHideDistantTasks);
    filters.hideDays = settings.read(keys::kDistantTaskDays);
    return filters;
}

std::vector<scheduler::RowProblem> ListScheduledTasks(const data::TaskStore& store,
                                                      const platform::Clock& clock,
                                                      const data::Settings& settings, std::ostream& out) {
    return Rebuild(store, clock, settings, [&out](const scheduler::RunTableBuild& build) {
        WriteDisplayRowLines(out, *build.table.displayRows);
    });
}

std::vector<scheduler::RowProblem> PrintUpcomingTask(const data::TaskStore& store,
                                                     const platform::Clock& clock,
                                                     const data::Settings& settings, std::ostream& out) {
    return Rebuild(store, clock, settings,
                   [&out](const scheduler::RunTableBuild& build) { Write(out, EscapedLine(build.hint)); });
}

} // namespace orvanta::ctl
