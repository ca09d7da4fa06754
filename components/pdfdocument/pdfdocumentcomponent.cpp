#include "pdfdocumentcomponent.h"

#include "comerror.h"

namespace quirex::components
{

namespace
{

void check(int result, const QString &description)
{
    if (result != PdfDocument::ResultOk)
        throw automation::ComError(result, description, QStringLiteral("Leafcraft.PDFDocument4"));
}

} // namespace

void PdfDocumentComponent::SaveDocument(const QString &path, int options)
{
    check(m_document.SaveDocument(path, options),
          QStringLiteral("The PDF could not be saved to %1.").arg(path));
}

void PdfDocumentComponent::OpenDocument(const QString &path, const QString &password)
{
    check(m_document.OpenDocument(path, password),
          QStringLiteral("%1 is missing, unreadable or not a PDF.").arg(path));
}

void PdfDocumentComponent::SetAuthor(const QString &text, int options)
{
    check(m_document.SetAuthor(text, options), QStringLiteral("No PDF is open."));
}

void PdfDocumentComponent::SetKeywords(const QString &text, int options)
{
    check(m_document.SetKeywords(text, options), QStringLiteral("No PDF is open."));
}

void PdfDocumentComponent::SetSubject(const QString &text, int options)
{
    check(m_document.SetSubject(text, options), QStringLiteral("No PDF is open."));
}

void PdfDocumentComponent::SetTitle(const QString &text, int options)
{
    check(m_document.SetTitle(text, options), QStringLiteral("No PDF is open."));
}

} // namespace quirex::components
