#include "tools/orvantactl/run_task.h"

#include "scheduler/run_now.h"

namespace orvanta::ctl {
namespace {

// The close permission matters only to a running main window.
class NoMainWindow : public scheduler::CloseAllowance {
  public:
    void AllowClose() override {}
};

} // namespace

void RunTaskNow(const data::TaskStore& store, const std::string& id, scheduler::TaskActions& actions,
                const platform::Clock& clock, std::ostream& out) {
    NoMainWindow window;
    scheduler::RunTaskNow(store, id, actions, window, clock, [&out](const std::string& what) {
        out << "run: " << what << '\n' << std::flush;
    });
}

} // namespace orvanta::ctl
