#include "policyreplies.h"

#include <QMimeDatabase>
#include <QTimer>

namespace quirex::engine
{

namespace
{

void emitError(QNetworkReply *reply, QNetworkReply::NetworkError code)
{
    emit reply->errorOccurred(code);
    // The web engine still listens to the older signal.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    emit reply->error(code);
    QT_WARNING_POP
}

} // namespace

ImmediateReply::ImmediateReply(const QNetworkRequest &request,
                               QNetworkAccessManager::Operation operation, QObject *parent)
    : QNetworkReply(parent)
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
    QTimer::singleShot(0, this, [this] {
        if (isFinished())
            return;
        if (error() != NoError)
            emitError(this, error());
        else
            emit metaDataChanged();
        setFinished(true);
        emit finished();
    });
}

void ImmediateReply::abort()
{
    if (isFinished())
        return;
    setError(OperationCanceledError, QStringLiteral("Cancelled"));
    setFinished(true);
    emitError(this, OperationCanceledError);
    emit finished();
}

qint64 ImmediateReply::readData(char *, qint64)
{
    return -1;
}

LocalFileReply::LocalFileReply(const QNetworkRequest &request,
                               QNetworkAccessManager::Operation operation, const QString &path,
                               QObject *parent)
    : QNetworkReply(parent)
    , m_file(path)
    , m_withBody(operation != QNetworkAccessManager::HeadOperation)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(operation);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QTimer::singleShot(0, this, &LocalFileReply::start);
}

void LocalFileReply::start()
{
    if (isFinished())
        return;
    if (!m_file.open(QIODevice::ReadOnly)) {
        setError(ContentNotFoundError, m_file.errorString());
        emitError(this, ContentNotFoundError);
    } else {
        const QString type = QMimeDatabase()
                                 .mimeTypeForFile(m_file.fileName(), QMimeDatabase::MatchExtension)
                                 .name();
        setHeader(QNetworkRequest::ContentTypeHeader, type);
        setHeader(QNetworkRequest::ContentLengthHeader, m_withBody ? m_file.size() : 0);
        emit metaDataChanged();
        if (m_withBody && m_file.size() > 0)
            emit readyRead();
    }
    setFinished(true);
    emit finished();
}

void LocalFileReply::abort()
{
    m_file.close();
    if (isFinished())
        return;
    setError(OperationCanceledError, QStringLiteral("Cancelled"));
    setFinished(true);
    emitError(this, OperationCanceledError);
    emit finished();
}

qint64 LocalFileReply::bytesAvailable() const
{
    const qint64 left = m_withBody && m_file.isOpen() ? m_file.size() - m_file.pos() : 0;
    return std::max<qint64>(0, left) + QNetworkReply::bytesAvailable();
}

qint64 LocalFileReply::readData(char *data, qint64 maxSize)
{
    if (!m_withBody || !m_file.isOpen())
        return -1;
    const qint64 read = m_file.read(data, maxSize);
    return read == 0 ? -1 : read;
}

} // namespace quirex::engine
