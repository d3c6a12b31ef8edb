#include "macros/macro_file_lines.h"
#include "macros/macro_text.h"
#include "tests/support/temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace orvanta::macros {
namespace {

using Lines = std::vector<std::string>;

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string out;
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

TEST(MacroTextTest, EachByteOrderMarkChoosesItsEncoding) {
    const std::u16string text = u"0 INPUT Grüße \U0001F600\r\n10 KEY_DOWN 65\r\n";
    const Lines expected{"0 INPUT Grüße \xF0\x9F\x98\x80", "10 KEY_DOWN 65"};
    EXPECT_EQ(DecodeMacroText("\xFF\xFE" + Utf16(text, false)), expected);
    EXPECT_EQ(DecodeMacroText("\xFE\xFF" + Utf16(text, true)), expected);
    EXPECT_EQ(DecodeMacroText("\xEF\xBB\xBF"
                              "0 INPUT Grüße \xF0\x9F\x98\x80\n10 KEY_DOWN 65"),
              expected);
    // Without a mark the bytes are taken as they are, the mark of no encoding included.
    EXPECT_EQ(DecodeMacroText("0 INPUT Grüße \xF0\x9F\x98\x80\r10 KEY_DOWN 65\r"), expected);
}

TEST(MacroTextTest, LineBreaksAndBlankLines) {
    EXPECT_EQ(DecodeMacroText("a\r\n\r\nb\n\nc\r\rd"), (Lines{"a", "", "b", "", "c", "", "d"}));
    EXPECT_EQ(DecodeMacroText("a\n\r"), (Lines{"a", ""}));
    EXPECT_TRUE(DecodeMacroText("").empty());
    EXPECT_TRUE(DecodeMacroText("\xFF\xFE").empty());
    // A lone surrogate and an odd trailing byte do not break the text around them.
    EXPECT_EQ(DecodeMacroText("\xFF\xFE" + Utf16(u"x", false) + std::string("\x00\xD8", 2) +
                              Utf16(u"y", false) + "z"),
              (Lines{"x\xEF\xBF\xBDy"}));
}

TEST(MacroTextTest, ReadingAFileAndFailingToRead) {
    test::TempFolder folder;
    const std::string path = folder.file("m.mco");
    {
        std::ofstream out(path, std::ios::binary);
        out << "\xFF\xFE" << Utf16(u"0 MOUSE_MOVE 1 2\r\n", false);
    }
    EXPECT_EQ(ReadMacroFile(path), (Lines{"0 MOUSE_MOVE 1 2"}));
    EXPECT_FALSE(ReadMacroFile(folder.file("missing.mco")));
    EXPECT_FALSE(ReadMacroFile(folder.path()));
}

Lines ReadInChunks(const std::string& bytes, std::size_t chunk) {
    MacroTextLines source(std::make_unique<std::istringstream>(bytes), chunk);
    Lines lines;
    for (std::string line; source.next(line);)
        lines.push_back(line);
    EXPECT_FALSE(source.failed());
    return lines;
}

TEST(MacroTextTest, ReadingAChunkAtATimeGivesTheSameLinesWhereverTheChunksEnd) {
    // Byte order marks, surrogate pairs, CR LF and lone surrogates all fall across chunk ends somewhere.
    const std::u16string text = u"0 INPUT \U0001F600x\r\n\r\n5 KEY_DOWN 65\r6\n7 \xD800z\r\n";
    const std::vector<std::string> inputs{
        "\xFF\xFE" + Utf16(text, false),
        "\xFE\xFF" + Utf16(text, true) + "q",
        "\xEF\xBB\xBF"
        "a\r\nb\r\rc\n",
        "ab\r\n",
        "\xFF",
    };
    for (const std::string& bytes : inputs) {
        const Lines whole = DecodeMacroText(bytes);
        for (std::size_t chunk = 1; chunk <= 9; ++chunk)
            EXPECT_EQ(ReadInChunks(bytes, chunk), whole) << "chunks of " << chunk;
    }
    EXPECT_EQ(DecodeMacroText("\xFF\xFE" + Utf16(text, false)),
              (Lines{"0 INPUT \xF0\x9F\x98\x80x", "", "5 KEY_DOWN 65", "6", "7 \xEF\xBF\xBDz"}));
}

TEST(MacroTextTest, AMacroFileIsOpenedAtItsFirstLineAndLargeOnesAreRefused) {
    test::TempFolder folder;
    const std::string path = folder.file("later.mco");
    std::ofstream(path, std::ios::binary) << "0 KEY_DOWN 65\r\n";
    // Made on one thread, read on another: the file is read only when the lines are asked for.
    MacroFileLines lines(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "5 KEY_UP 66\n";
    std::string line;
    ASSERT_TRUE(lines.next(line));
    EXPECT_EQ(line, "5 KEY_UP 66");
    EXPECT_FALSE(lines.next(line));
    EXPECT_FALSE(lines.failed());

    EXPECT_TRUE(MacroFileAcceptable(path));
    EXPECT_FALSE(MacroFileAcceptable(folder.path()));
    EXPECT_FALSE(MacroFileAcceptable(folder.file("missing.mco")));
    const std::string huge = folder.file("huge.mco");
    {
        std::ofstream out(huge, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(kMaxMacroFileBytes));
        out.put('\n'); // one byte past the limit
    }
    EXPECT_FALSE(MacroFileAcceptable(huge));
    EXPECT_FALSE(ReadMacroFile(huge));
    MacroFileLines refused(huge);
    EXPECT_FALSE(refused.next(line));
    EXPECT_TRUE(refused.failed());
}

} // namespace
} // namespace orvanta::macros
