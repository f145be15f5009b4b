#include "shell/widgets/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace brisden {

namespace {
const QByteArray RaiseMessage = QByteArrayLiteral("raise\n");
}

SingleInstance::SingleInstance(QString key, QObject* parent)
    : QObject(parent), m_key(key.isEmpty() ? DefaultKey() : std::move(key))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::DefaultKey()
{
    return QStringLiteral("brisden-") + QString::number(getuid());
}

bool SingleInstance::askRunningInstanceToRaise(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(RaiseMessage);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_key)) {
        // A socket left behind by a copy that ended abnormally: nobody
        // answered on it, so it can go.
        QLocalServer::removeServer(m_key);
        if (!m_server->listen(m_key))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                const QByteArray message = socket->readAll();
                if (message.startsWith(RaiseMessage.trimmed()))
                    emit raiseRequested();
            });
        }
    });
    return true;
}

}  // namespace brisden
