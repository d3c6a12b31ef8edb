#pragma once

#include <functional>
#include <poll.h>
#include <string>
#include <systemd/sd-bus.h>
#include <vector>

namespace orvanta::hook {

// Whether the user's screen is locked: logind's LockedHint for this session on the system bus, or an
// active desktop screensaver on the session bus. Each is followed on a connection of its own, used by one
// thread at a time: made on the caller's, then processed on the recording thread. Where neither service
// is there, the screen counts as unlocked; a locker's keyboard grab is caught by the recorder itself.
class LockWatch {
  public:
    // changed runs, from within Process, each time locked() turns.
    explicit LockWatch(std::function<void()> changed);
    ~LockWatch();
    LockWatch(const LockWatch&) = delete;
    LockWatch& operator=(const LockWatch&) = delete;

    bool locked() const;
    // The connections to wait on, with what each waits for now.
    void addPollFds(std::vector<pollfd>& fds) const;
    // Takes in whatever the connections have received.
    void process();

  private:
    struct Saver {
        LockWatch* watch;
        const char* service;
        const char* path;
        const char* interface;
        bool active = false;
    };
    bool findSession();
    void readSession();
    void readSaver(Saver& saver);
    static int onSessionChanged(sd_bus_message* message, void* self, sd_bus_error*);
    static int onSaverChanged(sd_bus_message* message, void* saver, sd_bus_error*);
    void turned(bool was);

    std::function<void()> changed_;
    sd_bus* system_ = nullptr;
    sd_bus* session_ = nullptr;
    std::string sessionPath_;
    bool sessionLocked_ = false;
    std::vector<Saver> savers_;
};

} // namespace orvanta::hook
