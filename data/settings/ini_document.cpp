#include "data/settings/ini_document.h"

#include <algorithm>

namespace orvanta::ini {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\v\f\r";

std::string_view TrimLeft(std::string_view s) {
    std::size_t first = s.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    return s.substr(0, s.find_last_not_of(kBlanks) + 1);
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct LineInfo {
    LineKind kind = LineKind::Other;
    std::string_view name;      // section name or key, trimmed
    std::size_t valueBegin = 0; // Entry only: offset in the body of the first value byte after the blanks
};

LineInfo Classify(std::string_view body) {
    std::string_view s = TrimLeft(body);
    if (s.empty()) return {LineKind::Blank, {}, 0};
    if (s.front() == ';') return {LineKind::Comment, {}, 0};
    if (s.front() == '[') {
        std::size_t close = s.rfind(']');
        if (close != std::string_view::npos) return {LineKind::Section, Trim(s.substr(1, close - 1)), 0};
    }
    std::size_t equals = body.find('=');
    if (equals == std::string_view::npos) return {LineKind::Other, {}, 0};
    std::string_view key = Trim(body.substr(0, equals));
    if (key.empty()) return {LineKind::Other, {}, 0};
    std::size_t valueBegin = body.find_first_not_of(kBlanks, equals + 1);
    return {LineKind::Entry, key, valueBegin == std::string_view::npos ? body.size() : valueBegin};
}

// The value a read makes of the raw text after '=', before the length cut.
std::string_view UnwrappedValue(std::string_view raw) {
    std::string_view v = Trim(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

std::string ProfileValue(std::string_view raw) {
    return std::string(UnwrappedValue(raw).substr(0, kMaxValueLength));
}

// A value that reading would trim or unwrap goes out inside one more pair of quotes, which reading
// removes again; anything else is written as it is, so hand-written files keep their look.
std::string StoredForm(std::string_view value) {
    if (UnwrappedValue(value) == value) return std::string(value);
    return "\"" + std::string(value) + "\"";
}

} // namespace

IniDocument::IniDocument(std::string_view content) {
    // A byte-order mark is kept for writing back but must not hide the first section header.
    if (content.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        startsWithBom_ = true;
        content.remove_prefix(kUtf8Bom.size());
    }
    while (!content.empty()) {
        std::size_t newline = content.find('\n');
        if (newline == std::string_view::npos) {
            lines_.push_back({std::string(content), {}});
            break;
        }
        std::size_t bodyEnd = (newline > 0 && content[newline - 1] == '\r') ? newline - 1 : newline;
        lines_.push_back({std::string(content.substr(0, bodyEnd)),
                          std::string(content.substr(bodyEnd, newline + 1 - bodyEnd))});
        content.remove_prefix(newline + 1);
    }
}

std::optional<IniDocument::Range> IniDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        LineInfo info = Classify(lines_[i].body);
        if (info.kind != LineKind::Section || !SameName(info.name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && Classify(lines_[end].body).kind != LineKind::Section)
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const Range& range, std::string_view key) const {
    for (std::size_t i = range.begin + 1; i < range.end; ++i) {
        LineInfo info = Classify(lines_[i].body);
        if (info.kind == LineKind::Entry && SameName(info.name, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    std::optional<Range> range = findSection(section);
    if (!range) return std::nullopt;
    std::optional<std::size_t> index = findKey(*range, key);
    if (!index) return std::nullopt;
    const std::string& body = lines_[*index].body;
    return ProfileValue(std::string_view(body).substr(Classify(body).valueBegin));
}

bool IniDocument::isStorable(std::string_view section, std::string_view key, std::string_view value) {
    auto isCleanName = [](std::string_view name) {
        return !name.empty() && Trim(name) == name && !HasLineBreak(name);
    };
    return isCleanName(section) && section.find(']') == std::string_view::npos && isCleanName(key) &&
           key.find('=') == std::string_view::npos && key.front() != ';' && key.front() != '[' &&
           !HasLineBreak(value);
}

std::string IniDocument::lineEnding() const {
    for (const Line& line : lines_)
        if (!line.ending.empty()) return line.ending;
    return "\n";
}

void IniDocument::terminateLastLine() {
    if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = lineEnding();
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!isStorable(section, key, value)) return false;
    const std::string ending = lineEnding();
    const std::string stored = StoredForm(value);
    std::string entry = std::string(key) + "=" + stored;

    std::optional<Range> range = findSection(section);
    if (!range) {
        terminateLastLine();
        // A blank line between sections keeps the file readable for whoever edits it by hand.
        if (!lines_.empty() && Classify(lines_.back().body).kind != LineKind::Blank)
            lines_.push_back({{}, ending});
        lines_.push_back({"[" + std::string(section) + "]", ending});
        lines_.push_back({std::move(entry), ending});
        return true;
    }
    if (std::optional<std::size_t> index = findKey(*range, key)) {
        // Keep the key's own spelling and the blanks around '=' as the file has them.
        std::string& body = lines_[*index].body;
        body = body.substr(0, Classify(body).valueBegin) + stored;
        return true;
    }
    // The end of a section is its last non-blank line, so the blank lines that separate it from the
    // next section stay below the new key.
    std::size_t insertAt = range->end;
    while (insertAt > range->begin + 1 && Classify(lines_[insertAt - 1].body).kind == LineKind::Blank)
        --insertAt;
    if (insertAt == lines_.size()) terminateLastLine();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{std::move(entry), ending});
    return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    std::optional<Range> range = findSection(section);
    if (!range) return false;
    std::optional<std::size_t> index = findKey(*range, key);
    if (!index) return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
    return true;
}

std::string IniDocument::text() const {
    std::string out = startsWithBom_ ? std::string(kUtf8Bom) : std::string();
    for (const Line& line : lines_)
        out += line.body + line.ending;
    return out;
}

} // namespace orvanta::ini
