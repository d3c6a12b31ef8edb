// Stands in for a program the backend starts: writes the arguments it got, NUL-separated, to
// $ORVANTA_MARKER_DIR/<name>.argv and its session id to <name>.session, where <name> is the file name of
// argv[0]. Exits with 4 when <name> equals $ORVANTA_MARKER_FAIL, as an opener that could not open does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

bool writeWhole(const std::string& path, const std::string& bytes) {
    // Written aside and renamed, so a reader sees the whole file or none.
    const std::string partial = path + ".partial";
    FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written && std::rename(partial.c_str(), path.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* folder = std::getenv("ORVANTA_MARKER_DIR");
    if (!folder || argc < 1) return 2;
    const char* slash = std::strrchr(argv[0], '/');
    const std::string name = slash ? slash + 1 : argv[0];
    std::string arguments;
    for (int i = 0; i < argc; ++i) {
        arguments += argv[i];
        arguments += '\0';
    }
    const std::string base = std::string(folder) + "/" + name;
    if (!writeWhole(base + ".session", std::to_string(getsid(0)))) return 3;
    if (!writeWhole(base + ".argv", arguments)) return 3;
    const char* fail = std::getenv("ORVANTA_MARKER_FAIL");
    return fail && name == fail ? 4 : 0;
}
