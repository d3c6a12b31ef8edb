#include "macros/macro_recorder.h"

namespace orvanta::macros {

namespace {

constexpr std::uint32_t kKeyReleasedBit = 0x80000000u;

struct CodeCommand {
    unsigned code;
    std::string_view command;
};

// Client-area and non-client mouse messages; a double click records as a second press.
constexpr CodeCommand kMouseCommands[] = {
    {160, "MOUSE_MOVE"},      {161, "MOUSE_LEFTDOWN"},   {162, "MOUSE_LEFTUP"},    {163, "MOUSE_LEFTDOWN"},
    {164, "MOUSE_RIGHTDOWN"}, {165, "MOUSE_RIGHTUP"},    {166, "MOUSE_RIGHTDOWN"}, {167, "MOUSE_MIDDLEDOWN"},
    {168, "MOUSE_MIDDLEUP"},  {169, "MOUSE_MIDDLEDOWN"}, {512, "MOUSE_MOVE"},      {513, "MOUSE_LEFTDOWN"},
    {514, "MOUSE_LEFTUP"},    {515, "MOUSE_LEFTDOWN"},   {516, "MOUSE_RIGHTDOWN"}, {517, "MOUSE_RIGHTUP"},
    {518, "MOUSE_RIGHTDOWN"}, {519, "MOUSE_MIDDLEDOWN"}, {520, "MOUSE_MIDDLEUP"},  {521, "MOUSE_MIDDLEDOWN"},
    {522, "MOUSE_WHEEL"},
};

} // namespace

bool IsHookKeyCode(unsigned code) {
    return code < 256 && (code < 150 || code > 185);
}

std::string_view HookMouseCommand(unsigned code) {
    if (IsHookKeyCode(code)) return "KEY_DOWN";
    for (const auto& c : kMouseCommands)
        if (c.code == code) return c.command;
    return {};
}

void MacroRecording::Begin() {
    lines_.clear();
    recordStartTick_ = 0;
    lastButtonCommand_.clear();
}

MacroRecording::Reply MacroRecording::OnHookEvent(unsigned code, std::uint32_t param, HookBlockPoint block,
                                                  std::uint32_t tick, bool ignoreMouseMoves) {
    if (code == kRecordStopKey) return Reply::Stop;
    std::string_view command = HookMouseCommand(code);
    int x = block.x;
    if (command == "MOUSE_WHEEL")
        x = static_cast<std::int16_t>(static_cast<std::uint32_t>(block.x) & 0xFFFFu);

    const bool isMove = command == "MOUSE_MOVE";
    if (recordStartTick_ == 0) {
        // Moves before the first press or key leave the clock alone while they are ignored, so the first
        // line kept is near 0.
        if (!(ignoreMouseMoves && isMove)) recordStartTick_ = tick;
        lastButtonCommand_.clear();
    }
    // Unsigned, so a tick count that wrapped since the start still gives the elapsed time.
    const std::string elapsed = std::to_string(static_cast<std::uint32_t>(tick - recordStartTick_));

    Reply reply = Reply::Dropped;
    if (IsHookKeyCode(code)) {
        const char* keyCommand = (param & kKeyReleasedBit) ? " KEY_UP " : " KEY_DOWN ";
        lines_.push_back(elapsed + keyCommand + std::to_string(code));
        reply = Reply::Recorded;
    } else if (!ignoreMouseMoves || !isMove || lastButtonCommand_ == "MOUSE_LEFTDOWN") {
        lines_.push_back(elapsed + " " + std::string(command) + " " + std::to_string(x) + " " +
                         std::to_string(block.y));
        reply = Reply::Recorded;
    }
    if (command == "MOUSE_LEFTDOWN" || command == "MOUSE_LEFTUP") lastButtonCommand_ = std::string(command);
    return reply;
}

std::string WithMacroExtension(std::string name) {
    if (!name.ends_with(".mco")) name += ".mco";
    return name;
}

} // namespace orvanta::macros
