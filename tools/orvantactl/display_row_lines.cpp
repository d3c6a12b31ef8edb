#include "tools/orvantactl/display_row_lines.h"

#include <algorithm>
#include <ostream>

namespace orvanta::ctl {
namespace {

constexpr bool NeedsEscape(char c) {
    return c == '\\' || c == '\t' || c == '\n' || c == '\r';
}

void AppendEscaped(std::string& out, std::string_view text) {
    // Nearly every column is plain; copying it whole keeps a list of tens of thousands of rows fast. A
    // lambda, not the function's address, so that the test is inlined into the scan.
    if (std::none_of(text.begin(), text.end(), [](char c) { return NeedsEscape(c); })) {
        out.append(text);
        return;
    }
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

void WriteDisplayRowLines(std::ostream& out, const scheduler::DisplayRows& rows) {
    // Written in pieces: the whole list of a large table held as one text would be as large as the
    // table's own rows, and every page of it new.
    constexpr std::size_t kPiece = 64 * 1024;
    std::string text;
    text.reserve(kPiece + 1024);
    for (const scheduler::DisplayRow row : rows) {
        for (std::size_t i = 0; i < scheduler::kDisplayColumnCount; ++i) {
            if (i > 0) text += '\t';
            AppendEscaped(text, row[i]);
        }
        text += '\n';
        if (text.size() >= kPiece) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string EscapedLine(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 1);
    AppendEscaped(out, text);
    out += '\n';
    return out;
}

} // namespace orvanta::ctl
