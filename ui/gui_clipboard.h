#pragma once

#include "macros/macro_player.h"

namespace orvanta::ui {

// The clipboard as the macro players use it: the text is set on the GUI thread, and the call returns
// once it is there, so the paste that follows finds it.
class GuiClipboard : public macros::ClipboardPort {
public:
    void setClipboardText(const std::string& text) override;
};

} // namespace orvanta::ui
