#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace orvanta::ui {

// The words a later copy sends the running one: come forward; come forward and open the editor for a
// new task.
inline constexpr const char* kQuitMessage = "QuitMessage";
inline constexpr const char* kNewTaskMessage = "NewTaskMessage";

// The running copy's end of the hand-over: a local socket at the instance's address. Every connection
// that delivers one of the words raises its signal once; anything else is ignored, and a peer that has
// not sent its line within a second is dropped.
class InstanceChannel : public QObject {
    Q_OBJECT

  public:
    explicit InstanceChannel(QObject* parent = nullptr);

    // Listens at the address, taking it over from a copy that ended without cleaning up (only the copy
    // holding the instance claim listens). False when the socket cannot be made.
    bool Listen(const QString& address);

  signals:
    void quitMessageReceived();
    void newTaskRequested();

  private:
    void OnConnection();

    QLocalServer* server_;
};

// A later copy's side: delivers the word to the copy listening at the address. False when no copy took
// it within the time-out.
bool SendHandOver(const QString& address, const char* word, int timeoutMs = 2000);
inline bool SendQuitMessage(const QString& address, int timeoutMs = 2000) {
    return SendHandOver(address, kQuitMessage, timeoutMs);
}

} // namespace orvanta::ui
