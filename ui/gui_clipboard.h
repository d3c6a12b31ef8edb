#pragma once

#include "macros/macro_player.h"

namespace orvanta::ui {

// The clipboard as the macro players use it: the text is set on the GUI thread, and the call returns
// once it is there, so the paste that follows finds it. A player that is told to stop stops waiting: the
// GUI thread may be the one waiting for that player to end.
class GuiClipboard : public macros::ClipboardPort {
  public:
    void setClipboardText(const std::string& text) override;
    bool setClipboardTextUnlessStopped(const std::string& text, const std::atomic<bool>& stop) override;
};

} // namespace orvanta::ui
