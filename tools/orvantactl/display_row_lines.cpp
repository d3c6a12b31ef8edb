#include "tools/orvantactl/display_row_lines.h"

#include <algorithm>

namespace orvanta::ctl {
namespace {

bool NeedsEscape(char c) {
    return c == '\\' || c == '\t' || c == '\n' || c == '\r';
}

void AppendEscaped(std::string& out, std::string_view text) {
    // Nearly every column is plain; copying it whole keeps a list of tens of thousands of rows fast.
    if (std::none_of(text.begin(), text.end(), NeedsEscape)) {
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

std::string DisplayRowLines(const std::vector<scheduler::DisplayRow>& rows) {
    std::size_t size = 0;
    for (const scheduler::DisplayRow& row : rows)
        for (const std::string& column : row)
            size += column.size() + 1;
    std::string out;
    out.reserve(size);
    for (const scheduler::DisplayRow& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0) out += '\t';
            AppendEscaped(out, row[i]);
        }
        out += '\n';
    }
    return out;
}

std::string EscapedLine(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 1);
    AppendEscaped(out, text);
    out += '\n';
    return out;
}

} // namespace orvanta::ctl
