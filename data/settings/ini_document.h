#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::ini {

// Longest value a read hands back; longer values are cut, as the classic profile-string calls do.
inline constexpr std::size_t kMaxValueLength = 2047;

// The text of an INI file, editable one key at a time without disturbing anything else in it.
//
// Reading follows the profile-string rules: section and key names compare without regard to ASCII
// letter case, blanks around a value are dropped, one pair of enclosing single or double quotes is
// removed, and at most kMaxValueLength bytes come back. Only the first section of a name and the first
// key of a name within it count. Lines starting with ';' are comments.
//
// Editing keeps every untouched line byte for byte, line endings included; new lines take the line
// ending the file already uses ("\n" for a file that has none yet).
class IniDocument {
  public:
    explicit IniDocument(std::string_view content);

    // The value of the key, or nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Whether the text has a section of that name, with or without keys.
    bool hasSection(std::string_view section) const { return findSection(section).has_value(); }

    // Replaces the value of an existing key in place, else adds the key at the end of its section,
    // else adds the section at the end of the text. A value with blanks around it, or enclosed in a pair
    // of quotes, is written inside one more pair of double quotes, so that value() gives back exactly
    // what was set. Returns false, changing nothing, when the names or the value cannot be stored on
    // one INI line (see isStorable).
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes the line of the key. Returns false when there was no such key.
    bool removeKey(std::string_view section, std::string_view key);

    std::string text() const;

    // Whether a section name, key name and value survive a write and read back as the same names.
    // Names must be non-empty, free of line breaks and of surrounding blanks; a key must not contain
    // '=' nor start with ';' or '['; a section name must not contain ']'. A value must be free of
    // line breaks.
    static bool isStorable(std::string_view section, std::string_view key, std::string_view value);

  private:
    struct Line {
        std::string body; // without the line ending
        std::string ending;
    };
    struct Range {
        std::size_t begin;
        std::size_t end; // one past the last line of the section
    };

    std::optional<Range> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Range& range, std::string_view key) const;
    std::string lineEnding() const;
    void terminateLastLine();

    bool startsWithBom_ = false;
    std::vector<Line> lines_;
};

} // namespace orvanta::ini
