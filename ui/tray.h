#pragma once

#include "platform/api/tray_hosts.h"

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace orvanta::ui {

class DesktopNotices;

// The notification-area icon with its hint, menu and balloon. A panel may come after the program, go and
// come back; the icon follows it, and while there is none the window has to stay reachable some other
// way (available()).
class Tray : public QObject {
    Q_OBJECT

  public:
    // notices: the desktop's notification server for the balloons; nullptr for the icon's own balloons.
    Tray(QMenu* menu, platform::TrayHostWatch& hosts, DesktopNotices* notices, QObject* parent);
    ~Tray() override;

    // Whether a host shows the icon now (before Show(): whether one would).
    bool available() const;
    // Shows the icon from now on, whenever a host is there.
    void Show();
    void SetHint(const QString& hint);
    QString hint() const { return hint_; }
    // A balloon without icon, for the given time: a desktop notification where a server is there, else
    // the icon's own. False when neither could be shown.
    bool ShowBalloon(const QString& title, const QString& text, int milliseconds);
    // The toolkit's icon; nullptr until a host has been there.
    QSystemTrayIcon* icon() const { return icon_; }

  signals:
    // The user clicked or double-clicked the icon, or the panel activated it.
    void activated();
    // Once shown, the icon has come into view or gone out of it.
    void availabilityChanged(bool available);

  private:
    void HostsChanged(const platform::TrayHosts& hosts);
    void MakeIcon();

    QMenu* menu_;
    platform::TrayHostWatch& hostWatch_;
    DesktopNotices* notices_;
    platform::TrayHosts hosts_;
    QSystemTrayIcon* icon_ = nullptr;
    // The toolkit binds its icon to one kind of host, the one there when the first icon is made, and keeps
    // to it for the rest of the run.
    enum class Kind { None, Embedding, StatusNotifier } kind_ = Kind::None;
    bool wanted_ = false;
    QString hint_ = QStringLiteral("Orvanta");
};

} // namespace orvanta::ui
