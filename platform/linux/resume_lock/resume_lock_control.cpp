#include "platform/linux/resume_lock/resume_lock_control.h"

#include "platform/api/ini_files.h"
#include "platform/linux/ascii_text.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <vector>

namespace orvanta::platform::linux_backend {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::optional<bool> BooleanWord(std::string_view text) {
    const std::string word = AsciiLower(Trimmed(text));
    if (word == "true" || word == "yes" || word == "on" || word == "1") return true;
    if (word == "false" || word == "no" || word == "off" || word == "0") return false;
    return std::nullopt;
}

const char* Word(bool value) {
    return value ? "true" : "false";
}

// A boolean key of a GSettings schema, through the desktop's own gsettings tool.
class GSettingsKey : public ResumeLockControl {
  public:
    GSettingsKey(CommandRunner run, std::string schema, std::string key)
        : run_(std::move(run)), schema_(std::move(schema)), key_(std::move(key)) {}

    std::optional<bool> locksOnResume() const override {
        const CommandResult r = run_({"gsettings", "get", schema_, key_});
        if (!r.succeeded()) return std::nullopt;
        return BooleanWord(r.output);
    }
    bool setLocksOnResume(bool lock) override {
        return run_({"gsettings", "set", schema_, key_, Word(lock)}).succeeded();
    }
    std::string describe() const override { return "GSettings " + schema_ + " " + key_; }

  private:
    CommandRunner run_;
    std::string schema_;
    std::string key_;
};

// The first of the candidate keys the installed schema has; nullopt when the schema is not installed.
std::optional<std::string> FirstInstalledKey(const CommandRunner& run, const std::string& schema,
                                             const std::vector<std::string>& candidates) {
    const CommandResult r = run({"gsettings", "list-keys", schema});
    if (!r.succeeded()) return std::nullopt;
    std::set<std::string> keys;
    for (const std::string& line : Lines(r.output))
        keys.insert(std::string(Trimmed(line)));
    for (const std::string& key : candidates)
        if (keys.count(key)) return key;
    return std::nullopt;
}

// light-locker, which several desktops start as their screen locker, has a switch of its own.
std::unique_ptr<ResumeLockControl> LightLocker(const CommandRunner& run) {
    const auto key = FirstInstalledKey(run, "apps.light-locker", {"lock-on-suspend"});
    if (!key) return nullptr;
    return std::make_unique<GSettingsKey>(run, "apps.light-locker", *key);
}

// A boolean property of an Xfce configuration channel, through xfconf-query.
class XfconfProperty : public ResumeLockControl {
  public:
    XfconfProperty(CommandRunner run, std::string channel, std::string property, bool unsetValue)
        : run_(std::move(run)), channel_(std::move(channel)), property_(std::move(property)),
          unsetValue_(unsetValue) {}

    std::optional<bool> locksOnResume() const override {
        const CommandResult r = run_({"xfconf-query", "-c", channel_, "-p", property_});
        if (r.succeeded()) return BooleanWord(r.output);
        // A property never set holds its program's default, but only a reachable channel tells us it is
        // merely unset rather than unknown.
        if (r.started && run_({"xfconf-query", "-c", channel_, "-l"}).succeeded()) return unsetValue_;
        return std::nullopt;
    }
    bool setLocksOnResume(bool lock) override {
        return run_({"xfconf-query", "-c", channel_, "-p", property_, "-n", "-t", "bool", "-s", Word(lock)})
            .succeeded();
    }
    std::string describe() const override { return "Xfconf " + channel_ + " " + property_; }

  private:
    CommandRunner run_;
    std::string channel_;
    std::string property_;
    bool unsetValue_;
};

// KDE's screen locker reads its switch from kscreenlockerrc; the file is edited in place, keeping the
// rest of it.
class KdeLockFile : public ResumeLockControl {
  public:
    explicit KdeLockFile(std::string path) : path_(std::move(path)) {}

    std::optional<bool> locksOnResume() const override {
        std::error_code ec;
        // The locker's own default is to lock.
        if (!fs::exists(path_, ec)) return true;
        const std::optional<std::string> text = ini_files::ReadWholeFile(path_);
        if (!text) return std::nullopt;
        return KdeLockOnResume(*text).value_or(true);
    }
    bool setLocksOnResume(bool lock) override {
        std::error_code ec;
        fs::create_directories(fs::path(path_).parent_path(), ec);
        // Replaced whole: the locker never reads half a file.
        return ini_files::WriteValue(path_, "Daemon", "LockOnResume", Word(lock));
    }
    std::string describe() const override { return path_ + " [Daemon] LockOnResume"; }

