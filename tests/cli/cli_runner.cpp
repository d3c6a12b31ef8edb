#include "cli_runner.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvanta::cli_test {
namespace {

CliResult Spawn(const std::vector<std::string>& args, const std::string& sandbox) {
    // Runs may go side by side in one sandbox; each keeps its own output.
    static std::atomic<int> runs{0};
    const std::string tag = std::to_string(++runs);
    const std::string outPath = sandbox + "/.stdout" + tag, errPath = sandbox + "/.stderr" + tag;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> env = {"HOME=" + sandbox, "XDG_DATA_HOME=" + sandbox + "/xdg", "LC_ALL=C"};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_DATA_HOME=", 0) != 0 &&
            entry.rfind("LC_ALL=", 0) != 0)
            env.push_back(entry);
    }
    std::vector<std::string> argvText = {ORVANTACTL_PATH};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (auto& a : argvText)
        argv.push_back(a.data());
    for (auto& e : env)
        envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, ORVANTACTL_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " ORVANTACTL_PATH);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = FileBytes(outPath);
    result.err = FileBytes(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

} // namespace

Sandbox::Sandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvantactl-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    dataFolder_ = root_ + "/data";
    std::filesystem::create_directory(dataFolder_);
}

Sandbox::~Sandbox() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

CliResult Sandbox::run(const std::vector<std::string>& args) const {
    std::vector<std::string> all = {"--data-dir", dataFolder_};
    all.insert(all.end(), args.begin(), args.end());
    return Spawn(all, root_);
}

CliResult Sandbox::runBare(const std::vector<std::string>& args) const {
    return Spawn(args, root_);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::map<std::string, std::string> ShowFields(const std::string& showOutput) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(showOutput);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(':');
        const std::string value = line.substr(colon + 1);
        fields[line.substr(0, colon)] = value.empty() ? value : value.substr(1);
    }
    return fields;
}

} // namespace orvanta::cli_test
