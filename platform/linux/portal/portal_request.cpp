#include "platform/linux/portal/portal_request.h"

#include <algorithm>
#include <systemd/sd-bus.h>
#include <utility>

namespace orvanta::platform::linux_backend::portal {
namespace {

struct Waiting {
    sd_bus_message* response = nullptr;
};

int OnResponse(sd_bus_message* message, void* data, sd_bus_error*) {
    auto* waiting = static_cast<Waiting*>(data);
    if (!waiting->response) waiting->response = sd_bus_message_ref(message);
    return 0;
}

std::uint64_t NowMicroseconds() {
    return std::uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count());
}

} // namespace

std::string HandlePath(sd_bus* bus, const char* kind, const std::string& token) {
    const char* unique = nullptr;
    if (sd_bus_get_unique_name(bus, &unique) < 0 || !unique) return {};
    std::string sender = unique[0] == ':' ? unique + 1 : unique;
    for (char& c : sender)
        if (c == '.') c = '_';
    return std::string(kObject) + "/" + kind + "/" + sender + "/" + token;
}

PortalResponse::~PortalResponse() {
    sd_bus_message_unref(message_);
}

PortalResponse::PortalResponse(PortalResponse&& other) noexcept
    : message_(std::exchange(other.message_, nullptr)), code_(other.code_),
      failure_(std::move(other.failure_)) {}

PortalResponse& PortalResponse::operator=(PortalResponse&& other) noexcept {
    if (this != &other) {
        sd_bus_message_unref(message_);
        message_ = std::exchange(other.message_, nullptr);
        code_ = other.code_;
        failure_ = std::move(other.failure_);
    }
    return *this;
}

PortalResponse CallPortal(sd_bus* bus, const char* interface, const char* method, const std::string& token,
                          const std::function<int(sd_bus_message*)>& appendArguments,
                          std::chrono::milliseconds limit, const std::atomic<bool>* stop) {
    PortalResponse answer;
    if (!bus) {
        answer.failure_ = "there is no session bus";
        return answer;
    }
    Waiting waiting;
    const std::string expected = HandlePath(bus, "request", token);
    sd_bus_slot* expectedSlot = nullptr;
    sd_bus_match_signal(bus, &expectedSlot, nullptr, expected.c_str(), "org.freedesktop.portal.Request",
                        "Response", OnResponse, &waiting);

    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_slot* returnedSlot = nullptr;
    int r = sd_bus_message_new_method_call(bus, &call, kService, kObject, interface, method);
    if (r >= 0) r = appendArguments(call);
    if (r >= 0) r = sd_bus_call(bus, call, std::uint64_t(limit.count()) * 1000, &error, &reply);
    if (r < 0) {
        answer.failure_ = error.message ? error.message : "the call failed";
    } else {
        // A portal older than the handle_token convention names another object.
        const char* handle = nullptr;
        if (sd_bus_message_read(reply, "o", &handle) >= 0 && handle && expected != handle)
            sd_bus_match_signal(bus, &returnedSlot, nullptr, handle, "org.freedesktop.portal.Request",
                                "Response", OnResponse, &waiting);
        const std::uint64_t until = NowMicroseconds() + std::uint64_t(limit.count()) * 1000;
        while (!waiting.response) {
            const int processed = sd_bus_process(bus, nullptr);
            if (processed < 0) break;
            if (processed > 0) continue;
            const std::uint64_t now = NowMicroseconds();
            if (now >= until || (stop && stop->load())) break;
            // A stop is looked at every few tenths of a second while the user thinks about a question.
            constexpr std::uint64_t kStopLook = 100'000;
            if (sd_bus_wait(bus, stop ? std::min(until - now, kStopLook) : until - now) < 0) break;
        }
        if (!waiting.response)
            answer.failure_ = stop && stop->load() ? "stopped before the desktop answered"
                                                   : "the desktop did not answer in time";
    }
    if (waiting.response) {
        std::uint32_t code = 2;
        if (sd_bus_message_read(waiting.response, "u", &code) >= 0) {
            answer.code_ = code;
            answer.message_ = waiting.response;
            waiting.response = nullptr;
        } else {
            answer.failure_ = "the desktop's answer could not be read";
        }
    }
    sd_bus_message_unref(waiting.response);
    sd_bus_slot_unref(expectedSlot);
    sd_bus_slot_unref(returnedSlot);
    sd_bus_message_unref(call);
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return answer;
}

} // namespace orvanta::platform::linux_backend::portal