  private:
    std::string path_;
};

// Several switches that each lock on resume: the desktop locks when any of them says so.
class AnyOf : public ResumeLockControl {
  public:
    explicit AnyOf(std::vector<std::unique_ptr<ResumeLockControl>> parts) : parts_(std::move(parts)) {}

    std::optional<bool> locksOnResume() const override {
        std::optional<bool> result;
        for (const auto& part : parts_)
            if (const auto value = part->locksOnResume()) result = result.value_or(false) || *value;
        return result;
    }
    bool setLocksOnResume(bool lock) override {
        bool all = true;
        for (const auto& part : parts_)
            all = part->setLocksOnResume(lock) && all;
        return all;
    }
    std::string describe() const override {
        std::string text;
        for (const auto& part : parts_)
            text += (text.empty() ? "" : " and ") + part->describe();
        return text;
    }

  private:
    std::vector<std::unique_ptr<ResumeLockControl>> parts_;
};

} // namespace

LockDesktop DetectLockDesktop(const std::string& currentDesktop) {
    std::istringstream in(currentDesktop);
    for (std::string name; std::getline(in, name, ':');) {
        name = AsciiLower(Trimmed(name));
        if (name == "kde") return LockDesktop::Kde;
        if (name == "xfce") return LockDesktop::Xfce;
        if (name == "gnome" || name == "unity" || name == "ubuntu" || name == "gnome-classic" ||
            name == "gnome-flashback")
            return LockDesktop::Gnome;
    }
    return LockDesktop::Other;
}

std::optional<bool> KdeLockOnResume(const std::string& configText) {
    const std::optional<std::string> value = ini_files::ValueIn(configText, "Daemon", "LockOnResume");
    return value ? BooleanWord(*value) : std::nullopt;
}

std::string WithKdeLockOnResume(const std::string& configText, bool lock) {
    // The group, key and both words always fit on an INI line.
    return ini_files::WithValue(configText, "Daemon", "LockOnResume", Word(lock)).value_or(configText);
}

LockEnvironment ProcessLockEnvironment() {
    LockEnvironment environment;
    if (const char* desktop = getenv("XDG_CURRENT_DESKTOP")) environment.currentDesktop = desktop;
    if (const char* config = getenv("XDG_CONFIG_HOME"); config && *config == '/')
        environment.configHome = config;
    else if (const char* home = getenv("HOME"); home && *home)
        environment.configHome = std::string(home) + "/.config";
    environment.run = [](const std::vector<std::string>& argv) { return RunCommand(argv); };
    return environment;
}

std::unique_ptr<ResumeLockControl> FindResumeLockControl(const LockEnvironment& environment) {
    const CommandRunner& run = environment.run;
    switch (DetectLockDesktop(environment.currentDesktop)) {
    case LockDesktop::Kde:
        if (environment.configHome.empty()) return nullptr;
        return std::make_unique<KdeLockFile>(environment.configHome + "/kscreenlockerrc");
    case LockDesktop::Gnome: {
        // Some distributions split locking on suspend from locking when idle; upstream has one switch.
        const auto key = FirstInstalledKey(run, "org.gnome.desktop.screensaver",
                                           {"ubuntu-lock-on-suspend", "lock-enabled"});
        if (!key) return nullptr;
        return std::make_unique<GSettingsKey>(run, "org.gnome.desktop.screensaver", *key);
    }
    case LockDesktop::Xfce: {
        std::vector<std::unique_ptr<ResumeLockControl>> parts;
        if (run({"xfconf-query", "--version"}).succeeded())
            parts.push_back(std::make_unique<XfconfProperty>(
                run, "xfce4-power-manager", "/xfce4-power-manager/lock-screen-suspend-hibernate", true));
        if (auto locker = LightLocker(run)) parts.push_back(std::move(locker));
        if (parts.empty()) return nullptr;
        if (parts.size() == 1) return std::move(parts.front());
        return std::make_unique<AnyOf>(std::move(parts));
    }
    case LockDesktop::Other:
        break;
    }
    return LightLocker(run);
}

} // namespace orvanta::platform::linux_backend
