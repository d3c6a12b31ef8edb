#include "macros/macro_file_write.h"
#include "macros/macro_text.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta::macros {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned ModeOf(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0xFFFF;
}

// Restores the process's umask however the test ends.
class UmaskScope {
  public:
    explicit UmaskScope(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskScope() { ::umask(old_); }

  private:
    mode_t old_;
};

std::size_t EntriesIn(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++n;
    return n;
}

TEST(MacroFileWriteTest, ARecordingIsReadableByItsOwnerOnlyWhateverTheUmaskOrTheOldFileAllowed) {
    test::TempFolder folder;
    const fs::path fresh = fs::path(folder.path()) / "new.mco";
    const fs::path old = fs::path(folder.path()) / "old.mco";
    { std::ofstream(old) << "0 KEY_DOWN 65\r\n"; }
    fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read);
    UmaskScope loose(0);
    ASSERT_TRUE(WriteMacroFile(fresh.string(), {"0 KEY_DOWN 80", "5 KEY_UP 80"}));
    ASSERT_TRUE(WriteMacroFile(old.string(), {"0 KEY_DOWN 81"}));
    EXPECT_EQ(ModeOf(fresh), 0600u);
    EXPECT_EQ(ModeOf(old), 0600u);
    EXPECT_EQ(ReadMacroFile(fresh.string()), (std::vector<std::string>{"0 KEY_DOWN 80", "5 KEY_UP 80"}));
    EXPECT_EQ(ReadMacroFile(old.string()), (std::vector<std::string>{"0 KEY_DOWN 81"}));
    // Nothing of the writing is left beside the files.
    EXPECT_EQ(EntriesIn(folder.path()), 2u);
}

TEST(MacroFileWriteTest, TheOldFileIsReplacedWholeNeverRewrittenInPlace) {
    test::TempFolder folder;
    const fs::path target = fs::path(folder.path()) / "m.mco";
    const fs::path reader = fs::path(folder.path()) / "held-by-a-reader";
    ASSERT_TRUE(WriteMacroFile(target.string(), {"0 KEY_DOWN 65"}));
    const std::string before = Slurp(target);
    // A second name for the old file stands for a reader that has it open, or for what a crash in the
    // middle of the write would leave: it must still see the old bytes, all of them.
    fs::create_hard_link(target, reader);
    ASSERT_TRUE(WriteMacroFile(target.string(), {"0 KEY_DOWN 66", "1 KEY_UP 66"}));
    EXPECT_EQ(Slurp(reader), before);
    EXPECT_EQ(Slurp(target), EncodeMacroText({"0 KEY_DOWN 66", "1 KEY_UP 66"}));
}

TEST(MacroFileWriteTest, ALinkIsFollowedAndAFailedWriteLeavesTheTargetAndNoTemporaryFile) {
    test::TempFolder folder;
    const fs::path real = fs::path(folder.path()) / "real.mco";
    const fs::path link = fs::path(folder.path()) / "link.mco";
    ASSERT_TRUE(WriteMacroFile(real.string(), {"0 KEY_DOWN 65"}));
    fs::create_symlink(real, link);
    ASSERT_TRUE(ReplaceMacroFileBytes(link.string(), "abc"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real), "abc");

    // A folder in the way cannot be replaced by a file.
    const fs::path busy = fs::path(folder.path()) / "busy.mco";
    fs::create_directory(busy);
    EXPECT_FALSE(ReplaceMacroFileBytes(busy.string(), "xyz"));
    EXPECT_TRUE(fs::is_directory(busy));
    EXPECT_EQ(EntriesIn(folder.path()), 3u);
    EXPECT_FALSE(ReplaceMacroFileBytes((fs::path(folder.path()) / "no-such-folder" / "a.mco").string(), "x"));
}

} // namespace
} // namespace orvanta::macros
