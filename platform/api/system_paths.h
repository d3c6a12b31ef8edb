#pragma once

#include <optional>
#include <string>

namespace orvanta::platform {

// Where the program lives and where it may keep its data.
class SystemPaths {
  public:
    virtual ~SystemPaths() = default;

    // The folder under which the program's own data folder is made; empty when the system cannot say.
    virtual std::string appDataRoot() const = 0;

    // Full path of the running executable, exactly as the process was started.
    virtual std::string executablePath() const = 0;

    // The folder the program, its helper and its files are found in. A path without a folder (or none at
    // all) means the current folder, "."; an executable at a root keeps the root's separator.
    std::string executableFolder() const {
        const std::string path = executablePath();
        const char separator = pathSeparator();
        // Both systems accept '/', whatever their own separator.
        const std::size_t last = path.find_last_of(std::string{separator, '/'});
        if (last == std::string::npos) return ".";
        // "/" and a drive's root ("C:\\") stay roots rather than becoming "" or "C:", the drive's current
        // folder.
        const bool atRoot = last == 0 || (separator == '\\' && last == 2 && path[1] == ':');
        return path.substr(0, atRoot ? last + 1 : last);
    }

    // The separator this system puts between folder names.
    virtual char pathSeparator() const = 0;

    // Where an installed copy keeps the parts that do not lie beside its executable, each relative to the
    // prefix (the executable's folder's parent). Nothing where an installed copy keeps them all beside the
    // executable, as a build tree does.
    struct InstalledLayout {
        std::string privateFolder; // the helper and the hook library
        std::string dataFolder;    // the "Language" and "doc" folders
    };
    virtual std::optional<InstalledLayout> installedLayout() const { return std::nullopt; }

    // Creates the folder with every missing parent. New folders are private to the user where the
    // system has that notion. Returns false when the folder does not exist afterwards.
    virtual bool ensureFolder(const std::string& path) const = 0;
};

} // namespace orvanta::platform
