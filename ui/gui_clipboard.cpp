#include "ui/gui_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QThread>

namespace orvanta::ui {

void GuiClipboard::setClipboardText(const std::string& text) {
    const QString value = QString::fromStdString(text);
    auto set = [value] { QApplication::clipboard()->setText(value); };
    if (QThread::currentThread() == qApp->thread()) set();
    else QMetaObject::invokeMethod(qApp, set, Qt::BlockingQueuedConnection);
}

} // namespace orvanta::ui
