#include "ui/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace orvanta::ui {

Q_LOGGING_CATEGORY(lcUi, "orvanta.ui")

namespace {

QString CaptionOf(const QWidget* owner) {
    if (owner && !owner->windowTitle().isEmpty()) return owner->windowTitle();
    return QApplication::applicationDisplayName();
}

} // namespace

void ReportError(ErrorBox& box, const QString& message) noexcept {
    try {
        qCWarning(lcUi).noquote() << message;
    } catch (...) {
    }
    try {
        box.ShowError(message);
    } catch (...) {
    }
}

void MessageBoxErrorBox::ShowError(const QString& message) {
    QMessageBox::critical(owner_, CaptionOf(owner_), message);
}

} // namespace orvanta::ui
