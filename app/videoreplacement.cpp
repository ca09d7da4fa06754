#include "videoreplacement.h"

#include "applog.h"
#include "atomicfile.h"

#include <QFile>

#include <algorithm>
#include <climits>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirex::app
{

namespace
{

constexpr int kFailed = 2034;

QByteArray asciiLower(QByteArray bytes)
{
    // Only A-Z change: the bytes of a UTF-8 sequence are never letters here.
    for (char &c : bytes)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return bytes;
}

QByteArray replacementFor(const QByteArray &markup)
{
    const QByteArray lower = asciiLower(markup);
    const QByteArray poster = videoAttributeValue(lower, "poster");
    if (poster.isEmpty())
        return QByteArrayLiteral("VIDEO");
    QByteArray tag = QByteArrayLiteral("<img ");
    const QByteArray width = videoAttributeValue(lower, "width");
    if (!width.isEmpty())
        tag += "width=" + width + ' ';
    const QByteArray height = videoAttributeValue(lower, "height");
    if (!height.isEmpty())
        tag += "height=" + height + ' ';
    return tag + "src=" + poster + '>';
}

// Closes `fd` on every path out of the step.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// A read-only mapping of a whole file, unmapped on every path out.
struct Mapping {
    void *address = MAP_FAILED;
    size_t size = 0;
    ~Mapping()
    {
        if (address != MAP_FAILED)
            ::munmap(address, size);
    }
};

} // namespace

bool isPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

namespace
{

} // namespace

QByteArray videoAttributeValue(const QByteArray &markup, const QByteArray &name)
{
    const int found = markup.indexOf(name);
    if (found < 0)
        return {};
    int start = found + name.size();
    while (start < markup.size() && (markup[start] == ' ' || markup[start] == '='))
        ++start;
    if (start >= markup.size())
        return {};
    if (markup[start] == '"') {
        const int close = markup.indexOf('"', start + 1);
        return close < 0 ? QByteArray() : markup.mid(start, close - start + 1);
    }
    const int blank = markup.indexOf(' ', start + 1);
    return blank < 0 ? QByteArray() : markup.mid(start, blank - start);
}

QByteArray replaceVideoElements(const QByteArray &text)
{
    QByteArray result;
    int copied = 0;
    // The first byte is never the start of an element: a document does not
    // begin with a bare video element, and this keeps what stored files saw.
    int searchFrom = 1;
    while (searchFrom < text.size()) {
        const int start = text.indexOf("<video", searchFrom);
        if (start < 0)
            break;
        const int closing = text.indexOf("</video", start);
        if (closing < 0)
            break;
        const int end = text.indexOf('>', closing);
        if (end < 0)
            break;
        if (result.isEmpty())
            result.reserve(text.size());
        result.append(text.constData() + copied, start - copied);
        result += replacementFor(text.mid(start, end - start + 1));
        // The replacement is never searched again; the next element is
        // searched for after this one.
        copied = end + 1;
        searchFrom = copied;
    }
    if (copied == 0)
        return text;
    result.append(text.constData() + copied, text.size() - copied);
    return result;
}

QString videoCopyPath(const QString &inputPath, const QString &tempFileName)
{
    const int separator =
        std::max(inputPath.lastIndexOf(QLatin1Char('/')), inputPath.lastIndexOf(QLatin1Char('\\')));
    return inputPath.left(separator + 1) + tempFileName;
}

int ReplaceToTempFile(QString &inputPath, const QString &tempFileName)
{
    logLine(QStringLiteral("ReplaceToTempFile"));

    FileDescriptor input;
    input.fd = ::open(QFile::encodeName(inputPath).constData(), O_RDONLY | O_CLOEXEC);
    struct stat inputStat {
    };
    if (input.fd < 0 || ::fstat(input.fd, &inputStat) != 0 || !S_ISREG(inputStat.st_mode) ||
        inputStat.st_size <= 0 || inputStat.st_size > INT_MAX)
        return kFailed;
    Mapping mapping;
    mapping.size = size_t(inputStat.st_size);
    mapping.address = ::mmap(nullptr, mapping.size, PROT_READ, MAP_PRIVATE, input.fd, 0);
    if (mapping.address == MAP_FAILED)
        return kFailed;
    // The whole file, NUL bytes included: a UTF-16 file must not end at its
    // second byte. Without videos the text is the mapping itself.
    const QByteArray text = replaceVideoElements(
        QByteArray::fromRawData(static_cast<const char *>(mapping.address), int(mapping.size)));

    // The copy never takes the place of anything: a name with a folder part
    // could reach anywhere, and an existing file (another input, the user's
    // own file of that name) would be lost when the copy is deleted.
    if (!isPlainFileName(tempFileName))
        return kFailed;
    const QString copyPath = videoCopyPath(inputPath, tempFileName);
    struct stat existing {
    };
    if (::lstat(QFile::encodeName(copyPath).constData(), &existing) == 0)
        return kFailed;
    platform::AtomicFile copy(copyPath, platform::AtomicFile::Replace::Never);
    copy.setNewFileMode(inputStat.st_mode & 0777);
    if (!copy.open() || !copy.write(text) || !copy.commit()) {
        logLine(QStringLiteral("ReplaceToTempFile: %1").arg(copy.errorString()));
        return kFailed;
    }
    inputPath = copyPath;
    return 0;
}

} // namespace quirex::app
