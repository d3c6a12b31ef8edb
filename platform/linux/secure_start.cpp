#include "platform/linux/secure_start.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/auxv.h>
#include <unistd.h>

namespace orvanta::platform::linux_backend {

int RestoreUserEnvironment() {
    // A set-user or set-group start is another matter: there the variables are not the user's to give.
    if (getauxval(AT_SECURE) == 0 || getuid() != geteuid() || getgid() != getegid()) return 0;
    // The kernel keeps the environment the program was started with, before the library edited it.
    std::ifstream file("/proc/self/environ", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int restored = 0;
    for (std::size_t start = 0; start < all.size();) {
        std::size_t end = all.find('\0', start);
        if (end == std::string::npos) end = all.size();
        const std::string entry = all.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = entry.find('=');
        if (equals == 0 || equals == std::string::npos) continue;
        const std::string name = entry.substr(0, equals);
        if (std::getenv(name.c_str())) continue;
        if (setenv(name.c_str(), entry.c_str() + equals + 1, 0) == 0) ++restored;
    }
    return restored;
}

} // namespace orvanta::platform::linux_backend
