#include "platform/api/program_files.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace orvanta::platform {
namespace {

using test::TempFolder;
using test::WriteFileBytes;

// An executable at a chosen place, with or without an installed layout.
class PathsAt : public SystemPaths {
  public:
    PathsAt(std::string executable, std::optional<InstalledLayout> layout)
        : executable_(std::move(executable)), layout_(std::move(layout)) {}
    std::string appDataRoot() const override { return {}; }
    std::string executablePath() const override { return executable_; }
    char pathSeparator() const override { return '/'; }
    bool ensureFolder(const std::string&) const override { return false; }
    std::optional<InstalledLayout> installedLayout() const override { return layout_; }

  private:
    std::string executable_;
    std::optional<InstalledLayout> layout_;
};

const SystemPaths::InstalledLayout kLayout{"lib/orvanta", "share/orvanta"};

void MakeFile(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFileBytes(path, "x");
}

// Everything an installed copy has, under <root>/usr.
void MakeInstalledCopy(const std::string& root) {
    MakeFile(root + "/usr/bin/orvanta");
    MakeFile(root + "/usr/lib/orvanta/Orvanta_Settings");
    MakeFile(root + "/usr/lib/orvanta/libTalvenorMacro.so");
    MakeFile(root + "/usr/share/orvanta/Language/Orvanta.DEU");
    MakeFile(root + "/usr/share/orvanta/doc/orvanta-manual.html");
}

TEST(ProgramFiles, AnInstalledCopyFindsEachPartInItsInstalledFolder) {
    TempFolder root;
    MakeInstalledCopy(root.path());
    const PathsAt paths(root.file("usr/bin/orvanta"), kLayout);
    const ProgramFiles files(paths);
    EXPECT_EQ(files.languageRoot(), root.file("usr/share/orvanta"));
    EXPECT_EQ(files.docFolder(), root.file("usr/share/orvanta/doc"));
    EXPECT_EQ(files.privateFile("Orvanta_Settings"), root.file("usr/lib/orvanta/Orvanta_Settings"));
    EXPECT_EQ(files.privateFolderOf("libTalvenorMacro.so"), root.file("usr/lib/orvanta"));
    // A file the installation lacks is reported where the program looked first.
    EXPECT_EQ(files.privateFile("orvanta-uninstall"), root.file("usr/bin/orvanta-uninstall"));
}

TEST(ProgramFiles, WhatLiesBesideTheExecutableWinsOverAnInstalledCopy) {
    TempFolder root;
    // A build tree whose parent also looks like an installation: the build tree's own files count.
    MakeInstalledCopy(root.path());
    const std::string bin = root.file("usr/bin");
    MakeFile(bin + "/Language/Orvanta.ENU");
    MakeFile(bin + "/doc/orvanta-manual.html");
    MakeFile(bin + "/Orvanta_Settings");
    const PathsAt paths(bin + "/orvanta", kLayout);
    const ProgramFiles files(paths);
    EXPECT_EQ(files.languageRoot(), bin);
    EXPECT_EQ(files.docFolder(), bin + "/doc");
    EXPECT_EQ(files.privateFile("Orvanta_Settings"), bin + "/Orvanta_Settings");
    // Each part is found on its own: the hook library only the installation has comes from there.
    EXPECT_EQ(files.privateFolderOf("libTalvenorMacro.so"), root.file("usr/lib/orvanta"));
}

TEST(ProgramFiles, WithTheFilesNowhereEveryAnswerIsBesideTheExecutable) {
    TempFolder root;
    const std::string bin = root.file("opt/bin");
    const PathsAt paths(bin + "/orvanta", kLayout);
    const ProgramFiles files(paths);
    EXPECT_EQ(files.languageRoot(), bin);
    EXPECT_EQ(files.docFolder(), bin + "/doc");
    EXPECT_EQ(files.privateFile("Orvanta_Settings"), bin + "/Orvanta_Settings");
    EXPECT_EQ(files.privateFolderOf("libTalvenorMacro.so"), bin);
}

TEST(ProgramFiles, ASystemWithoutAnInstalledLayoutLooksOnlyBesideTheExecutable) {
    TempFolder root;
    MakeInstalledCopy(root.path());
    const std::string bin = root.file("usr/bin");
    const PathsAt paths(bin + "/orvanta", std::nullopt);
    const ProgramFiles files(paths);
    EXPECT_EQ(files.languageRoot(), bin);
    EXPECT_EQ(files.docFolder(), bin + "/doc");
    EXPECT_EQ(files.privateFile("Orvanta_Settings"), bin + "/Orvanta_Settings");
}

} // namespace
} // namespace orvanta::platform
