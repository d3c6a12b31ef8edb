#include "platform/linux/linux_running_program.h"

#include "platform/linux/user_bus.h"

#include <cstring>
#include <systemd/sd-bus.h>

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
                                const std::function<int(sd_bus_message*)>& read) {
    if (!Connected()) return {Reply::Kind::kAbsent, "there is no session bus"};
    CallState s;
    int r = sd_bus_message_new_method_call(bus_.get(), &s.call, busName_.c_str(), names::kObjectPath,
                                           interface, method);
    // Asking must not start the program: the service file would, and a command line that finds none
    // works on the files itself.
    if (r >= 0) r = sd_bus_message_set_auto_start(s.call, 0);
    if (r >= 0) r = append(s.call);
    if (r < 0)
        return {Reply::Kind::kFailed, std::string("cannot ask the running program: ") + std::strerror(-r)};
    const auto limitUs = std::chrono::duration_cast<std::chrono::microseconds>(callLimit_).count();
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

std::optional<std::string> LinuxRunningProgram::dataFolder() {
    std::string folder;
    const Reply reply = Call(
        "org.freedesktop.DBus.Properties", "Get",
        [](sd_bus_message* m) { return sd_bus_message_append(m, "ss", names::kInterface, "DataFolder"); },
        [&](sd_bus_message* m) {
            const char* text = nullptr;
            const int r = sd_bus_message_read(m, "v", "s", &text);
            if (r >= 0) folder = text;
            return r;
        });
    if (!reply.done()) return std::nullopt;
    return folder;
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

} // namespace orvanta::platform::linux_backend
