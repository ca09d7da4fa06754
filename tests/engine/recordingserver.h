#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

namespace quirex::test
{

// A small HTTP server on 127.0.0.1 for engine tests. It records the request line of every
// request it receives ("GET /path HTTP/1.1") and answers with the body set for the path, or
// with an empty 404. It runs on the test's thread, so it answers while the engine waits in
// its own event loop.
class RecordingServer final : public QTcpServer
{
public:
    RecordingServer();

    // http://127.0.0.1:PORT + path
    QString url(const QString &path) const;
    void serve(const QString &path, const QByteArray &contentType, const QByteArray &body);
    // Answers `path` with a redirect (302) to `location`.
    void redirect(const QString &path, const QByteArray &location);
    const QStringList &requests() const { return m_requests; }

private:
    struct Resource {
        QByteArray contentType;
        QByteArray body;
        QByteArray location; // a redirect when not empty
    };
    void answer(QTcpSocket *socket, const QByteArray &head);

    QStringList m_requests;
    QHash<QString, Resource> m_resources;
};

} // namespace quirex::test
