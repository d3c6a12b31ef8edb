#include "platform/linux/hand_over_socket.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <vector>

namespace orvanta::platform::linux_backend {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kShowWindowLine = "QuitMessage";
constexpr const char* kNewTaskLine = "NewTaskMessage";
// Longer lines are none of the words; a peer that never ends its line is dropped at this size.
constexpr std::size_t kMaxLine = 64;
// A later copy sends its line at once; a peer still silent after this holds a descriptor for nothing.
constexpr auto kPeerPatience = std::chrono::seconds(1);
// Beyond this many silent peers at once, newcomers wait in the backlog until one is dropped.
constexpr std::size_t kMaxPeers = 32;

std::optional<sockaddr_un> AddressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        errno = ENAMETOOLONG;
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

std::optional<HandOverRequest> RequestOf(std::string line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    if (line == kShowWindowLine) return HandOverRequest::showWindow;
    if (line == kNewTaskLine) return HandOverRequest::newTask;
    return std::nullopt;
}

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

// Binds the socket where no other user can connect to it even for a moment: in a folder only this user
// may enter, made private there, and only then moved to the path.
bool BindPrivately(int fd, const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string folder =
        (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/.handover.XXXXXX";
    if (!mkdtemp(folder.data())) return false;
    const std::string inside = folder + "/socket";
    const auto address = AddressOf(inside);
    bool bound = address && bind(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) == 0 &&
                 chmod(inside.c_str(), 0600) == 0 && rename(inside.c_str(), path.c_str()) == 0;
    const int failure = errno;
    unlink(inside.c_str());
    rmdir(folder.c_str());
    errno = failure;
    return bound;
}

} // namespace

bool HandOverSocket::Listen(const std::string& path, Heard heard) {
    if (listener_) return true;
    if (!AddressOf(path)) return false;
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd || !BindPrivately(fd.get(), path) || listen(fd.get(), 16) != 0) return false;
    UniqueFd stop(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!stop) return false;
    path_ = path;
    heard_ = std::move(heard);
    listener_ = std::move(fd);
    stop_ = std::move(stop);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

HandOverSocket::~HandOverSocket() {
    if (!thread_.joinable()) return;
    const std::uint64_t one = 1;
    if (write(stop_.get(), &one, sizeof one) < 0) {
        // An eventfd write fails only on overflow, which a single write cannot reach.
    }
    thread_.join();
    // Left in place, the path would keep answering connections for nobody until the next copy starts.
    unlink(path_.c_str());
}

void HandOverSocket::Serve() {
    struct Peer {
        UniqueFd fd;
        std::string line;
        Clock::time_point deadline;
    };
    std::vector<Peer> peers;
    for (;;) {
        std::vector<pollfd> watched{{stop_.get(), POLLIN, 0}};
        if (peers.size() < kMaxPeers) watched.push_back({listener_.get(), POLLIN, 0});
        const std::size_t firstPeer = watched.size();
        int wait = -1;
        for (const Peer& peer : peers) {
            watched.push_back({peer.fd.get(), POLLIN, 0});
            const int left = MillisecondsUntil(peer.deadline);
            wait = wait < 0 ? left : std::min(wait, left);
        }
        if (poll(watched.data(), watched.size(), wait) < 0 && errno != EINTR) return;
        if (watched[0].revents) return;

        std::vector<HandOverRequest> told;
        for (std::size_t i = firstPeer; i < watched.size(); ++i) {
            Peer& peer = peers[i - firstPeer];
            if (!watched[i].revents) continue;
            char buffer[kMaxLine + 1];
            const ssize_t got = recv(peer.fd.get(), buffer, sizeof buffer, 0);
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (got <= 0) {
                peer.fd.reset();
                continue;
            }
            peer.line.append(buffer, static_cast<std::size_t>(got));
            const std::size_t end = peer.line.find('\n');
            if (end != std::string::npos) {
                if (const auto request = RequestOf(peer.line.substr(0, std::min(end, kMaxLine))))
                    told.push_back(*request);
                peer.fd.reset();
            } else if (peer.line.size() > kMaxLine) {
                peer.fd.reset();
            }
        }
        const Clock::time_point now = Clock::now();
        std::erase_if(peers, [&](const Peer& peer) { return !peer.fd || peer.deadline <= now; });

        if (firstPeer == 2 && watched[1].revents) {
            while (peers.size() < kMaxPeers) {
                UniqueFd peer(accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
                if (!peer) break;
                peers.push_back({std::move(peer), {}, now + kPeerPatience});
            }
        }
        // Told after the connections are closed, so the sender is answered before the window reacts.
        for (const HandOverRequest request : told)
            heard_(request);
    }
}

bool HandOverSocket::Send(const std::string& path, HandOverRequest request,
                          std::chrono::milliseconds timeout) {
    const auto address = AddressOf(path);
    if (!address) return false;
    const Clock::time_point deadline = Clock::now() + timeout;
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd) return false;
    // A full backlog refuses at once with EAGAIN; the listener drains it within its patience.
    while (connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0) {
        if (errno != EAGAIN && errno != EINTR) return false;
        if (Clock::now() >= deadline) return false;
        poll(nullptr, 0, 20);
    }
    std::string line = request == HandOverRequest::newTask ? kNewTaskLine : kShowWindowLine;
    line += '\n';
    std::size_t sent = 0;
    while (sent < line.size()) {
        pollfd writable{fd.get(), POLLOUT, 0};
        if (poll(&writable, 1, MillisecondsUntil(deadline)) <= 0) return false;
        const ssize_t n = send(fd.get(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (n > 0) sent += static_cast<std::size_t>(n);
    }
    // The listener closes the connection once it has the line: that is its answer.
    for (;;) {
        pollfd readable{fd.get(), POLLIN, 0};
        if (poll(&readable, 1, MillisecondsUntil(deadline)) <= 0) return false;
        char byte;
        const ssize_t n = recv(fd.get(), &byte, 1, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    }
}

} // namespace orvanta::platform::linux_backend
