#include "platform/api/system_paths.h"

#include <gtest/gtest.h>

namespace orvanta::platform {
namespace {

// Only the executable's path and the separator matter to the folder.
class PathsAt : public SystemPaths {
  public:
    PathsAt(std::string executable, char separator)
        : executable_(std::move(executable)), separator_(separator) {}
    std::string appDataRoot() const override { return {}; }
    std::string executablePath() const override { return executable_; }
    char pathSeparator() const override { return separator_; }
    bool ensureFolder(const std::string&) const override { return false; }

  private:
    std::string executable_;
    char separator_;
};

TEST(ExecutableFolder, IsTheFolderOfThePathOrTheCurrentFolder) {
    const struct {
        const char* executable;
        char separator;
        const char* folder;
    } cases[] = {
        {"/opt/orvanta/bin/orvanta", '/', "/opt/orvanta/bin"},
        {"/orvanta", '/', "/"},
        // A bare name or no name at all: the program was found in the current folder.
        {"orvanta", '/', "."},
        {"", '/', "."},
        {"bin/orvanta", '/', "bin"},
        {"C:\\Program Files\\Orvanta\\Orvanta.exe", '\\', "C:\\Program Files\\Orvanta"},
        {"C:\\Orvanta.exe", '\\', "C:\\"},
        {"C:/Tools/Orvanta.exe", '\\', "C:/Tools"},
        {"Orvanta.exe", '\\', "."},
        // On a system whose separator is '/', a backslash is part of a name.
        {"/opt/a\\b", '/', "/opt"},
        {"a\\orvanta", '/', "."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathsAt(c.executable, c.separator).executableFolder(), c.folder) << c.executable;
    }
}

} // namespace
} // namespace orvanta::platform
