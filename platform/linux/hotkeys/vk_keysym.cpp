#include "platform/linux/hotkeys/vk_keysym.h"

#include <X11/keysym.h>

namespace orvanta::platform::linux_backend {

namespace {

struct Mapping {
    unsigned virtualKey;
    unsigned long keysym;
};

// The keys outside the contiguous ranges handled below.
constexpr Mapping kSingleKeys[] = {
    {0x08, XK_BackSpace},    {0x09, XK_Tab},          {0x0C, XK_Clear},       {0x0D, XK_Return},
    {0x10, XK_Shift_L},      {0x11, XK_Control_L},    {0x12, XK_Alt_L},       {0x13, XK_Pause},
    {0x14, XK_Caps_Lock},    {0x1B, XK_Escape},       {0x20, XK_space},       {0x21, XK_Prior},
    {0x22, XK_Next},         {0x23, XK_End},          {0x24, XK_Home},        {0x25, XK_Left},
    {0x26, XK_Up},           {0x27, XK_Right},        {0x28, XK_Down},        {0x2C, XK_Print},
    {0x2D, XK_Insert},       {0x2E, XK_Delete},       {0x2F, XK_Help},        {0x5B, XK_Super_L},
    {0x5C, XK_Super_R},      {0x5D, XK_Menu},         {0x6A, XK_KP_Multiply}, {0x6B, XK_KP_Add},
    {0x6C, XK_KP_Separator}, {0x6D, XK_KP_Subtract},  {0x6E, XK_KP_Decimal},  {0x6F, XK_KP_Divide},
    {0x90, XK_Num_Lock},     {0x91, XK_Scroll_Lock},  {0xA0, XK_Shift_L},     {0xA1, XK_Shift_R},
    {0xA2, XK_Control_L},    {0xA3, XK_Control_R},    {0xA4, XK_Alt_L},       {0xA5, XK_Alt_R},
    {0xBA, XK_semicolon},    {0xBB, XK_equal},        {0xBC, XK_comma},       {0xBD, XK_minus},
    {0xBE, XK_period},       {0xBF, XK_slash},        {0xC0, XK_grave},       {0xDB, XK_bracketleft},
    {0xDC, XK_backslash},    {0xDD, XK_bracketright}, {0xDE, XK_apostrophe},
};

// Keysyms that name a key of the table differently: the keypad without Num Lock, Enter on the keypad,
// Shift+Tab and AltGr. Upper-case letters are handled in the function.
constexpr Mapping kKeysymAliases[] = {
    {0x0D, XK_KP_Enter},  {0x09, XK_ISO_Left_Tab}, {0xA5, XK_ISO_Level3_Shift}, {0x12, XK_Meta_L},
    {0x24, XK_KP_Home},   {0x23, XK_KP_End},       {0x21, XK_KP_Prior},         {0x22, XK_KP_Next},
    {0x25, XK_KP_Left},   {0x26, XK_KP_Up},        {0x27, XK_KP_Right},         {0x28, XK_KP_Down},
    {0x2D, XK_KP_Insert}, {0x2E, XK_KP_Delete},    {0x0C, XK_KP_Begin},         {0x20, XK_KP_Space},
    {0x09, XK_KP_Tab},    {0xBB, XK_KP_Equal},
};

} // namespace

unsigned KeysymToVirtualKey(unsigned long keysym) {
    if (keysym >= XK_0 && keysym <= XK_9) return 0x30 + unsigned(keysym - XK_0);
    if (keysym >= XK_a && keysym <= XK_z) return 0x41 + unsigned(keysym - XK_a);
    if (keysym >= XK_A && keysym <= XK_Z) return 0x41 + unsigned(keysym - XK_A);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return 0x60 + unsigned(keysym - XK_KP_0);
    if (keysym >= XK_F1 && keysym <= XK_F24) return 0x70 + unsigned(keysym - XK_F1);
    // The first entry wins, so the left-hand modifiers give the generic codes listed before them.
    for (const auto& m : kSingleKeys)
        if (m.keysym == keysym) return m.virtualKey;
    for (const auto& m : kKeysymAliases)
        if (m.keysym == keysym) return m.virtualKey;
    return 0;
}

unsigned long VirtualKeyToKeysym(unsigned virtualKey) {
    if (virtualKey >= 0x30 && virtualKey <= 0x39) return XK_0 + (virtualKey - 0x30);
    if (virtualKey >= 0x41 && virtualKey <= 0x5A) return XK_a + (virtualKey - 0x41);
    if (virtualKey >= 0x60 && virtualKey <= 0x69) return XK_KP_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return XK_F1 + (virtualKey - 0x70);
    for (const auto& m : kSingleKeys)
        if (m.virtualKey == virtualKey) return m.keysym;
    return 0;
}

} // namespace orvanta::platform::linux_backend
