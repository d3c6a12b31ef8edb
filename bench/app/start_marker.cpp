// Appends one line to FILE: its moment of start on the wall clock, as seconds since the epoch
// with nine decimals, followed by the label. Started by a task, it tells when that task's program began.
//
//   start_marker FILE LABEL

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    timespec started{};
    clock_gettime(CLOCK_REALTIME, &started);
    if (argc != 3) {
        std::fprintf(stderr, "usage: start_marker FILE LABEL\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "a");
    if (!out) return 1;
    std::fprintf(out, "%lld.%09ld %s\n", static_cast<long long>(started.tv_sec), started.tv_nsec, argv[2]);
    return std::fclose(out) == 0 ? 0 : 1;
}
