#pragma once

#include <string>

namespace orvanta::i18n {

// Every user-visible text is fetched through this: by the asking window's section, a key and the built-in
// English text, which is the answer whenever no language file supplies one.
class TextLookup {
  public:
    virtual ~TextLookup() = default;
    virtual std::string text(const std::string& section, const std::string& key,
                             const std::string& englishDefault) const = 0;
};

// The lookup in force before a language is chosen, and in tests: the built-in English throughout.
class EnglishTextLookup : public TextLookup {
  public:
    std::string text(const std::string&, const std::string&,
                     const std::string& englishDefault) const override {
        return englishDefault;
    }
};

} // namespace orvanta::i18n
