#include "ui/bus_hand_over.h"

#include "platform/api/running_program.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFileInfo>
#include <QStringList>
#include <iostream>

namespace orvanta::ui {
namespace {

namespace names = platform::program_bus;

// Symbolic links and doubled slashes make the same folder look different; a folder that does not exist
// stays as given.
QString SameFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? folder : canonical;
}

QDBusMessage Ask(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                 const QString& method, const QVariantList& arguments, int timeoutMs) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, timeoutMs);
}

// Every connection holding the name or waiting for it, the holder first.
QStringList Holders(QDBusConnection& bus, const QString& busName, int timeoutMs) {
    const QDBusMessage reply =
        Ask(bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListQueuedOwners"), {busName}, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().constFirst().toStringList();
}

QString DataFolderOf(QDBusConnection& bus, const QString& holder, int timeoutMs) {
    const QDBusMessage reply =
        Ask(bus, holder, QString::fromLatin1(names::kObjectPath),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
            {QString::fromLatin1(names::kInterface), QStringLiteral("DataFolder")}, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
}

} // namespace

bool HandOverOnBus(const QString& busName, const QString& dataFolder, bool newTask, int timeoutMs) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusConnectionInterface* daemon = bus.interface();
    const uint self = daemon->serviceUid(bus.baseService()).value();
    const QString folder = SameFolder(dataFolder);
    for (const QString& holder : Holders(bus, busName, timeoutMs)) {
        // A bus shared between users lets each see the others' copies; none of them is this copy's.
        const auto uid = daemon->serviceUid(holder);
        if (!uid.isValid() || uid.value() != self) continue;
        const QString theirs = DataFolderOf(bus, holder, timeoutMs);
        if (theirs.isEmpty() || SameFolder(theirs) != folder) continue;
        const QDBusMessage reply =
            Ask(bus, holder, QString::fromLatin1(names::kObjectPath), QString::fromLatin1(names::kInterface),
                newTask ? QStringLiteral("NewTask") : QStringLiteral("ShowWindow"), {}, timeoutMs);
        if (reply.type() == QDBusMessage::ErrorMessage)
            std::cerr << "orvanta: the running copy answered: " << reply.errorMessage().toStdString() << '\n';
        return true;
    }
    return false;
}

} // namespace orvanta::ui
