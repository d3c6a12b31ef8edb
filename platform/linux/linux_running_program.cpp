#include "platform/linux/linux_running_program.h"

#include "platform/linux/user_bus.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

using Reply = RunningProgram::Reply;
namespace names = program_bus;

// Ends one message and one error, whatever way a call leaves.
struct CallState {
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~CallState() {
        sd_bus_message_unref(call);
        sd_bus_message_unref(reply);
        sd_bus_error_free(&error);
    }
};

bool NamedNobody(const sd_bus_error& error) {
    return sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
           sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER) ||
           sd_bus_error_has_name(&error, SD_BUS_ERROR_UNKNOWN_OBJECT);
}

int ReadStrings(sd_bus_message* m, std::vector<std::string>& into) {
    int r = sd_bus_message_enter_container(m, 'a', "s");
    if (r < 0) return r;
    const char* text = nullptr;
    while ((r = sd_bus_message_read(m, "s", &text)) > 0)
        into.emplace_back(text);
    if (r < 0) return r;
    return sd_bus_message_exit_container(m);
}

int ReadProblems(sd_bus_message* m, std::vector<RunningProgram::Problem>& into) {
    int r = sd_bus_message_enter_container(m, 'a', "(ss)");
    if (r < 0) return r;
    const char *id = nullptr, *problem = nullptr;
    while ((r = sd_bus_message_read(m, "(ss)", &id, &problem)) > 0)
        into.push_back({id, problem});
    if (r < 0) return r;
    return sd_bus_message_exit_container(m);
}

int NoArguments(sd_bus_message*) {
    return 0;
}

int NoAnswer(sd_bus_message*) {
    return 0;
}

// A copy busy for longer than this is stuck (stopped, or frozen in a dialog it cannot leave): asking it
// would hold a command or a second start for the whole call limit.
constexpr std::chrono::seconds kAtOnce{2};

} // namespace

LinuxRunningProgram::LinuxRunningProgram(std::string busName, std::chrono::milliseconds callLimit)
    : busName_(std::move(busName)), callLimit_(callLimit) {}

bool LinuxRunningProgram::Connected() {
    if (!tried_) {
        tried_ = true;
        sd_bus* bus = nullptr;
        if (OpenUserBus(&bus) >= 0) bus_.reset(bus);
    }
    return bus_ != nullptr;
}

Reply LinuxRunningProgram::Call(const char* interface, const char* method,
                                const std::function<int(sd_bus_message*)>& append,
                                const std::function<int(sd_bus_message*)>& read,
                                std::chrono::milliseconds limit) {
    if (!Connected()) return {Reply::Kind::kAbsent, "there is no session bus"};
    CallState s;
    const std::string& to = destination_.empty() ? busName_ : destination_;
    int r = sd_bus_message_new_method_call(bus_.get(), &s.call, to.c_str(), names::kObjectPath, interface,
                                           method);
    // Asking must not start the program: the service file would, and a command line that finds none
    // works on the files itself.
    if (r >= 0) r = sd_bus_message_set_auto_start(s.call, 0);
    if (r >= 0) r = append(s.call);
    if (r < 0)
        return {Reply::Kind::kFailed, std::string("cannot ask the running program: ") + std::strerror(-r)};
    const auto limitUs = std::chrono::duration_cast<std::chrono::microseconds>(limit).count();
    r = sd_bus_call(bus_.get(), s.call, static_cast<std::uint64_t>(limitUs), &s.error, &s.reply);
    if (r < 0) {
        if (NamedNobody(s.error)) return {Reply::Kind::kAbsent, {}};
        const std::string message = s.error.message ? s.error.message : std::strerror(-r);
        if (sd_bus_error_has_name(&s.error, names::kLockedError)) return {Reply::Kind::kRefused, message};
        // The program's own words for what went wrong (no such task, ...).
        if (sd_bus_error_has_name(&s.error, names::kFailedError)) return {Reply::Kind::kFailed, message};
        return {Reply::Kind::kFailed, "the running program did not answer: " + message};
    }
    if (read(s.reply) < 0) return {Reply::Kind::kFailed, "the running program's answer could not be read"};
    return {Reply::Kind::kDone, {}};
}

