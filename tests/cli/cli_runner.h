#pragma once

#include <map>
#include <string>
#include <vector>

namespace orvanta::cli_test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// A private temporary folder with a data folder inside it; removed again on destruction. HOME and
// XDG_DATA_HOME of every run point into it, so no run can reach the real user's data.
class Sandbox {
  public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& root() const { return root_; }
    const std::string& dataFolder() const { return dataFolder_; }
    std::string database() const { return dataFolder_ + "/task.db"; }

    // orvantactl --data-dir <data folder> args...
    CliResult run(const std::vector<std::string>& args) const;
    // orvantactl args..., with nothing added.
    CliResult runBare(const std::vector<std::string>& args) const;

  private:
    std::string root_;
    std::string dataFolder_;
};

// The whole file, or "<missing>" when it cannot be read.
std::string FileBytes(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// The "Name: value" lines of show, by name.
std::map<std::string, std::string> ShowFields(const std::string& showOutput);

} // namespace orvanta::cli_test
