// The least a Qt 6 program with a window and a notification-area icon costs to start and to hold: the
// floor the program's own start-up time and memory are measured against.
//
//   floor_window        (shows a window titled "Floor" with a tray icon until it is ended)

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QStyle>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setCentralWidget(new QLabel(QStringLiteral("A window and a tray icon"), &window));
    window.resize(600, 400);
    QSystemTrayIcon tray(app.style()->standardIcon(QStyle::SP_ComputerIcon));
    tray.setToolTip(QStringLiteral("Floor"));
    tray.show();
    window.show();
    return app.exec();
}
