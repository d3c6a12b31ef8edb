// A second process for the backend tests. "claim NAME": exit 0 when the instance claim was had, 1 when
// another process holds it. "sleep": wait until ended.
#include "platform/windows/windows_single_instance.h"

#include <cstring>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "claim") == 0) {
        orvanta::platform::windows_backend::WindowsSingleInstance instance(argv[2]);
        return instance.claim() ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "sleep") == 0) {
        Sleep(60000);
        return 0;
    }
    return 2;
}
