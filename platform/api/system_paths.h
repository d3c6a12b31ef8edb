#pragma once

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

    // The separator this system puts between folder names.
    virtual char pathSeparator() const = 0;

    // Creates the folder with every missing parent. New folders are private to the user where the
    // system has that notion. Returns false when the folder does not exist afterwards.
    virtual bool ensureFolder(const std::string& path) const = 0;
};

} // namespace orvanta::platform
