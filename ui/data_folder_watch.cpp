#include "ui/data_folder_watch.h"

#include "ui/error_box.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace orvanta::ui {

DataFolderWatch::DataFolderWatch(Ports ports, QObject* parent)
    : QObject(parent), ports_(std::move(ports)), gate_(ports_.quietMs) {
    clock_.start();
    checkTimer_.setSingleShot(true);
    connect(&checkTimer_, &QTimer::timeout, this, &DataFolderWatch::Check);
    // The folder tells of a file put in place by a rename (a restore, sqlite3's own journal); the file
    // tells of a write in place.
    watcher_.addPath(ports_.folder);
    WatchTaskFile();
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &DataFolderWatch::OnChange);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &DataFolderWatch::OnChange);
    NoteRebuilt();
}

scheduler::FileStamp DataFolderWatch::StampOf(const QString& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file(path.toStdString());
    const auto size = fs::file_size(file, error);
    if (error) return {};
    const auto modified = fs::last_write_time(file, error);
    if (error) return {};
    return {true, std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count(),
            static_cast<std::int64_t>(size)};
}

void DataFolderWatch::NoteRebuilt() {
    gate_.Rebuilt(StampOf(ports_.taskFile));
}

void DataFolderWatch::TakeInLater() {
    gate_.Changed(Now());
    ArmCheck();
}

void DataFolderWatch::WatchTaskFile() {
    // A file replaced or deleted drops out of the watch; it is taken up again whenever it is there.
    if (!watcher_.files().contains(ports_.taskFile) && QFileInfo::exists(ports_.taskFile))
        watcher_.addPath(ports_.taskFile);
}

void DataFolderWatch::OnChange() {
    RunGuarded(ports_.errors, [this] {
        WatchTaskFile();
        gate_.Changed(Now());
        ArmCheck();
    });
}

void DataFolderWatch::ArmCheck() {
    const std::optional<std::int64_t> at = gate_.nextCheck();
    if (!at) {
        checkTimer_.stop();
        return;
    }
    checkTimer_.start(static_cast<int>(std::max<std::int64_t>(0, *at - Now())));
}

void DataFolderWatch::Check() {
    RunGuarded(ports_.errors, [this] {
        WatchTaskFile();
        const scheduler::FileStamp stamp = StampOf(ports_.taskFile);
        const bool held = ports_.tableHeld && ports_.tableHeld();
        const auto step = gate_.Check(Now(), held, stamp);
        // Counted as read also when the rebuild fails: its error box has told the user, and the next change
        // tries again.
        if (step == scheduler::OutsideChangeGate::Step::kRebuild) {
            gate_.Rebuilt(stamp);
            ++rebuilds_;
            ports_.rebuild();
        }
        ArmCheck();
    });
}

} // namespace orvanta::ui
