#include "policyreplies.h"

#include <QMimeDatabase>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace quirex::engine
{

namespace
{

// A synchronous request (a script's synchronous XMLHttpRequest) is read as soon as the call
// that made it returns: its reply must be finished by then.
bool isSynchronous(const QNetworkRequest &request)
{
    return request.attribute(QNetworkRequest::SynchronousRequestAttribute).toBool();
}

} // namespace

ImmediateReply::ImmediateReply(const QNetworkRequest &request,
                               QNetworkAccessManager::Operation operation, QObject *parent)
    : SettlingReply(parent)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(operation);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

ImmediateReply *ImmediateReply::refused(const QNetworkRequest &request,
                                        QNetworkAccessManager::Operation operation, QObject *parent)
{
    auto *reply = new ImmediateReply(request, operation, parent);
    reply->setError(ContentAccessDenied,
                    QStringLiteral("Refused: %1").arg(request.url().toString()));
    reply->finishLater();
    return reply;
}

ImmediateReply *ImmediateReply::redirected(const QNetworkRequest &request,
                                           QNetworkAccessManager::Operation operation,
                                           const QUrl &target, QObject *parent)
{
    auto *reply = new ImmediateReply(request, operation, parent);
    reply->setAttribute(QNetworkRequest::RedirectionTargetAttribute, target);
    reply->setHeader(QNetworkRequest::ContentLengthHeader, 0);
    reply->finishLater();
    return reply;
}

void ImmediateReply::finishLater()
{
    if (isSynchronous(request())) {
        setFinished(true);
        return;
    }
    QTimer::singleShot(0, this, [this] {
        if (isFinished())
            return;
        if (error() != NoError)
            emitFailure(error());
        else
            emit metaDataChanged();
        setFinished(true);
        emit finished();
    });
}

void ImmediateReply::abort()
{
    cancel();
}

qint64 ImmediateReply::readData(char *, qint64)
{
    return -1;
}

LocalFileReply::LocalFileReply(const QNetworkRequest &request,
                               QNetworkAccessManager::Operation operation, const LocalFile &file,
                               QObject *parent)
    : SettlingReply(parent)
    , m_target(file)
    , m_withBody(operation != QNetworkAccessManager::HeadOperation)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(operation);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (isSynchronous(request))
        start();
    else
        QTimer::singleShot(0, this, &LocalFileReply::start);
}

void LocalFileReply::start()
{
    if (isFinished())
        return;
    const int descriptor = openResolved(m_target);
    if (descriptor < 0 ||
        !m_file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (descriptor >= 0)
            ::close(descriptor);
        setError(ContentNotFoundError, QStringLiteral("%1: %2").arg(m_target.path, reason));
        emitFailure(ContentNotFoundError);
    } else {
        // A name that tells no type leaves it to the web engine, as for any file address.
        const QMimeType type =
            QMimeDatabase().mimeTypeForFile(m_target.path, QMimeDatabase::MatchExtension);
        if (!type.isDefault())
            setHeader(QNetworkRequest::ContentTypeHeader, type.name());
        setHeader(QNetworkRequest::ContentLengthHeader, m_withBody ? m_file.size() : 0);
        emit metaDataChanged();
        if (m_withBody && !isSynchronous(request())) {
            m_size = m_file.size();
            releaseNextPiece();
            return;
        }
        m_size = m_withBody ? m_file.size() : 0;
        m_released = m_size;
        if (m_size > 0)
            emit readyRead();
    }
    setFinished(true);
    emit finished();
}

void LocalFileReply::releaseNextPiece()
{
    if (isFinished())
        return;
    m_released = std::min(m_size, m_released + kPieceSize);
    if (m_size > 0)
        emit readyRead();
    if (m_released < m_size) {
        QTimer::singleShot(0, this, &LocalFileReply::releaseNextPiece);
        return;
    }
    setFinished(true);
    emit finished();
}

void LocalFileReply::abort()
{
    m_file.close();
    cancel();
}

qint64 LocalFileReply::bytesAvailable() const
{
    const qint64 left = m_withBody && m_file.isOpen() ? m_released - m_file.pos() : 0;
    return std::max<qint64>(0, left) + QNetworkReply::bytesAvailable();
}

qint64 LocalFileReply::readData(char *data, qint64 maxSize)
{
    if (!m_withBody || !m_file.isOpen())
        return -1;
    const qint64 left = m_released - m_file.pos();
    if (left <= 0)
        return isFinished() ? -1 : 0;
    const qint64 read = m_file.read(data, std::min(maxSize, left));
    return read == 0 ? -1 : read;
}

} // namespace quirex::engine
