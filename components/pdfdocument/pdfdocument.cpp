#include "pdfdocument.h"

#include "atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace quirex::components
{

struct PdfDocument::Document {
    QPDF pdf;
};

PdfDocument::PdfDocument(QObject *parent)
    : QObject(parent)
{
}

PdfDocument::~PdfDocument() = default;

int PdfDocument::OpenDocument(const QString &path, const QString &password)
{
    m_document.reset();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return ResultFail;
    auto document = std::make_unique<Document>();
    document->pdf.setSuppressWarnings(true);
    try {
        const QByteArray name = QFile::encodeName(path);
        const QByteArray secret = password.toUtf8();
        document->pdf.processFile(name.constData(),
                                  password.isEmpty() ? nullptr : secret.constData());
        // A file without any page is not a document this component can edit;
        // reading the pages also makes recovery of non-PDF input fail here.
        if (document->pdf.getAllPages().empty())
            return ResultFail;
    } catch (const std::exception &) {
        return ResultFail;
    }
    m_document = std::move(document);
    return ResultOk;
}

int PdfDocument::setInfo(const char *key, const QString &text)
{
    if (!m_document)
        return ResultFail;
    try {
        QPDFObjectHandle trailer = m_document->pdf.getTrailer();
        QPDFObjectHandle info = trailer.getKey("/Info");
        if (!info.isDictionary()) {
            info = m_document->pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            trailer.replaceKey("/Info", info);
        }
        if (text.isEmpty())
            info.removeKey(key);
        else
            info.replaceKey(key, QPDFObjectHandle::newUnicodeString(text.toStdString()));
    } catch (const std::exception &) {
        return ResultFail;
    }
    return ResultOk;
}

int PdfDocument::SetAuthor(const QString &text, int)
{
    return setInfo("/Author", text);
}

int PdfDocument::SetKeywords(const QString &text, int)
{
    return setInfo("/Keywords", text);
}

int PdfDocument::SetSubject(const QString &text, int)
{
    return setInfo("/Subject", text);
}

int PdfDocument::SetTitle(const QString &text, int)
{
    return setInfo("/Title", text);
}

int PdfDocument::SaveDocument(const QString &path, int)
{
    if (!m_document || path.isEmpty())
        return ResultFail;
    const QFileInfo target(path);
    if (target.isDir())
        return ResultFail;

    // The complete file replaces the old one in one step, with its
    // permissions; a new one gets those of the user's umask.
    platform::AtomicFile output(target.absoluteFilePath());
    if (!output.open())
        return ResultFail;
    const int fd = ::dup(output.handle());
    FILE *file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (!file) {
        if (fd >= 0)
            ::close(fd);
        return ResultFail;
    }
    bool written = false;
    try {
        // The writer keeps the name it is given, so it must outlive the writer.
        const QByteArray name = QFile::encodeName(output.temporaryPath());
        QPDFWriter writer(m_document->pdf);
        writer.setOutputFile(name.constData(), file, false);
        writer.write();
        // The writer's own flush ignores write errors such as a full disk;
        // the stream's error flag keeps them.
        written = std::fflush(file) == 0 && !std::ferror(file);
    } catch (const std::exception &) {
        written = false;
    }
    written = std::fclose(file) == 0 && written;
    if (!written || !output.commit())
        return ResultFail;
    return ResultOk;
}

} // namespace quirex::components
