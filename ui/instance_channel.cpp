#include "ui/instance_channel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace orvanta::ui {
namespace {

// Longer lines are none of the words; a peer that never ends its line is dropped at this size.
constexpr qint64 kMaxMessage = 64;
// A later copy sends its line at once; a peer still silent after this holds a descriptor for nothing.
constexpr int kPeerPatienceMs = 1000;

} // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    // Only this user may connect: the address lives in the user's private runtime folder as well.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::OnConnection);
}

bool InstanceChannel::Listen(const QString& address) {
    QLocalServer::removeServer(address);
    return server_->listen(address);
}

void InstanceChannel::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Bound to the socket, so the drop is forgotten with a peer that was served and is gone.
        QTimer::singleShot(kPeerPatienceMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->canReadLine()) {
                const QByteArray line = socket->readLine(kMaxMessage).trimmed();
                socket->disconnectFromServer();
                if (line == kQuitMessage)
                    emit quitMessageReceived();
                else if (line == kNewTaskMessage)
                    emit newTaskRequested();
            } else if (socket->bytesAvailable() > kMaxMessage) {
                socket->abort();
            }
        });
    }
}

bool SendHandOver(const QString& address, const char* word, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(address);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(QByteArray(word) + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}

} // namespace orvanta::ui
