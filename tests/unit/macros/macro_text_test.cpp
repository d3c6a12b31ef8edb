#include "macros/macro_text.h"
#include "tests/support/temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>

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

} // namespace
} // namespace orvanta::macros
