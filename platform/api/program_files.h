#pragma once

#include "platform/api/system_paths.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace orvanta::platform {

// Where the program's own files are: its language files, its helper, its hook library and its manual.
// A build tree (and a Windows installation) keeps them beside the executable; an installed copy keeps
// them in the folders its layout names under the prefix. Whatever lies beside the executable wins, so a
// build tree keeps using its own files while another copy is installed. Every user asks here, so that
// the program never finds its language files in one place and its helper in another by accident.
class ProgramFiles {
  public:
    explicit ProgramFiles(const SystemPaths& paths) : paths_(paths) {}
    // Kept by reference: a temporary would be gone before the first question.
    explicit ProgramFiles(const SystemPaths&&) = delete;

    // The folder holding the "Language" folder; beside the executable when neither place has one.
    std::string languageRoot() const {
        const std::string beside = paths_.executableFolder();
        if (IsFolder(Join(beside, "Language"))) return beside;
        const std::string installed = InstalledData();
        if (!installed.empty() && IsFolder(Join(installed, "Language"))) return installed;
        return beside;
    }

    // The folder holding the manual; the one beside the executable when neither place has one.
    std::string docFolder() const {
        const std::string beside = Join(paths_.executableFolder(), "doc");
        if (IsFolder(beside)) return beside;
        const std::string installed = InstalledData();
        if (!installed.empty() && IsFolder(Join(installed, "doc"))) return Join(installed, "doc");
        return beside;
    }

    // The folder one of the program's private files (the helper, the hook library) lies in; the
    // executable's folder when it lies nowhere, so that what reports it missing names that place.
    std::string privateFolderOf(const std::string& fileName) const {
        const std::string beside = paths_.executableFolder();
        if (IsFile(Join(beside, fileName))) return beside;
        if (const auto layout = paths_.installedLayout()) {
            const std::string installed = Join(Prefix(), layout->privateFolder);
            if (IsFile(Join(installed, fileName))) return installed;
        }
        return beside;
    }

    // Full path of one of the program's private files, found as privateFolderOf finds its folder.
    std::string privateFile(const std::string& fileName) const {
        return Join(privateFolderOf(fileName), fileName);
    }

  private:
    std::string Join(const std::string& folder, const std::string& name) const {
        const char separator = paths_.pathSeparator();
        if (folder.empty() || name.empty()) return folder + name;
        if (folder.back() == separator || folder.back() == '/') return folder + name;
        return folder + separator + name;
    }

    // The executable's folder's parent, spelt without ".." where the folder names one: "/usr" for
    // "/usr/bin", "." for "bin".
    std::string Prefix() const {
        const std::string folder = paths_.executableFolder();
        const std::size_t last = folder.find_last_of(std::string{paths_.pathSeparator(), '/'});
        if (last == std::string::npos) return folder == "." ? ".." : ".";
        if (last == 0) return folder.substr(0, 1);
        if (last + 1 == folder.size()) return folder; // a root has no parent
        return folder.substr(0, last);
    }

    std::string InstalledData() const {
        const auto layout = paths_.installedLayout();
        return layout ? Join(Prefix(), layout->dataFolder) : std::string();
    }

    static bool IsFolder(const std::string& path) {
        std::error_code error;
        return std::filesystem::is_directory(path, error);
    }
    static bool IsFile(const std::string& path) {
        std::error_code error;
        return std::filesystem::is_regular_file(path, error);
    }

    const SystemPaths& paths_;
};

} // namespace orvanta::platform
