#include "platform/linux/linux_user_registry.h"

#include "platform/api/ini_files.h"
#include "platform/linux/linux_system_paths.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <orvanta_app_id.h>
#include <string_view>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

constexpr std::string_view kDesktopGroup = "[Desktop Entry]";
// Characters that force an Exec argument into double quotes.
constexpr std::string_view kExecReserved = " \t\n\"'\\><~|&;$*?#()`";
// Characters that need a backslash inside a quoted Exec argument.
constexpr std::string_view kExecQuotedEscapes = "\"`$\\";

bool SameKeyPath(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

bool IsRunKey(const std::string& keyPath) {
    return SameKeyPath(keyPath, kRunKeyPath);
}

// The escapes every desktop-entry string value uses, applied after any Exec quoting.
std::string EscapeDesktopString(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    // A leading blank would be taken for the blank after '='.
    if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
    return out;
}

std::string UnescapeDesktopString(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (char c = text[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\', out += c;
        }
    }
    return out;
}

std::string UndoFieldCodeEscapes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') ++i;
    }
    return out;
}

// The single argument a command line holds, with its quoting undone; nothing when it holds more than
// one argument or an unterminated quote.
std::optional<std::string> SoleArgument(std::string_view command) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    std::size_t i = 0;
    while (i < command.size() && isBlank(command[i]))
        ++i;
    std::string argument;
    if (i < command.size() && command[i] == '"') {
        for (++i;; ++i) {
            if (i == command.size()) return std::nullopt;
            char c = command[i];
            if (c == '"') break;
            if (c == '\\' && i + 1 < command.size() &&
                kExecQuotedEscapes.find(command[i + 1]) != std::string_view::npos)
                c = command[++i];
            argument += c;
        }
        ++i;
    } else {
        while (i < command.size() && !isBlank(command[i]))
            argument += command[i++];
    }
    while (i < command.size() && isBlank(command[i]))
        ++i;
    if (i != command.size()) return std::nullopt;
    return UndoFieldCodeEscapes(argument);
}

struct DesktopEntry {
    std::string exec;
    bool switchedOff = false;
};

std::optional<DesktopEntry> ParseDesktopEntry(std::string_view content) {
    std::optional<DesktopEntry> entry;
    bool inGroup = false;
    while (!content.empty()) {
        std::size_t newline = content.find('\n');
        std::string_view line = content.substr(0, newline);
        content.remove_prefix(newline == std::string_view::npos ? content.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') {
            inGroup = line == kDesktopGroup;
            continue;
        }
        std::size_t equals = line.find('=');
        if (!inGroup || line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
        std::string_view key = line.substr(0, equals);
        std::string_view value = line.substr(equals + 1);
        while (!key.empty() && key.back() == ' ')
            key.remove_suffix(1);
        while (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        if (!entry) entry.emplace();
        if (key == "Exec")
            entry->exec = UnescapeDesktopString(value);
        else if ((key == "Hidden" && value == "true") ||
                 (key == "X-GNOME-Autostart-enabled" && value == "false"))
            entry->switchedOff = true;
    }
    return entry;
}

} // namespace

std::string DesktopExecValue(const std::string& programPath) {
    std::string quoted;
    if (programPath.empty() || programPath.find_first_of(kExecReserved) != std::string::npos) {
        quoted += '"';
        for (char c : programPath) {
            if (kExecQuotedEscapes.find(c) != std::string_view::npos) quoted += '\\';
            quoted += c;
        }
        quoted += '"';
    } else {
        quoted = programPath;
    }
    std::string withFieldCodes;
    for (char c : quoted) {
        withFieldCodes += c;
        if (c == '%') withFieldCodes += '%';
    }
    return EscapeDesktopString(withFieldCodes);
}

std::string ProgramFromDesktopExec(const std::string& execValue) {
    std::string command = UnescapeDesktopString(execValue);
    return SoleArgument(command).value_or(command);
}

LinuxUserRegistry::LinuxUserRegistry() : configFolder_(XdgConfigHome()) {}

LinuxUserRegistry::LinuxUserRegistry(std::string configFolder) : configFolder_(std::move(configFolder)) {}

std::string LinuxUserRegistry::autostartFolder() const {
    return configFolder_.empty() ? std::string() : configFolder_ + "/autostart";
}

std::string LinuxUserRegistry::autostartFile(const std::string& valueName) const {
    // The value name becomes a file name; one that could leave the folder names no file.
    if (autostartFolder().empty() || valueName.empty() ||
        valueName.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        return {};
    return autostartFolder() + "/" + valueName + ".desktop";
}

std::string LinuxUserRegistry::registryFolder() const {
    return configFolder_.empty() ? std::string() : configFolder_ + "/Orvanta";
}

std::string LinuxUserRegistry::registryFile() const {
    return configFolder_.empty() ? std::string() : registryFolder() + "/registry.ini";
}

std::string LinuxUserRegistry::readString(const std::string& keyPath, const std::string& valueName) const {
    if (IsRunKey(keyPath)) {
        std::string path = autostartFile(valueName);
        std::optional<std::string> content = path.empty() ? std::nullopt : ini_files::ReadWholeFile(path);
        std::optional<DesktopEntry> entry = content ? ParseDesktopEntry(*content) : std::nullopt;
        if (!entry || entry->switchedOff) return {};
        return ProgramFromDesktopExec(entry->exec);
    }
    if (registryFile().empty()) return {};
    return ini_files::ReadValue(registryFile(), keyPath, valueName).value_or(std::string());
}

bool LinuxUserRegistry::writeString(const std::string& keyPath, const std::string& valueName,
                                    const std::string& value) {
    const LinuxSystemPaths paths;
    if (IsRunKey(keyPath)) {
        std::string path = autostartFile(valueName);
        if (path.empty() || !paths.ensureFolder(autostartFolder())) return false;
        std::string content = std::string(kDesktopGroup) + "\n";
        content += "Type=Application\n";
        content += "Name=" + EscapeDesktopString(valueName) + "\n";
        content += "Exec=" + DesktopExecValue(value) + "\n";
        // The desktop's start-up settings list the entry with the program's own icon.
        content += "Icon=" + std::string(kAppId) + "\n";
        content += "X-GNOME-Autostart-enabled=true\n";
        return ini_files::ReplaceWholeFile(path, content);
    }
    if (registryFile().empty() || !paths.ensureFolder(registryFolder())) return false;
    return ini_files::WriteValue(registryFile(), keyPath, valueName, value);
}

void LinuxUserRegistry::deleteValue(const std::string& keyPath, const std::string& valueName) {
    // A value that cannot be removed stays; like a missing one, that is not reported.
    if (IsRunKey(keyPath)) {
        if (std::string path = autostartFile(valueName); !path.empty())
            (void)::unlink(path.c_str()); // never a folder
        return;
    }
    if (!registryFile().empty()) (void)ini_files::RemoveValue(registryFile(), keyPath, valueName);
}

} // namespace orvanta::platform::linux_backend
