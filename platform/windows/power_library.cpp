#include "platform/windows/power_library.h"

namespace orvanta::platform::windows_backend {
namespace {

using GetPwrCapabilitiesFn = BOOLEAN(WINAPI*)(PSYSTEM_POWER_CAPABILITIES);
using SetSuspendStateFn = BOOLEAN(WINAPI*)(BOOLEAN, BOOLEAN, BOOLEAN);
using PowerGetActiveSchemeFn = DWORD(WINAPI*)(HKEY, GUID**);
using PowerReadACValueIndexFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, LPDWORD);

// The password-on-wake setting, which sits outside any subgroup of the scheme.
constexpr GUID kNoSubgroup = {0xfea3413e, 0x7e05, 0x4911, {0x9a, 0x71, 0x70, 0x03, 0x31, 0xf1, 0xc2, 0x94}};
constexpr GUID kConsoleLock = {0x0e796bdb, 0x100d, 0x47d6, {0xa2, 0xd5, 0xf7, 0xd2, 0xda, 0xa5, 0x1f, 0x51}};

template <typename Fn> Fn Bind(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

PowerLibrary::PowerLibrary() : module_(LoadLibraryA("powrprof.dll")) {}

PowerLibrary::~PowerLibrary() {
    if (module_) FreeLibrary(module_);
}

bool PowerLibrary::powerCapabilities(SYSTEM_POWER_CAPABILITIES& caps) const {
    auto fn = Bind<GetPwrCapabilitiesFn>(module_, "GetPwrCapabilities");
    return fn && fn(&caps);
}

bool PowerLibrary::suspend(bool hibernate) const {
    auto fn = Bind<SetSuspendStateFn>(module_, "SetSuspendState");
    return fn && fn(hibernate ? TRUE : FALSE, FALSE, FALSE);
}

bool PowerLibrary::consoleLockRequired() const {
    auto active = Bind<PowerGetActiveSchemeFn>(module_, "PowerGetActiveScheme");
    auto readAc = Bind<PowerReadACValueIndexFn>(module_, "PowerReadACValueIndex");
    GUID* scheme = nullptr;
    if (!active || !readAc || active(nullptr, &scheme) != ERROR_SUCCESS || !scheme) return false;
    DWORD value = 0;
    const DWORD status = readAc(nullptr, scheme, &kNoSubgroup, &kConsoleLock, &value);
    LocalFree(scheme);
    return status == ERROR_SUCCESS && value != 0;
}

} // namespace orvanta::platform::windows_backend
