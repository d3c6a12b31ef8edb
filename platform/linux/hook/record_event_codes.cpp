#include "platform/linux/hook/record_event_codes.h"

namespace orvanta::hook {

namespace {

constexpr unsigned kMouseMove = 512, kLeftDown = 513, kLeftUp = 514, kRightDown = 516, kRightUp = 517,
                   kMiddleDown = 519, kMiddleUp = 520, kWheel = 522;
constexpr int kWheelNotch = 120;

} // namespace

std::optional<HookEvent> HookEventOf(const DeviceEvent& event) {
    HookEvent out;
    switch (event.type) {
    case DeviceEvent::Type::KeyDown:
    case DeviceEvent::Type::KeyUp:
        if (event.detail == 0 || event.detail > 255) return std::nullopt;
        out.code = event.detail;
        out.param = 1; // one keystroke
        if (event.type == DeviceEvent::Type::KeyUp) out.param |= 0xC0000000u;
        return out;
    case DeviceEvent::Type::Motion:
        out.code = kMouseMove;
        break;
    case DeviceEvent::Type::ButtonDown:
    case DeviceEvent::Type::ButtonUp: {
        const bool press = event.type == DeviceEvent::Type::ButtonDown;
        switch (event.detail) {
        case 1:
            out.code = press ? kLeftDown : kLeftUp;
            break;
        case 2:
            out.code = press ? kMiddleDown : kMiddleUp;
            break;
        case 3:
            out.code = press ? kRightDown : kRightUp;
            break;
        case 4:
        case 5:
            if (!press) return std::nullopt;
            out.code = kWheel;
            out.isMouse = true;
            out.blockX = static_cast<std::uint16_t>(
                static_cast<std::int16_t>(event.detail == 4 ? kWheelNotch : -kWheelNotch));
            out.blockY = event.rootY;
            return out;
        default:
            return std::nullopt;
        }
        break;
    }
    }
    out.isMouse = true;
    out.blockX = event.rootX;
    out.blockY = event.rootY;
    return out;
}

} // namespace orvanta::hook
