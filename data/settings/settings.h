#pragma once

#include "data/settings/settings_keys.h"

#include <string>
#include <string_view>

namespace orvanta::data {

// Typed access to wake.ini. Each call is one complete file access, so nothing is cached and a value
// written anywhere is seen by the next read.
//
// Reads never fail: a missing file, section or key, or a value of the wrong form, gives the default.
// A write the system refuses raises orvanta::Error "Unable to write to <settings file path>".
class Settings {
  public:
    explicit Settings(std::string filePath) : filePath_(std::move(filePath)) {}

    const std::string& filePath() const { return filePath_; }

    // An integer value that is not zero is true.
    bool readFlag(std::string_view section, std::string_view key, bool defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X"; the whole value must be the number.
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    std::string readText(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Stored as "1" or "0".
    void writeFlag(std::string_view section, std::string_view key, bool value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeText(std::string_view section, std::string_view key, std::string_view value);

    bool read(const FlagSetting& s) const { return readFlag(s.section, s.key, s.defaultValue); }
    int read(const IntegerSetting& s) const { return readInteger(s.section, s.key, s.defaultValue); }
    std::string read(const TextSetting& s) const { return readText(s.section, s.key, s.defaultValue); }
    void write(const FlagSetting& s, bool value) { writeFlag(s.section, s.key, value); }
    void write(const IntegerSetting& s, int value) { writeInteger(s.section, s.key, value); }
    void write(const TextSetting& s, std::string_view value) { writeText(s.section, s.key, value); }

  private:
    std::string filePath_;
};

} // namespace orvanta::data
