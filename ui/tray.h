#pragma once

#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace orvanta::ui {

// The notification-area icon with its hint, menu and balloon. Where the desktop has no notification
// area the icon is never shown and the window has to stay reachable some other way (available()).
class Tray : public QObject {
    Q_OBJECT

  public:
    // available: whether the desktop hosts notification-area icons (asked once, at start).
    Tray(QMenu* menu, bool available, QObject* parent);

    bool available() const { return available_; }
    void Show();
    void SetHint(const QString& hint);
    QString hint() const;
    // A balloon without icon, for the given time.
    void ShowBalloon(const QString& title, const QString& text, int milliseconds);

  signals:
    void doubleClicked();

  private:
    QSystemTrayIcon* icon_;
    bool available_;
};

} // namespace orvanta::ui
