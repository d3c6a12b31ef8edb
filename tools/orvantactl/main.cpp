#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_system_paths.h"
#include "tools/orvantactl/orvantactl.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const orvanta::platform::linux_backend::LinuxClock clock;
    const orvanta::platform::linux_backend::LinuxSystemPaths paths;
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return orvanta::ctl::RunOrvantactl(args, std::cout, std::cerr, clock, paths);
}
