// Plays a generated 1,000-event macro, read from a file in the recorder's format, through the real XTest
// backend and the real waiter, and reports how far each event lands from its moment in the file and how
// much processor time the playback used. Needs an X display (scripts/platform-test-env.sh).
//
//   macro_playback_bench [events, default 1000] [seed, default 1]
//
// Exits with 1 when the p99 error reaches 2 ms or the processor time reaches a tenth of the playback.

#include "macros/macro_player.h"
#include "macros/macro_text.h"
#include "platform/linux/input/playback_thread_timing.h"
#include "platform/linux/input/xtest_synthetic_input.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using orvanta::platform::CursorPoint;
using orvanta::platform::MouseButton;
using orvanta::platform::SyntheticInput;

// Notes when each line's event reaches the backend: every line of the generated macro makes exactly one
// of the timestamped calls (a pointer line places the cursor first, then clicks or moves).
class TimestampingInput : public SyntheticInput {
  public:
    explicit TimestampingInput(SyntheticInput& inner) : inner_(inner) { times_.reserve(4096); }
    void keyDown(unsigned vk) override {
        note();
        inner_.keyDown(vk);
        took();
    }
    void keyUp(unsigned vk) override {
        note();
        inner_.keyUp(vk);
        took();
    }
    void wheel(int delta) override {
        note();
        inner_.wheel(delta);
        took();
    }
    void setCursorPos(int x, int y) override {
        note();
        inner_.setCursorPos(x, y);
        took();
    }
    void mouseMoveBy(int dx, int dy) override { inner_.mouseMoveBy(dx, dy); }
    void buttonDown(MouseButton b) override { inner_.buttonDown(b); }
    void buttonUp(MouseButton b) override { inner_.buttonUp(b); }
    std::optional<CursorPoint> cursorPos() override { return inner_.cursorPos(); }

    // How long the backend took over each timestamped call, in ms; a slow display delays what follows.
    std::vector<double> durations() {
        const std::lock_guard lock(mutex_);
        return durations_;
    }
    std::vector<Clock::time_point> times() {
        const std::lock_guard lock(mutex_);
        return times_;
    }

  private:
    void note() {
        const auto now = Clock::now();
        const std::lock_guard lock(mutex_);
        times_.push_back(now);
    }
    void took() {
        const auto now = Clock::now();
        const std::lock_guard lock(mutex_);
        durations_.push_back(std::chrono::duration<double, std::milli>(now - times_.back()).count());
    }
    SyntheticInput& inner_;
    std::mutex mutex_;
    std::vector<Clock::time_point> times_;
    std::vector<double> durations_;
};

class NoClipboard : public orvanta::macros::ClipboardPort {
  public:
    void setClipboardText(const std::string&) override {}
};

// A recording-like macro: pointer movements every 5 to 20 ms, now and then a click or a typed letter
// (press and release in the same or the next milliseconds), and a few pauses.
std::vector<std::string> GenerateMacro(int events, unsigned seed, std::vector<int>& moments) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> moveGap(5, 20), pause(100, 400), kind(0, 99);
    std::vector<std::string> lines;
    int t = 0, x = 400, y = 400;
    auto add = [&](const std::string& rest) {
        lines.push_back(std::to_string(t) + " " + rest);
        moments.push_back(t);
    };
    while (static_cast<int>(lines.size()) < events) {
        const int k = kind(random);
        const int left = events - static_cast<int>(lines.size());
        if (k < 6 && left >= 2) {
            const unsigned vk = 0x41 + static_cast<unsigned>(random() % 26);
            add("KEY_DOWN " + std::to_string(vk));
            t += static_cast<int>(random() % 3);
            add("KEY_UP " + std::to_string(vk));
        } else if (k < 10 && left >= 2) {
            add("MOUSE_LEFTDOWN " + std::to_string(x) + " " + std::to_string(y));
            t += 60 + static_cast<int>(random() % 60);
            add("MOUSE_LEFTUP " + std::to_string(x) + " " + std::to_string(y));
        } else {
            x = std::clamp(x + static_cast<int>(random() % 21) - 10, 200, 700);
            y = std::clamp(y + static_cast<int>(random() % 21) - 10, 200, 700);
            add("MOUSE_MOVE " + std::to_string(x) + " " + std::to_string(y));
        }
        t += (k == 99) ? pause(random) : moveGap(random);
    }
    return lines;
}

