#include "platform/linux/macro_hook/linux_macro_hook.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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
    const int fd = shm_open("/OrvantaTestBlock", O_RDONLY, 0);
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
    EXPECT_FALSE(BlockNameExists("/OrvantaTestBlock"));
}

TEST(HookLibraryTest, ABlockOthersCouldWriteIsRefused) {
    const int fd = shm_open("/OrvantaOpenBlock", O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(fchmod(fd, 0666), 0);
    close(fd);
    LinuxMacroHookPlatform platform(ORVANTA_HOOK_LIBRARY_DIR);
    EXPECT_FALSE(platform.CreateSharedBlock("OrvantaOpenBlock"));
    shm_unlink("/OrvantaOpenBlock");
}

} // namespace
} // namespace orvanta::platform::linux_backend
