#include "platform/linux/hand_over_socket.h"
#include "platform/linux/linux_single_instance.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace orvanta::platform::linux_backend {
namespace {

using namespace std::chrono_literals;

// What the listener was told, from its own thread.
struct Told {
    std::mutex lock;
    std::vector<HandOverRequest> requests;

    HandOverSocket::Heard Ear() {
        return [this](HandOverRequest request) {
            std::lock_guard<std::mutex> hold(lock);
            requests.push_back(request);
        };
    }
    std::vector<HandOverRequest> Now() {
        std::lock_guard<std::mutex> hold(lock);
        return requests;
    }
    bool WaitFor(std::size_t count) {
        for (int i = 0; i < 200 && Now().size() < count; ++i)
            std::this_thread::sleep_for(10ms);
        return Now().size() >= count;
    }
};

// A raw client: connects and writes what it is given, nothing more.
int ConnectRaw(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The listener closed the connection within the time given; a peer that left its line unread sees a reset.
bool ClosedByPeer(int fd, std::chrono::milliseconds within) {
    for (auto waited = 0ms; waited <= within; waited += 10ms) {
        char byte;
        const ssize_t got = recv(fd, &byte, 1, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno == ECONNRESET)) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(HandOverSocket, EachLineIsToldAsItsRequestAndOtherLinesNotAtAll) {
    test::TempFolder runtime;
    const std::string path = runtime.file("Sched");
    Told told;
    HandOverSocket socket;
    ASSERT_TRUE(socket.Listen(path, told.Ear()));
    for (const char* other : {"NewTaskMessageX\n", "newtaskmessage\n", "NewTask\n", "\n"}) {
        const int fd = ConnectRaw(path);
        ASSERT_GE(fd, 0);
        ASSERT_GT(send(fd, other, std::strlen(other), MSG_NOSIGNAL), 0);
        EXPECT_TRUE(ClosedByPeer(fd, 2s)) << other << " was not answered";
        close(fd);
    }
    EXPECT_TRUE(HandOverSocket::Send(path, HandOverRequest::newTask, 2s));
    EXPECT_TRUE(HandOverSocket::Send(path, HandOverRequest::showWindow, 2s));
    ASSERT_TRUE(told.WaitFor(2));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(told.Now(),
              (std::vector<HandOverRequest>{HandOverRequest::newTask, HandOverRequest::showWindow}));
}

TEST(HandOverSocket, PeersThatSayNothingAreDroppedAndTheNextCopyIsStillHeard) {
    test::TempFolder runtime;
    const std::string path = runtime.file("Sched");
    Told told;
    HandOverSocket socket;
    ASSERT_TRUE(socket.Listen(path, told.Ear()));
    std::vector<int> silent;
    for (int i = 0; i < 40; ++i) {
        silent.push_back(ConnectRaw(path));
        ASSERT_GE(silent.back(), 0);
    }
    // A peer that started its line but never ended it is no better, nor one whose line never ends.
    ASSERT_GT(send(silent[0], "Quit", 4, MSG_NOSIGNAL), 0);
    const std::string endless(200, 'Q');
    ASSERT_GT(send(silent[1], endless.data(), endless.size(), MSG_NOSIGNAL), 0);
    // A later copy waits behind them within its own time-out and is still heard.
    EXPECT_TRUE(HandOverSocket::Send(path, HandOverRequest::showWindow, 5s));
    EXPECT_TRUE(told.WaitFor(1));
    EXPECT_EQ(told.Now(), std::vector<HandOverRequest>{HandOverRequest::showWindow});
    for (const int fd : silent) {
        EXPECT_TRUE(ClosedByPeer(fd, 3s)) << "a silent peer is still held";
        close(fd);
    }
}

TEST(HandOverSocket, TakesOverWhatACrashedCopyLeftAndNoOtherUserCanConnect) {
    test::TempFolder runtime;
    const std::string path = runtime.file("Sched");
    // A copy killed while it listened leaves its socket file behind, answering nobody.
    const int stale = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(stale);
    EXPECT_FALSE(HandOverSocket::Send(path, HandOverRequest::showWindow, 300ms));

    Told told;
    auto socket = std::make_unique<HandOverSocket>();
    ASSERT_TRUE(socket->Listen(path, told.Ear()));
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(HandOverSocket::Send(path, HandOverRequest::showWindow, 2s));
    EXPECT_TRUE(told.WaitFor(1));
    // Nothing of the private binding is left beside the socket.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(runtime.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, std::vector<std::string>{"Sched"});

    socket.reset();
    EXPECT_FALSE(std::filesystem::exists(path)) << "a copy that ended still answers at its address";
    EXPECT_FALSE(HandOverSocket::Send(path, HandOverRequest::showWindow, 300ms));
}

TEST(HandOverSocket, OnlyTheClaimsHolderListensAndALaterCopyReachesIt) {
    test::TempFolder runtime;
    LinuxSingleInstance first(runtime.path(), "Sched");
    LinuxSingleInstance later(runtime.path(), "Sched");
    EXPECT_EQ(later.listenForHandOver([](HandOverRequest) {}), nullptr) << "listened without the claim";
    ASSERT_TRUE(first.claim());
    Told told;
    std::shared_ptr<void> listening = first.listenForHandOver(told.Ear());
    ASSERT_NE(listening, nullptr);
    EXPECT_FALSE(later.claim());
    EXPECT_EQ(later.listenForHandOver([](HandOverRequest) {}), nullptr)
        << "a later copy took the address over";
    EXPECT_TRUE(later.handOver(HandOverRequest::newTask, 2s));
    EXPECT_TRUE(told.WaitFor(1));
    EXPECT_EQ(told.Now(), std::vector<HandOverRequest>{HandOverRequest::newTask});
}

} // namespace
} // namespace orvanta::platform::linux_backend
