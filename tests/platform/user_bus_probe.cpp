// Opens the session bus as the program does and asks the bus its ID, after putting back the user's
// environment as the program does. Exit 0: connected and TMPDIR back; 1: no bus; 2: the bus did not
// answer; 3: this start was not a secure one, so the test proves nothing; 4: TMPDIR not back.
#include "platform/linux/secure_start.h"
#include "platform/linux/user_bus.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/auxv.h>

int main() {
    if (getauxval(AT_SECURE) == 0) return 3;
    orvanta::platform::linux_backend::RestoreUserEnvironment();
    if (const char* tmp = std::getenv("TMPDIR"); !tmp || std::string(tmp) != "/tmp/orvanta-users-own")
        return 4;
    sd_bus* bus = nullptr;
    if (const int r = orvanta::platform::linux_backend::OpenUserBus(&bus); r < 0) {
        std::fprintf(stderr, "no session bus: %s\n", std::strerror(-r));
        return 1;
    }
    sd_id128_t id;
    const int asked = sd_bus_get_bus_id(bus, &id);
    sd_bus_unref(bus);
    return asked < 0 ? 2 : 0;
}
