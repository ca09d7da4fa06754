#pragma once

#include "localfile.h"
#include "settlingreply.h"

#include <QFile>
#include <QNetworkReply>

namespace quirex::engine
{

// A reply that ends at the next pass of the event loop (never inside the call that made it,
// where the web engine is not listening yet; a synchronous request's reply is finished at
// once): refused with ContentAccessDenied, or redirected
// to another address, which the web engine then requests as a new resource.
class ImmediateReply final : public SettlingReply
{
    Q_OBJECT

public:
    static ImmediateReply *refused(const QNetworkRequest &request,
                                   QNetworkAccessManager::Operation operation, QObject *parent);
    static ImmediateReply *redirected(const QNetworkRequest &request,
                                      QNetworkAccessManager::Operation operation,
                                      const QUrl &target, QObject *parent);

    void abort() override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    ImmediateReply(const QNetworkRequest &request, QNetworkAccessManager::Operation operation,
                   QObject *parent);
    void finishLater();
};

// Serves one resolved local file (see openResolved), read as the web engine asks for it, with
// a content type taken from its name where the name tells one; like ImmediateReply it ends at
// the next pass of the event loop, or at once for a synchronous request. A file that cannot be
// opened, or is no longer the file resolved, ends as ContentNotFound.
class LocalFileReply final : public SettlingReply
{
    Q_OBJECT

public:
    LocalFileReply(const QNetworkRequest &request, QNetworkAccessManager::Operation operation,
                   const LocalFile &file, QObject *parent);

    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    // The web engine parses what a reply hands it in one go; a file given in pieces, one per
    // pass of the event loop, lets the load's time-out end a document that parses slowly.
    static constexpr qint64 kPieceSize = 64 * 1024;

    void start();
    void releaseNextPiece();

    LocalFile m_target;
    qint64 m_size = 0;
    qint64 m_released = 0; // how much of the file the web engine may read so far
    QFile m_file;
    bool m_withBody = true;
};

} // namespace quirex::engine
