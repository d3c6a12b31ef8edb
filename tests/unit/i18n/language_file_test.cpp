#include "i18n/language_file.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvanta::i18n {
namespace {

TEST(LanguageFile, AnswersByProfileStringRules) {
    const LanguageFile file("\xEF\xBB\xBF[General]\r\nLanguage= 'Deutsch' \r\nFontSize=0x0A\r\n"
                            "[TMainForm]\r\nCaption=\"Planer\"\r\nEmpty=\r\n");
    EXPECT_TRUE(file.hasSection("general"));
    EXPECT_FALSE(file.hasSection("TAboutForm"));
    EXPECT_EQ(file.text("General", "language", "x"), "Deutsch");
    EXPECT_EQ(file.text("TMAINFORM", "Caption", "x"), "Planer");
    EXPECT_EQ(file.text("TMainForm", "Empty", "x"), "");
    EXPECT_EQ(file.text("TMainForm", "Missing", "default"), "default");
    EXPECT_EQ(file.integer("General", "FontSize"), 10);
    EXPECT_EQ(file.integer("General", "Language"), std::nullopt);
}

TEST(LanguageFile, OpensOnlyAnExistingFileAndKeepsWhatItRead) {
    test::TempFolder folder;
    EXPECT_EQ(LanguageFile::Open(folder.file("missing")), nullptr);
    EXPECT_EQ(LanguageFile::Open(folder.path()), nullptr);
    test::WriteFileBytes(folder.file("Orvanta.DEU"), "[General]\nLanguage=Deutsch\n");
    auto file = LanguageFile::Open(folder.file("Orvanta.DEU"));
    ASSERT_NE(file, nullptr);
    std::filesystem::remove(folder.file("Orvanta.DEU"));
    EXPECT_EQ(file->text("General", "Language", ""), "Deutsch");
}

TEST(LanguageFile, ReadsAFileInItsCodePageAsUtf8) {
    test::TempFolder folder;
    const struct {
        const char* bytes;
        const char* utf8;
    } cases[] = {
        // No character set: the ANSI page, where 0x80 is the euro sign.
        {"[General]\nLanguage=Deutsch\n[TMainForm]\nDelBtn.Caption=L\xF6schen \x80\n",
         "L\xC3\xB6schen \xE2\x82\xAC"},
        {"[General]\nCharset=0\n[TMainForm]\nDelBtn.Caption=\xC4nderung\n", "\xC3\x84nderung"},
        {"[General]\nCharset=204\n[TMainForm]\nDelBtn.Caption=\xD3\xE4\xE0\xEB\xE8\xF2\xFC\n",
         "\xD0\xA3\xD0\xB4\xD0\xB0\xD0\xBB\xD0\xB8\xD1\x82\xD1\x8C"},
        {"[General]\nCharset=238\n[TMainForm]\nDelBtn.Caption=Smaza\x9D\n", "Smaza\xC5\xA5"},
        {"[General]\nCharset=161\n[TMainForm]\nDelBtn.Caption=\xC4\xE9\xE1\xE3\xF1\xE1\xF6\xDE\n",
         "\xCE\x94\xCE\xB9\xCE\xB1\xCE\xB3\xCF\x81\xCE\xB1\xCF\x86\xCE\xAE"},
        // Already UTF-8, whatever the character set says.
        {"[General]\nCharset=204\n[TMainForm]\nDelBtn.Caption=L\xC3\xB6schen\n", "L\xC3\xB6schen"},
    };
    for (const auto& c : cases) {
        test::WriteFileBytes(folder.file("Orvanta.XYZ"), c.bytes);
        auto file = LanguageFile::Open(folder.file("Orvanta.XYZ"));
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->text("TMainForm", "DelBtn.Caption", ""), c.utf8) << c.bytes;
    }
}

} // namespace
} // namespace orvanta::i18n
