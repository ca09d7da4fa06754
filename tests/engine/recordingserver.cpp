#include "recordingserver.h"

#include <QTcpSocket>

namespace quirex::test
{

RecordingServer::RecordingServer()
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            auto *received = new QByteArray;
            connect(socket, &QObject::destroyed, [received] { delete received; });
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                received->append(socket->readAll());
                const int end = received->indexOf("\r\n\r\n");
                if (end >= 0 && socket->property("answered").isNull()) {
                    socket->setProperty("answered", true);
                    answer(socket, received->left(end));
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString RecordingServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
}

void RecordingServer::serve(const QString &path, const QByteArray &contentType,
                            const QByteArray &body)
{
    m_resources.insert(path, {contentType, body, {}});
}

void RecordingServer::redirect(const QString &path, const QByteArray &location)
{
    m_resources.insert(path, {{}, {}, location});
}

void RecordingServer::answer(QTcpSocket *socket, const QByteArray &head)
{
    const QByteArray requestLine = head.left(head.indexOf("\r\n"));
    m_requests.append(QString::fromLatin1(requestLine));
    const QList<QByteArray> parts = requestLine.split(' ');
    const QString path = parts.size() > 1 ? QString::fromLatin1(parts.at(1)) : QString();
    const auto found = m_resources.constFind(path);
    QByteArray reply;
    if (found == m_resources.constEnd()) {
        reply = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    } else if (!found->location.isEmpty()) {
        reply =
            "HTTP/1.0 302 Found\r\nLocation: " + found->location + "\r\nContent-Length: 0\r\n\r\n";
    } else {
        reply = "HTTP/1.0 200 OK\r\nContent-Type: " + found->contentType +
                "\r\nContent-Length: " + QByteArray::number(found->body.size()) + "\r\n\r\n" +
                found->body;
    }
    socket->write(reply);
    socket->disconnectFromHost();
}

} // namespace quirex::test
