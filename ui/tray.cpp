#include "ui/tray.h"

#include "ui/app_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace orvanta::ui {

Tray::Tray(QMenu* menu, bool available, QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(AppIcon(), this)), available_(available) {
    icon_->setObjectName("TrayIcon1");
    icon_->setContextMenu(menu);
    icon_->setToolTip(QStringLiteral("Orvanta"));
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick) emit doubleClicked();
    });
}

void Tray::Show() {
    if (available_) icon_->show();
}

void Tray::SetHint(const QString& hint) {
    icon_->setToolTip(hint);
}

QString Tray::hint() const {
    return icon_->toolTip();
}

void Tray::ShowBalloon(const QString& title, const QString& text, int milliseconds) {
    icon_->showMessage(title, text, QSystemTrayIcon::NoIcon, milliseconds);
}

} // namespace orvanta::ui