// The recorder's format: UTF-16 little-endian with a byte order mark, CR LF line ends.
void WriteMacro(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes = "\xFF\xFE";
    for (const auto& line : lines) {
        for (char c : line + "\r\n") {
            bytes.push_back(c);
            bytes.push_back('\0');
        }
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Nanoseconds the calling thread has spent runnable but not running, and its involuntary switches.
std::pair<long long, long> ThreadWaits() {
    long long running = 0, queued = 0;
    std::ifstream("/proc/thread-self/schedstat") >> running >> queued;
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return {queued, usage.ru_nivcsw};
}

std::string LoadAverage() {
    std::string one;
    std::ifstream("/proc/loadavg") >> one;
    return one;
}

double At(const std::vector<double>& sorted, double q) {
    const auto index = static_cast<std::size_t>(q * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace

int main(int argc, char** argv) {
    const int events = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1u;

    orvanta::platform::linux_backend::XTestSyntheticInput xtest;
    if (!xtest.available()) {
        std::fprintf(
            stderr,
            "macro_playback_bench: no X display with XTest (run under scripts/platform-test-env.sh)\n");
        return 2;
    }
    std::vector<int> moments;
    const auto generated = GenerateMacro(events, seed, moments);
    const auto folder =
        std::filesystem::temp_directory_path() / ("orvanta-macro-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "bench.mco").string();
    WriteMacro(path, generated);
    const auto lines = orvanta::macros::ReadMacroFile(path);
    std::filesystem::remove_all(folder);
    if (!lines || lines->size() != generated.size()) {
        std::fprintf(stderr, "macro_playback_bench: the macro file did not read back\n");
        return 2;
    }

    TimestampingInput input(xtest);
    NoClipboard clipboard;
    // As the program makes it.
    orvanta::macros::SteadyMacroWaiter waiter(orvanta::platform::linux_backend::TunePlaybackThread,
                                              orvanta::platform::linux_backend::kTunedThreadSleepMargin);
    std::atomic<bool> stop{false};

    // The playback runs on a thread of its own, as the program's players do; this one also reads how long
    // the thread stood ready to run without getting a processor, which tells a busy machine from a late
    // waiter.
    double cpu = 0, runQueueMs = 0;
    long preempted = 0;
    const auto start = Clock::now();
    std::thread playback([&] {
        const double cpuBefore = CpuSeconds();
        const auto [queuedBefore, switchesBefore] = ThreadWaits();
        orvanta::macros::PlayMacro(*lines, {input, clipboard, waiter, stop, {}});
        const auto [queuedAfter, switchesAfter] = ThreadWaits();
        cpu = CpuSeconds() - cpuBefore;
        runQueueMs = static_cast<double>(queuedAfter - queuedBefore) / 1e6;
        preempted = switchesAfter - switchesBefore;
    });
    playback.join();
    const auto end = Clock::now();

    const auto times = input.times();
    if (times.size() != moments.size()) {
        std::fprintf(stderr, "macro_playback_bench: %zu events reached the backend, %zu expected\n",
                     times.size(), moments.size());
        return 2;
    }
    // Error: when the event reached the backend against its moment in the file, both counted from the
    // first line (moment 0), which is when the playback starts.
    std::vector<double> errors;
    for (std::size_t i = 0; i < times.size(); ++i)
        errors.push_back(std::chrono::duration<double, std::milli>(times[i] - times[0]).count() -
                         (moments[i] - moments[0]));
    const double earliest = *std::min_element(errors.begin(), errors.end());
    std::vector<double> sorted;
    for (double e : errors)
        sorted.push_back(std::abs(e));
    std::sort(sorted.begin(), sorted.end());
    const double mean =
        std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(sorted.size());
    const double length = std::chrono::duration<double>(end - times[0]).count();
    const double cpuShare = cpu / length;
    const double p99 = At(sorted, 0.99);

    std::printf("macro_playback_bench: %d events over %.3f s (file: %d ms), seed %u, load average %s\n",
                events, length, moments.back(), seed, LoadAverage().c_str());
    std::printf("thread start to first event: %.3f ms\n",
                std::chrono::duration<double, std::milli>(times[0] - start).count());
    std::printf("event error in ms, absolute: mean %.3f  p50 %.3f  p99 %.3f  max %.3f  (earliest %+.3f)\n",
                mean, At(sorted, 0.5), p99, sorted.back(), earliest);
    std::printf("processor time: %.3f s (user+sys of the process), %.2f %% of the playback\n", cpu,
                100.0 * cpuShare);
    std::printf("playback thread: %.1f ms ready but waiting for a processor, %ld involuntary switches\n",
                runQueueMs, preempted);
    auto calls = input.durations();
    std::sort(calls.begin(), calls.end());
    std::printf("backend calls in ms: p50 %.3f  p99 %.3f  max %.3f\n", At(calls, 0.5), At(calls, 0.99),
                calls.back());
    // A late event either waited for the display to finish the call before it, or for a processor.
    const auto durationsInOrder = input.durations();
    int late = 0, behindDisplay = 0;
    for (std::size_t i = 1; i < times.size(); ++i) {
        if (errors[i] < 2.0) continue;
        ++late;
        const double moment = moments[i] - moments[0];
        const double previousEnd =
            std::chrono::duration<double, std::milli>(times[i - 1] - times[0]).count() +
            durationsInOrder[i - 1];
        if (previousEnd >= moment) ++behindDisplay;
    }
    std::printf(
        "events 2 ms late or more: %d, of which %d held up by the display finishing the call before\n", late,
        behindDisplay);
    const bool met = p99 < 2.0 && cpuShare < 0.1;
    std::printf("goal (p99 < 2 ms, processor < 10 %%): %s\n", met ? "met" : "MISSED");
    return met ? 0 : 1;
}