std::vector<std::string> LinuxRunningProgram::Copies() {
    std::vector<std::string> copies;
    CallState s;
    const int r = sd_bus_call_method(bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", "ListQueuedOwners", &s.error, &s.reply, "s",
                                     busName_.c_str());
    if (r >= 0 && ReadStrings(s.reply, copies) < 0) copies.clear();
    return copies;
}

bool LinuxRunningProgram::reachCopyOf(const std::string& dataFolder) {
    destination_.clear();
    if (!Connected()) return false;
    // Every copy takes the name or waits in line for it, whatever its data folder: the copy for this folder
    // may be any of them. A bus shared between users lets each see the others' copies; none is this user's.
    for (const std::string& copy : Copies()) {
        std::uint32_t uid = 0;
        if (CallState s; sd_bus_call_method(bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "GetConnectionUnixUser", &s.error,
                                            &s.reply, "s", copy.c_str()) < 0 ||
                         sd_bus_message_read(s.reply, "u", &uid) < 0 || uid != getuid())
            continue;
        destination_ = copy;
        std::string theirs;
        const Reply reply = Call(
            "org.freedesktop.DBus.Properties", "Get",
            [](sd_bus_message* m) { return sd_bus_message_append(m, "ss", names::kInterface, "DataFolder"); },
            [&](sd_bus_message* m) {
                const char* text = nullptr;
                const int r = sd_bus_message_read(m, "v", "s", &text);
                if (r >= 0) theirs = text;
                return r;
            },
            std::min<std::chrono::milliseconds>(callLimit_, kAtOnce));
        if (reply.done() && !theirs.empty() && SameFolder(theirs, dataFolder)) return true;
    }
    destination_.clear();
    return false;
}

Reply LinuxRunningProgram::rebuild(bool& deferred) {
    return Call(names::kInterface, "Rebuild", NoArguments, [&](sd_bus_message* m) {
        int done = 0;
        const int r = sd_bus_message_read(m, "b", &done);
        deferred = r >= 0 && !done;
        return r;
    });
}

Reply LinuxRunningProgram::listScheduled(std::vector<std::vector<std::string>>& rows,
                                         std::vector<Problem>& problems) {
    return Call(names::kInterface, "ListScheduled", NoArguments, [&](sd_bus_message* m) {
        int r = sd_bus_message_enter_container(m, 'a', "as");
        if (r < 0) return r;
        while ((r = sd_bus_message_at_end(m, 0)) == 0) {
            std::vector<std::string> row;
            if ((r = ReadStrings(m, row)) < 0) return r;
            rows.push_back(std::move(row));
        }
        if (r < 0 || (r = sd_bus_message_exit_container(m)) < 0) return r;
        return ReadProblems(m, problems);
    });
}

Reply LinuxRunningProgram::nextTask(std::string& hint, std::vector<Problem>& problems) {
    return Call(names::kInterface, "NextTask", NoArguments, [&](sd_bus_message* m) {
        const char* text = nullptr;
        int r = sd_bus_message_read(m, "s", &text);
        if (r < 0) return r;
        hint = text;
        return ReadProblems(m, problems);
    });
}

Reply LinuxRunningProgram::runTask(const std::string& id, std::vector<std::string>& actions) {
    return Call(
        names::kInterface, "RunTask",
        [&](sd_bus_message* m) { return sd_bus_message_append(m, "s", id.c_str()); },
        [&](sd_bus_message* m) { return ReadStrings(m, actions); });
}

Reply LinuxRunningProgram::showWindow() {
    return Call(names::kInterface, "ShowWindow", NoArguments, NoAnswer,
                std::min<std::chrono::milliseconds>(callLimit_, kAtOnce));
}

Reply LinuxRunningProgram::newTask() {
    return Call(names::kInterface, "NewTask", NoArguments, NoAnswer,
                std::min<std::chrono::milliseconds>(callLimit_, kAtOnce));
}

} // namespace orvanta::platform::linux_backend
