#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace orvanta::platform {

// Where a failure goes that nobody sees when it happens: a refused bus call, a key another program
// holds, a timer that could not be made, a receiver that threw on a background thread. The program
// writes these to stderr, which the journal keeps for a program the desktop started.
class Log {
  public:
    virtual ~Log() = default;
    virtual void warn(std::string_view what) = 0;
};

// One line per warning, "<program>: <what>", written whole so that lines from two threads do not mix.
class StderrLog final : public Log {
  public:
    explicit StderrLog(std::string program) : program_(std::move(program)) {}
    void warn(std::string_view what) override {
        std::string line = program_ + ": ";
        line.append(what);
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }

  private:
    const std::string program_;
};

} // namespace orvanta::platform
