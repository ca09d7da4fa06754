#pragma once

#include "pdfdocument.h"

#include <QObject>
#include <QString>

namespace quirex::components
{

// The PDF document component as automation clients see it (ProgID
// "Leafcraft.PDFDocument4"): the members of PdfDocument, in the same order,
// where a failure fails the call itself, so a client gets a COM error with
// the result code and a description.
class PdfDocumentComponent final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("ClassID", "{5C2B7A0E-93D4-4F1B-8E61-2A7F0C9D4B35}")
    Q_CLASSINFO("InterfaceID", "{B1E6D3F8-47A2-4C59-9D0B-6E8F2A1C7D44}")

public:
    PdfDocumentComponent() = default;

public Q_SLOTS:
    void SaveDocument(const QString &path, int options);
    void OpenDocument(const QString &path, const QString &password);
    void SetAuthor(const QString &text, int options);
    void SetKeywords(const QString &text, int options);
    void SetSubject(const QString &text, int options);
    void SetTitle(const QString &text, int options);

private:
    Q_DISABLE_COPY(PdfDocumentComponent)
    PdfDocument m_document;
};

} // namespace quirex::components
