#pragma once

#include <QByteArray>
#include <QString>

#include <unordered_map>
#include <utility>
#include <vector>

class QFile;

namespace quirex::engine
{

// One value of a PDF file as it is written there: its kind, its exact text
// (so an update can copy it unchanged) and, for arrays and dictionaries, its
// parts.
struct PdfValue {
    enum class Kind { Invalid, Null, Boolean, Number, Name, String, Array, Dictionary, Reference };

    Kind kind = Kind::Invalid;
    QByteArray text;
    double number = 0;                                    // Number
    int object = 0;                                       // Reference
    int generation = 0;                                   // Reference
    std::vector<PdfValue> items;                          // Array
    std::vector<std::pair<QByteArray, PdfValue>> entries; // Dictionary: "/Key" -> value

    bool isValid() const { return kind != Kind::Invalid; }
    // The dictionary entry named `key` ("/Type"), or null.
    const PdfValue *find(const char *key) const;
};

// Parses the value that starts at `at` (after white space and comments) and
// moves `at` past it. Invalid when the text is no value; `ranOut` is set when
// it ended before the value did.
PdfValue parsePdfValue(const QByteArray &data, int &at, bool *ranOut = nullptr);

// Reads single objects of a PDF file that has classic cross-reference tables
// (as the engine's PDF output writes), without loading the rest: the tables
// and trailers (newest first, through /Prev), then each object on request.
class PdfObjectReader
{
public:
    // False, with the reason, when the file has no readable table at its end.
    bool open(QFile *file, QString *error);

    // The newest trailer, and where its table starts.
    const PdfValue &trailer() const { return m_trailer; }
    qint64 crossReferenceOffset() const { return m_startXref; }

    // The value of object `number`; Invalid when the file has none.
    PdfValue object(int number) const;
    // The object a reference names; any other value as it is.
    PdfValue resolve(const PdfValue &value) const;

private:
    bool readSection(qint64 offset, PdfValue *trailer);
    QByteArray readAt(qint64 offset, qint64 length) const;

    QFile *m_file = nullptr;
    qint64 m_size = 0;
    qint64 m_startXref = -1;
    PdfValue m_trailer;
    std::unordered_map<int, std::pair<qint64, int>> m_offsets; // number -> offset, generation
};

// A PDF string for `bytes`: a literal string, escaped where needed.
QByteArray pdfLiteralString(const QByteArray &bytes);
// A PDF text string for `text`: literal when plain ASCII, else UTF-16BE.
QByteArray pdfTextString(const QString &text);

} // namespace quirex::engine
