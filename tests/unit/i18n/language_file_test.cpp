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

} // namespace
} // namespace orvanta::i18n
