#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

namespace quirex::components
{

// Opens an existing PDF, sets its document information (author, subject,
// title, keywords) and saves it. Every member returns a result code: 0 for
// success, a negative (failure) code otherwise. The public slots are the
// component's automation interface, in this order.
class PdfDocument final : public QObject
{
    Q_OBJECT

public:
    static constexpr int32_t ResultOk = 0;
    static constexpr int32_t ResultFail = int32_t(0x80004005u);

    explicit PdfDocument(QObject *parent = nullptr);
    ~PdfDocument() override;

public slots:
    // Writes the open document, with the information set, to `path` (in
    // practice the path it was opened from). The complete file is written to
    // a temporary file beside `path` and renamed over it, keeping the old
    // file's permissions, so a failure leaves the old file as it was.
    // ResultFail when no document is open or the file cannot be written.
    int SaveDocument(const QString &path, int options);

    // Opens the PDF at `path` (with `password` when it is encrypted; empty for
    // none), closing any document opened before. ResultFail when the file is
    // missing, unreadable or not a PDF; no document is open then.
    int OpenDocument(const QString &path, const QString &password);

    // Set one entry of the document information to `text` (any script; kept
    // as a text string readers show). An empty text removes the entry.
    // ResultFail when no document is open. `options` is unused.
    int SetAuthor(const QString &text, int options);
    int SetKeywords(const QString &text, int options);
    int SetSubject(const QString &text, int options);
    int SetTitle(const QString &text, int options);

private:
    Q_DISABLE_COPY(PdfDocument)
    int setInfo(const char *key, const QString &text);

    struct Document;
    std::unique_ptr<Document> m_document;
};

} // namespace quirex::components
