#include "ui/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace orvanta::ui {
namespace {

QString CaptionOf(const QWidget* owner) {
    if (owner && !owner->windowTitle().isEmpty()) return owner->windowTitle();
    return QApplication::applicationDisplayName();
}

} // namespace

void MessageBoxErrorBox::ShowError(const QString& message) {
    QMessageBox::critical(owner_, CaptionOf(owner_), message);
}

} // namespace orvanta::ui
