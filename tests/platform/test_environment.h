#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

// A test whose resource (X display, bus, logind) is missing skips outside the private test environment
// and fails inside it, where the resource is always started.
#define ORVANTA_REQUIRE_RESOURCE(present, why)                                                               \
    do {                                                                                                     \
        if (!(present)) {                                                                                    \
            if (std::getenv("ORVANTA_TEST_ENV"))                                                             \
                FAIL() << why << ", although the test environment provides it";                              \
            GTEST_SKIP() << why << " (run under scripts/platform-test-env.sh)";                              \
        }                                                                                                    \
    } while (false)

namespace orvanta::test {

// The mock logind is shared by every test process, and its sleep signals reach every listener: tests that
// send them or count its locks hold this for their whole run, so parallel test processes take turns.
class ExclusiveLogindUse {
  public:
    ExclusiveLogindUse() {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        const std::string path = std::string(runtime ? runtime : "/tmp") + "/orvanta-logind-tests.lock";
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0) flock(fd_, LOCK_EX);
    }
    ~ExclusiveLogindUse() {
        if (fd_ >= 0) close(fd_);
    }
    ExclusiveLogindUse(const ExclusiveLogindUse&) = delete;
    ExclusiveLogindUse& operator=(const ExclusiveLogindUse&) = delete;

  private:
    int fd_ = -1;
};

} // namespace orvanta::test
