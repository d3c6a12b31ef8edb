#include "ui/gui_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace orvanta::ui {

namespace {

// The hand-over between a player and the GUI thread; shared, so a player that gave up leaves the GUI
// thread nothing dangling to write to.
struct ClipboardRequest {
    std::mutex mutex;
    std::condition_variable set;
    bool done = false;
};

} // namespace

void GuiClipboard::setClipboardText(const std::string& text) {
    const std::atomic<bool> never{false};
    setClipboardTextUnlessStopped(text, never);
}

bool GuiClipboard::setClipboardTextUnlessStopped(const std::string& text, const std::atomic<bool>& stop) {
    const QString value = QString::fromStdString(text);
    if (QThread::currentThread() == qApp->thread()) {
        QApplication::clipboard()->setText(value);
        return true;
    }
    auto request = std::make_shared<ClipboardRequest>();
    QMetaObject::invokeMethod(
        qApp,
        [value, request] {
            QApplication::clipboard()->setText(value);
            const std::lock_guard lock(request->mutex);
            request->done = true;
            request->set.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(request->mutex);
    while (!request->done) {
        if (stop.load()) return false;
        request->set.wait_for(lock, std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace orvanta::ui
