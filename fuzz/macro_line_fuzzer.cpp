// Feeds arbitrary bytes through the macro file decoder and the line parser, the path every hand-edited
// macro file takes.
#include "macros/macro_line.h"
#include "macros/macro_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const auto& line : orvanta::macros::DecodeMacroText(bytes)) {
        const auto event = orvanta::macros::ParseMacroLine(line);
        if (event.kind == orvanta::macros::MacroEvent::Kind::Paste && event.text.size() > line.size())
            std::abort();
    }
    (void)orvanta::macros::ParseMacroLine(bytes);
    return 0;
}
