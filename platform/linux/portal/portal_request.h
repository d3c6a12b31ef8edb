#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

struct sd_bus;
struct sd_bus_message;

namespace orvanta::platform::linux_backend::portal {

inline constexpr const char* kService = "org.freedesktop.portal.Desktop";
inline constexpr const char* kObject = "/org/freedesktop/portal/desktop";

// The object a portal makes for a call or a session of ours: the path is known before the call, from our
// unique name on the bus and the token we pass, so the answer cannot come before we listen for it.
std::string HandlePath(sd_bus* bus, const char* kind, const std::string& token);

// What a Request object answered: 0 success, 1 cancelled by the user, 2 ended otherwise; the results
// stay readable in the message (positioned at the a{sv}) while this lives.
class PortalResponse {
  public:
    PortalResponse() = default;
    ~PortalResponse();
    PortalResponse(PortalResponse&& other) noexcept;
    PortalResponse& operator=(PortalResponse&& other) noexcept;

    bool answered() const { return message_ != nullptr; }
    std::uint32_t code() const { return code_; }
    // Why there was no answer: the call's error, or that none came in time.
    const std::string& failure() const { return failure_; }
    sd_bus_message* results() const { return message_; }

  private:
    friend PortalResponse CallPortal(sd_bus*, const char*, const char*, const std::string&,
                                     const std::function<int(sd_bus_message*)>&, std::chrono::milliseconds,
                                     const std::atomic<bool>*);
    sd_bus_message* message_ = nullptr;
    std::uint32_t code_ = 2;
    std::string failure_;
};

// Calls a method of the portal that answers through a Request object (its handle_token is `token`) and
// serves the bus until the Response comes or the limit passes; signals that come meanwhile are
// dispatched as usual. appendArguments appends the call's arguments. A set stop, when given, ends the wait
// early, as a limit passed would.
PortalResponse CallPortal(sd_bus* bus, const char* interface, const char* method, const std::string& token,
                          const std::function<int(sd_bus_message*)>& appendArguments,
                          std::chrono::milliseconds limit, const std::atomic<bool>* stop = nullptr);

} // namespace orvanta::platform::linux_backend::portal
