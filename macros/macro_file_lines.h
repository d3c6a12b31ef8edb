#pragma once

#include "macros/macro_line_source.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <string>

namespace orvanta::macros {

// The most a macro file may hold. Recordings of hours stay far below it; anything larger is no macro and
// would only tie up memory and the player.
inline constexpr std::uintmax_t kMaxMacroFileBytes = 16u * 1024 * 1024;

// True when the path names a regular file (through links) of at most kMaxMacroFileBytes. Looks only at
// the file's status, never opens it, so a named pipe or a device cannot block the caller.
bool MacroFileAcceptable(const std::string& path);

// The lines of macro text decoded as they are read, a chunk at a time: the byte order mark chooses the
// encoding (FF FE UTF-16 little-endian, FE FF big-endian, EF BB BF UTF-8, else 8-bit text, which is UTF-8
// here); lines end at CR, LF or CR LF, and a final line break adds no empty line. Unpaired surrogates
// become U+FFFD; an odd last byte of UTF-16 text is no character.
class MacroTextLines : public MacroLineSource {
  public:
    explicit MacroTextLines(std::unique_ptr<std::istream> in, std::size_t chunkBytes = 64 * 1024);
    bool next(std::string& line) override;
    // True when the text could not be read to its end (or had no stream), or ran past kMaxMacroFileBytes.
    bool failed() const { return failed_; }

  protected:
    // For a source that opens its stream at the first read.
    explicit MacroTextLines(std::size_t chunkBytes);
    virtual std::unique_ptr<std::istream> Open() { return nullptr; }

  private:
    enum class Encoding { Unknown, Utf16Le, Utf16Be, Bytes };
    void Fill();
    void Decode();

    std::unique_ptr<std::istream> in_;
    std::size_t chunkBytes_;
    bool opened_ = false;
    bool ended_ = false;
    bool failed_ = false;
    std::uintmax_t total_ = 0;
    Encoding encoding_ = Encoding::Unknown;
    std::string raw_;  // bytes read and not yet decoded
    std::string text_; // decoded text from pos_ on not yet handed out
    std::size_t pos_ = 0;
};

// A macro file's lines, opened and read on the thread that asks for the first line. A path that is no
// regular file, cannot be opened or is larger than kMaxMacroFileBytes gives no lines and failed().
class MacroFileLines : public MacroTextLines {
  public:
    explicit MacroFileLines(std::string path, std::size_t chunkBytes = 64 * 1024)
        : MacroTextLines(chunkBytes), path_(std::move(path)) {}

  protected:
    std::unique_ptr<std::istream> Open() override;

  private:
    std::string path_;
};

} // namespace orvanta::macros
