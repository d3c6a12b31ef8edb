#include "platform/linux/macro_hook/hook_message_atom.h"
#include "platform/linux/macro_hook/linux_macro_hook.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvanta::platform::linux_backend {
namespace {

bool BlockNameExists(const char* name) {
    const int fd = shm_open(name, O_RDONLY, 0);
    if (fd < 0) return false;
    close(fd);
    return true;
}

TEST(HookLibraryTest, TheLibraryBesideTheProgramExportsBothProcedures) {
    LinuxMacroHookPlatform platform(ORVANTA_HOOK_LIBRARY_DIR);
    auto library = platform.LoadHookLibrary();
    ASSERT_TRUE(library) << "libTalvenorMacro.so in " ORVANTA_HOOK_LIBRARY_DIR;
    EXPECT_TRUE(library->hasHookProcedures());
    // Without the recorder's blocks nothing is captured, and the calls come back.
    library->HookOn();
    library->HookOff();
    library->HookOff();

    LinuxMacroHookPlatform elsewhere("/nonexistent");
    EXPECT_FALSE(elsewhere.LoadHookLibrary());
}

TEST(HookLibraryTest, BlocksAreSharedByNameAndGoneWhenClosed) {
    LinuxMacroHookPlatform platform(ORVANTA_HOOK_LIBRARY_DIR);
    auto block = platform.CreateSharedBlock("OrvantaTestBlock");
    ASSERT_TRUE(block);
    block->writeInt32(8, -120);
    block->writeInt32(12, 0x12345678);

    // Another mapping of the same name, as the hook library makes it, sees the fields.
    const std::string object = SharedBlockObjectName("OrvantaTestBlock");
    const int fd = shm_open(object.c_str(), O_RDONLY, 0);
    ASSERT_GE(fd, 0);
    struct stat st {};
    ASSERT_EQ(fstat(fd, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_GE(st.st_size, 16);
    void* view = mmap(nullptr, 16, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    ASSERT_NE(view, MAP_FAILED);
    std::int32_t fields[4];
    std::memcpy(fields, view, 16);
    munmap(view, 16);
    EXPECT_EQ(fields[2], -120);
    EXPECT_EQ(fields[3], 0x12345678);
    EXPECT_EQ(block->readInt32(8), -120);

    block.reset();
    EXPECT_FALSE(BlockNameExists(object.c_str()));
}

// Shared-memory names are one namespace for the whole machine: a block of the plain name, made by
// another user's recorder or left by one, must not stop this user from recording.
TEST(HookLibraryTest, BlockNamesAreThisUsersAndThisDisplaysOwn) {
    EXPECT_EQ(SharedBlockObjectName("KSMMcoHook", ":7"), "/KSMMcoHook." + std::to_string(geteuid()) + ".:7");
    EXPECT_NE(SharedBlockObjectName("KSMMcoHook", ":7"), SharedBlockObjectName("KSMMcoHook", ":8"));

    const int fd = shm_open("/OrvantaPlainBlock", O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fchmod(fd, 0644), 0); // as another user's would look to us: not ours to write
    close(fd);
    LinuxMacroHookPlatform platform(ORVANTA_HOOK_LIBRARY_DIR);
    EXPECT_TRUE(platform.CreateSharedBlock("OrvantaPlainBlock"));
    shm_unlink("/OrvantaPlainBlock");
}

TEST(HookLibraryTest, ABlockLeftBehindByAKilledRecorderIsMadeAnewAndPrivate) {
    const std::string object = SharedBlockObjectName("OrvantaStaleBlock");
    shm_unlink(object.c_str()); // what an earlier run of this test left
    const int fd = shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 16), 0);
    const std::int32_t old[4] = {1, 2, 3, 4};
    ASSERT_EQ(write(fd, old, sizeof old), static_cast<ssize_t>(sizeof old));
    ASSERT_EQ(fchmod(fd, 0666), 0); // and others could have written it
    close(fd);

    LinuxMacroHookPlatform platform(ORVANTA_HOOK_LIBRARY_DIR);
    auto block = platform.CreateSharedBlock("OrvantaStaleBlock");
    ASSERT_TRUE(block);
    EXPECT_EQ(block->readInt32(8), 0) << "the old block's contents were kept";
    struct stat st {};
    ASSERT_EQ(stat(("/dev/shm" + object).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    block.reset();
    EXPECT_FALSE(BlockNameExists(object.c_str()));
}

// An X server of the test's own without the RECORD extension; ended by its process id.
class XServerWithoutRecord {
  public:
    XServerWithoutRecord() {
        int ends[2];
        if (pipe(ends) != 0) return;
        const std::string fd = std::to_string(ends[1]);
        const char* argv[] = {"Xvfb",   "-displayfd", fd.c_str(), "-extension",
                              "RECORD", "-nolisten",  "tcp",      nullptr};
        if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
        close(ends[1]);
        char number[16] = {};
        const ssize_t got = pid_ > 0 ? read(ends[0], number, sizeof number - 1) : -1;
        close(ends[0]);
        if (got > 0) display_ = ":" + std::string(number, std::strcspn(number, "\n"));
    }
    ~XServerWithoutRecord() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

TEST(HookLibraryTest, OnADisplayWithoutRecordTheLibrarySaysItCannotCapture) {
    XServerWithoutRecord server;
    if (server.display().empty()) GTEST_SKIP() << "Xvfb could not be started";
    const char* previous = std::getenv("DISPLAY");
    const std::string saved = previous ? previous : "";
    setenv("DISPLAY", server.display().c_str(), 1);

    LinuxMacroHookPlatform platform(ORVANTA_HOOK_LIBRARY_DIR);
    auto handles = platform.CreateSharedBlock(kHandleBlockName);
    auto pointer = platform.CreateSharedBlock(kPointerBlockName);
    ASSERT_TRUE(handles && pointer);
    handles->writeInt32(0, 0x200001); // a window id; nothing is ever sent to it
    auto library = platform.LoadHookLibrary();
    ASSERT_TRUE(library);
    library->HookOn();
    EXPECT_EQ(pointer->readInt32(kHookStatusOffset), kHookCannotCapture);
    library->HookOff();
    if (previous) setenv("DISPLAY", saved.c_str(), 1);
}

} // namespace
} // namespace orvanta::platform::linux_backend
