#include "macros/macro_file_lines.h"

#include "data/utf8.h"

#include <filesystem>
#include <fstream>

namespace orvanta::macros {

namespace {

bool IsHighSurrogate(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Decodes the whole UTF-16 units of raw into out and keeps in raw what may still pair with bytes to come:
// an odd byte, and a high surrogate at the very end. At the end of the text (final) nothing is kept.
void DecodeUtf16(std::string& raw, bool bigEndian, bool final, std::string& out) {
    const std::size_t units = raw.size() / 2;
    auto unitAt = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(raw[2 * i]);
        const auto b = static_cast<unsigned char>(raw[2 * i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    std::size_t i = 0;
    for (; i < units; ++i) {
        const char32_t u = unitAt(i);
        if (IsHighSurrogate(u)) {
            if (i + 1 == units && !final) break; // its partner may be in the next chunk
            if (i + 1 < units && IsLowSurrogate(unitAt(i + 1))) {
                data::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
                ++i;
                continue;
            }
        }
        data::AppendUtf8(out, (IsHighSurrogate(u) || IsLowSurrogate(u)) ? char32_t(0xFFFD) : u);
    }
    raw.erase(0, final ? raw.size() : 2 * i);
}

} // namespace

bool MacroFileAcceptable(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::is_regular_file(status)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    return !ec && size <= kMaxMacroFileBytes;
}

MacroTextLines::MacroTextLines(std::unique_ptr<std::istream> in, std::size_t chunkBytes)
    : in_(std::move(in)), chunkBytes_(chunkBytes ? chunkBytes : 1), opened_(true) {}

MacroTextLines::MacroTextLines(std::size_t chunkBytes) : chunkBytes_(chunkBytes ? chunkBytes : 1) {}

void MacroTextLines::Fill() {
    if (!opened_) {
        opened_ = true;
        in_ = Open();
    }
    if (!in_ || !*in_) {
        failed_ = failed_ || !in_ || in_->bad() || !in_->eof();
        ended_ = true;
        Decode();
        return;
    }
    std::string chunk(chunkBytes_, '\0');
    in_->read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(in_->gcount());
    if (in_->bad()) failed_ = true;
    total_ += got;
    if (total_ > kMaxMacroFileBytes) {
        // A file that grew past the limit while it played: what was read plays, the rest is refused.
        failed_ = true;
        ended_ = true;
        Decode();
        return;
    }
    raw_.append(chunk, 0, got);
    if (got == 0 || in_->eof() || in_->bad()) ended_ = true;
    Decode();
}

void MacroTextLines::Decode() {
    if (encoding_ == Encoding::Unknown) {
        if (raw_.size() < 3 && !ended_) return; // the mark may be longer than what has come so far
        if (raw_.starts_with("\xFF\xFE")) {
            encoding_ = Encoding::Utf16Le;
            raw_.erase(0, 2);
        } else if (raw_.starts_with("\xFE\xFF")) {
            encoding_ = Encoding::Utf16Be;
            raw_.erase(0, 2);
        } else if (raw_.starts_with("\xEF\xBB\xBF")) {
            encoding_ = Encoding::Bytes;
            raw_.erase(0, 3);
        } else {
            encoding_ = Encoding::Bytes;
        }
    }
    // What has been handed out already is dropped before more is added.
    text_.erase(0, pos_);
    pos_ = 0;
    if (encoding_ == Encoding::Bytes) {
        text_ += raw_;
        raw_.clear();
    } else {
        DecodeUtf16(raw_, encoding_ == Encoding::Utf16Be, ended_, text_);
    }
}

bool MacroTextLines::next(std::string& line) {
    for (;;) {
        const std::size_t brk = text_.find_first_of("\r\n", pos_);
        // A CR at the end of what has come may be the first half of CR LF.
        const bool complete =
            brk != std::string::npos && !(text_[brk] == '\r' && brk + 1 == text_.size() && !ended_);
        if (complete) {
            line.assign(text_, pos_, brk - pos_);
            pos_ = brk + 1;
            if (text_[brk] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
            return true;
        }
        if (ended_) {
            if (pos_ >= text_.size()) return false;
            line.assign(text_, pos_);
            pos_ = text_.size();
            return true;
        }
        Fill();
    }
}

std::unique_ptr<std::istream> MacroFileLines::Open() {
    // Checked again here, on the reading thread: the path may have changed since the player was started.
    if (!MacroFileAcceptable(path_)) return nullptr;
    auto in = std::make_unique<std::ifstream>(path_, std::ios::binary);
    if (!*in) return nullptr;
    return in;
}

} // namespace orvanta::macros
