#pragma once

#include "tests/support/temp_folder.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace orvanta::test {

// A helper program of a test, started without a shell with the test's environment plus `extraEnv`, its
// standard input and output on pipes to the test. Ended by its process id when this goes.
class SpawnedProcess {
  public:
    SpawnedProcess(std::vector<std::string> args, const std::map<std::string, std::string>& extraEnv = {}) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!extraEnv.count(entry.substr(0, entry.find('=')))) env.push_back(entry);
        }
        for (const auto& [name, value] : extraEnv)
            env.push_back(name + "=" + value);
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<char*> argv, envp;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~SpawnedProcess() {
        Stop();
        close(input_);
        close(output_);
    }
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // False once it has ended.
    bool running() {
        if (pid_ <= 0) return false;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
        return pid_ > 0;
    }
    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    void Send(const std::string& line) {
        const std::string text = line + "\n";
        [[maybe_unused]] const ssize_t written = write(input_, text.data(), text.size());
    }
    // The next line it prints, waiting at most `limit`; empty when none came.
    std::string ReadLine(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (const auto end = buffer_.find('\n'); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return {};
            pollfd fd{output_, POLLIN, 0};
            if (poll(&fd, 1, int(left.count())) <= 0) continue;
            char chunk[512];
            const ssize_t got = read(output_, chunk, sizeof chunk);
            if (got <= 0) return {};
            buffer_.append(chunk, std::size_t(got));
        }
    }
    // Reads lines until one contains `text`, and returns it; empty when none came in time.
    std::string WaitForLine(const std::string& text, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            std::string line = ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()));
            if (line.find(text) != std::string::npos) return line;
        }
        return {};
    }

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffer_;
};

// A session bus of the test's own: no other test's services are on it, and none starts by activation.
class PrivateBus {
  public:
    PrivateBus() {
        std::ofstream(folder_.file("bus.conf"))
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
               "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir="
            << folder_.path()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" "
               "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
        daemon_ = std::make_unique<SpawnedProcess>(std::vector<std::string>{
            "dbus-daemon", "--config-file=" + folder_.file("bus.conf"), "--nofork", "--print-address=1"});
        address_ = daemon_->ReadLine(std::chrono::seconds(10));
    }
    const std::string& address() const { return address_; }

  private:
    TempFolder folder_;
    std::unique_ptr<SpawnedProcess> daemon_;
    std::string address_;
};

// An X display of the test's own, without any panel. Its number is picked here from a range of its own:
// other test runs start displays at the same time, and Xvfb's own choice of a free one can collide.
class PrivateDisplay {
  public:
    PrivateDisplay() {
        const int first = 200 + int(getpid() % 500);
        for (int n = first; n < first + 40 && name_.empty(); ++n) {
            const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            if (access(lock.c_str(), F_OK) == 0 || access(socket.c_str(), F_OK) == 0) continue;
            auto server = std::make_unique<SpawnedProcess>(
                std::vector<std::string>{"Xvfb", ":" + std::to_string(n), "-screen", "0", "1024x768x24",
                                         "-nolisten", "tcp", "-noreset"});
            for (int i = 0; i < 100 && server->running(); ++i) {
                if (access(socket.c_str(), F_OK) == 0) {
                    // The socket comes just before the server takes clients.
                    std::this_thread::sleep_for(std::chrono::milliseconds(200));
                    if (server->running()) {
                        name_ = ":" + std::to_string(n);
                        server_ = std::move(server);
                    }
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    }
    // ":N"; empty when no server could be started.
    const std::string& name() const { return name_; }

  private:
    std::unique_ptr<SpawnedProcess> server_;
    std::string name_;
};

} // namespace orvanta::test
