#include "platform/linux/actions/linux_process_control.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace orvanta::platform::linux_backend {
namespace {

constexpr unsigned long kKernelThreadFlag = 0x00200000; // PF_KTHREAD

std::string readSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string readLink(const std::string& path) {
    std::string target(4096, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length <= 0) return {};
    target.resize(static_cast<std::size_t>(length));
    return target;
}

bool parseProcessId(const char* name, std::int64_t& id) {
    const char* end = name;
    while (*end)
        ++end;
    const auto [ptr, ec] = std::from_chars(name, end, id);
    return ec == std::errc() && ptr == end && id > 0;
}

} // namespace

std::string ProgramPathFromExeLink(std::string_view target) {
    constexpr std::string_view deleted = " (deleted)";
    if (target.size() > deleted.size() && target.substr(target.size() - deleted.size()) == deleted)
        target.remove_suffix(deleted.size());
    return std::string(target);
}

bool IsKernelThreadStat(std::string_view stat) {
    // The name in parentheses may hold blanks and parentheses itself; the fields resume after the last ')'.
    const auto close = stat.rfind(')');
    if (close == std::string_view::npos) return false;
    std::string_view rest = stat.substr(close + 1);
    // After the name: state, ppid, pgrp, session, tty_nr, tpgid, then flags.
    std::string_view field;
    for (int index = 0; index < 7; ++index) {
        const auto start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos) return false;
        rest.remove_prefix(start);
        const auto end = rest.find(' ');
        field = rest.substr(0, end);
        rest.remove_prefix(field.size());
    }
    unsigned long flags = 0;
    const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), flags);
    return ec == std::errc() && ptr == field.data() + field.size() && (flags & kKernelThreadFlag) != 0;
}

std::optional<std::vector<ProcessEntry>> LinuxProcessControl::listProcesses() {
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(procRoot_.c_str()), closedir);
    if (!folder) return std::nullopt;
    std::vector<ProcessEntry> processes;
    while (const dirent* entry = readdir(folder.get())) {
        ProcessEntry process;
        if (!parseProcessId(entry->d_name, process.id)) continue;
        const std::string base = procRoot_ + "/" + entry->d_name;
        // A process that ended since the folder was read has no stat any more; it is skipped.
        const std::string stat = readSmallFile(base + "/stat");
        if (stat.empty() || IsKernelThreadStat(stat)) continue;
        process.imagePath = ProgramPathFromExeLink(readLink(base + "/exe"));
        if (!process.imagePath.empty())
            process.imageName = process.imagePath.substr(process.imagePath.rfind('/') + 1);
        process.shortName = readSmallFile(base + "/comm");
        if (!process.shortName.empty() && process.shortName.back() == '\n') process.shortName.pop_back();
        const std::string commandLine = readSmallFile(base + "/cmdline");
        process.firstArgument = commandLine.substr(0, commandLine.find('\0'));
        processes.push_back(std::move(process));
    }
    return processes;
}

bool LinuxProcessControl::killProcess(std::int64_t id) {
    if (id <= 0) return false; // 0 and negative ids would signal whole process groups
    return kill(static_cast<pid_t>(id), SIGKILL) == 0;
}

} // namespace orvanta::platform::linux_backend
