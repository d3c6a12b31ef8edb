#include "tests/platform_actions/bus_mock.h"

#include "platform/linux/actions/bus_requests.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <thread>

extern char** environ;

namespace orvanta::test {
namespace lb = platform::linux_backend;
namespace {

constexpr const char* kMockInterface = "org.freedesktop.DBus.Mock";
constexpr auto kCallTimeout = std::chrono::seconds(5);

// Reads one variant's value as text; false on a type this reader does not know.
bool readVariant(sd_bus_message* m, std::string& text) {
    char type = 0;
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(m, &type, &contents) <= 0 || type != 'v') return false;
    if (sd_bus_message_enter_container(m, 'v', contents) < 0) return false;
    bool ok = true;
    switch (contents[0]) {
    case 'b': {
        int value = 0;
        ok = sd_bus_message_read_basic(m, 'b', &value) > 0;
        text = value ? "true" : "false";
        break;
    }
    case 'u': {
        uint32_t value = 0;
        ok = sd_bus_message_read_basic(m, 'u', &value) > 0;
        text = std::to_string(value);
        break;
    }
    case 'i': {
        int32_t value = 0;
        ok = sd_bus_message_read_basic(m, 'i', &value) > 0;
        text = std::to_string(value);
        break;
    }
    case 's':
    case 'o': {
        const char* value = nullptr;
        ok = sd_bus_message_read_basic(m, contents[0], &value) > 0;
        text = value ? value : "";
        break;
    }
    default:
        ok = false;
    }
    return ok && sd_bus_message_exit_container(m) >= 0;
}

} // namespace

BusMock::BusMock(std::string service, std::string path, Bus bus)
    : service_(std::move(service)), path_(std::move(path)),
      bus_(bus == Bus::System ? lb::OpenSystemBus(kCallTimeout) : lb::OpenSessionBus(kCallTimeout)) {}

bool BusMock::present() const {
    return lb::NameHasOwner(bus_.get(), service_.c_str());
}

std::optional<std::vector<BusMock::Arguments>> BusMock::methodCalls(const std::string& method) const {
    if (!bus_) return std::nullopt;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int called = sd_bus_call_method(bus_.get(), service_.c_str(), path_.c_str(), kMockInterface,
                                          "GetMethodCalls", &error, &reply, "s", method.c_str());
    sd_bus_error_free(&error);
    if (called < 0) return std::nullopt;
    std::vector<Arguments> calls;
    bool ok = sd_bus_message_enter_container(reply, 'a', "(tav)") >= 0;
    while (ok && sd_bus_message_enter_container(reply, 'r', "tav") > 0) {
        uint64_t when = 0;
        Arguments arguments;
        ok = sd_bus_message_read_basic(reply, 't', &when) > 0 &&
             sd_bus_message_enter_container(reply, 'a', "v") >= 0;
        std::string text;
        while (ok && !sd_bus_message_at_end(reply, false)) {
            ok = readVariant(reply, text);
            arguments.push_back(text);
        }
        ok = ok && sd_bus_message_exit_container(reply) >= 0 && sd_bus_message_exit_container(reply) >= 0;
        calls.push_back(std::move(arguments));
    }
    sd_bus_message_unref(reply);
    if (!ok) return std::nullopt;
    return calls;
}

bool BusMock::clearCalls() const {
    if (!bus_) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int called = sd_bus_call_method(bus_.get(), service_.c_str(), path_.c_str(), kMockInterface,
                                          "ClearCalls", &error, nullptr, "");
    sd_bus_error_free(&error);
    return called >= 0;
}

bool BusMock::addMethod(const std::string& interface, const std::string& name, const std::string& inSignature,
                        const std::string& code, const std::string& outSignature) const {
    if (!bus_) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int called = sd_bus_call_method(
        bus_.get(), service_.c_str(), path_.c_str(), kMockInterface, "AddMethod", &error, nullptr, "sssss",
        interface.c_str(), name.c_str(), inSignature.c_str(), outSignature.c_str(), code.c_str());
    sd_bus_error_free(&error);
    return called >= 0;
}

bool BusMock::addSession(const std::string& id, const std::string& seat, uint32_t uid,
                         const std::string& user) const {
    if (!bus_) return false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int called =
        sd_bus_call_method(bus_.get(), service_.c_str(), path_.c_str(), kMockInterface, "AddSession", &error,
                           nullptr, "ssusb", id.c_str(), seat.c_str(), uid, user.c_str(), 1);
    const bool existed = sd_bus_error_has_name(&error, "org.freedesktop.DBus.Mock.SessionExists");
    sd_bus_error_free(&error);
    return called >= 0 || existed;
}

SpawnedBusMock::SpawnedBusMock(const std::string& service, const std::string& path,
                               const std::string& interface)
    : service_(service) {
    // Debian's interpreter, which has the dbusmock module, whatever python3 comes first on PATH.
    const char* argv[] = {"/usr/bin/python3", "-m",         "dbusmock",        "--session",
                          service.c_str(),    path.c_str(), interface.c_str(), nullptr};
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        pid_ = -1;
        return;
    }
    const lb::SystemBus bus = lb::OpenSessionBus(kCallTimeout);
    // Starting the interpreter takes a moment; the deadline is generous so a loaded machine still passes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!(ready_ = lb::NameHasOwner(bus.get(), service.c_str())) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

SpawnedBusMock::~SpawnedBusMock() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    // The bus lets the name go when it notices the connection closed; the next test must not find it.
    const lb::SystemBus bus = lb::OpenSessionBus(kCallTimeout);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (lb::NameHasOwner(bus.get(), service_.c_str()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

} // namespace orvanta::test
