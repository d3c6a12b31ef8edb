#include "ui/tray.h"

#include "ui/app_icon.h"
#include "ui/desktop_notices.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace orvanta::ui {

Tray::Tray(QMenu* menu, platform::TrayHostWatch& hosts, DesktopNotices* notices, QObject* parent)
    : QObject(parent), menu_(menu), hostWatch_(hosts), notices_(notices), hosts_(hosts.current()) {
    hostWatch_.watch([this](const platform::TrayHosts& now) {
        QMetaObject::invokeMethod(
            this, [this, now] { HostsChanged(now); }, Qt::QueuedConnection);
    });
}

Tray::~Tray() {
    hostWatch_.stop();
}

bool Tray::available() const {
    switch (kind_) {
    case Kind::Embedding:
        return hosts_.embedding;
    case Kind::StatusNotifier:
        return hosts_.statusNotifier;
    case Kind::None:
        break;
    }
    return hosts_.any();
}

void Tray::Show() {
    wanted_ = true;
    if (hosts_.any()) MakeIcon();
}

void Tray::MakeIcon() {
    if (icon_) return;
    // Not made before a host is there: the toolkit decides on its first icon, once for the run, which
    // kind of host it talks to, and one made too early would never reach a panel that comes later.
    kind_ = hosts_.statusNotifier ? Kind::StatusNotifier : Kind::Embedding;
    icon_ = new QSystemTrayIcon(AppIcon(), this);
    icon_->setObjectName("TrayIcon1");
    icon_->setContextMenu(menu_);
    icon_->setToolTip(hint_);
    // A panel of status notifier items sends only a single activation; a click on an embedded icon
    // opens the window as well.
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) emit activated();
    });
    icon_->show();
}

void Tray::HostsChanged(const platform::TrayHosts& hosts) {
    const bool before = available();
    hosts_ = hosts;
    if (wanted_ && hosts_.any()) MakeIcon();
    const bool now = available();
    if (wanted_ && now != before) emit availabilityChanged(now);
}

void Tray::SetHint(const QString& hint) {
    hint_ = hint;
    if (icon_) icon_->setToolTip(hint);
}

bool Tray::ShowBalloon(const QString& title, const QString& text, int milliseconds) {
    if (notices_ && notices_->available() &&
        notices_->Show({title, text, DesktopNotices::Urgency::Normal, {}, milliseconds}) != 0)
        return true;
    if (!icon_ || !available()) return false;
    icon_->showMessage(title, text, QSystemTrayIcon::NoIcon, milliseconds);
    return true;
}

} // namespace orvanta::ui
