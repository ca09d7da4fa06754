#include "outputclash.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <sys/stat.h>

namespace quirex::app
{

namespace
{

// "DEVICE:INODE" of an existing file, else empty.
QString identity(const QString &path)
{
    struct stat info {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    return QStringLiteral("%1:%2").arg(quint64(info.st_dev)).arg(quint64(info.st_ino));
}

// Remembers paths by their cleaned form and their identity.
class PathIndex
{
public:
    // The index of a path recorded before that names the same file, or -1.
    int find(const QString &cleaned, const QString &id) const
    {
        const auto byPath = m_paths.constFind(cleaned);
        if (byPath != m_paths.cend())
            return *byPath;
        const auto byId = id.isEmpty() ? m_ids.cend() : m_ids.constFind(id);
        return byId != m_ids.cend() ? *byId : -1;
    }
    void add(const QString &cleaned, const QString &id, int index)
    {
        m_paths.insert(cleaned, index);
        if (!id.isEmpty())
            m_ids.insert(id, index);
    }

private:
    QHash<QString, int> m_paths;
    QHash<QString, int> m_ids;
};

} // namespace

bool isSameFile(const QString &first, const QString &second)
{
    if (QDir::cleanPath(first) == QDir::cleanPath(second))
        return true;
    const QString id = identity(first);
    return !id.isEmpty() && id == identity(second);
}

OutputClash findOutputClash(const QStringList &inputs, const QStringList &outputs, bool joined)
{
    PathIndex inputIndex;
    for (int i = 0; i < inputs.size(); ++i)
        inputIndex.add(QDir::cleanPath(inputs[i]), identity(inputs[i]), i);
    PathIndex outputIndex;
    OutputClash clash;
    for (int i = 0; i < outputs.size() && i < inputs.size(); ++i) {
        const QString cleaned = QDir::cleanPath(outputs[i]);
        const QString id = identity(outputs[i]);
        const int input = inputIndex.find(cleaned, id);
        if (input >= 0) {
            clash.kind = OutputClash::Kind::OutputIsInput;
            clash.first = inputs[input];
            clash.second = outputs[i];
            clash.output = outputs[i];
            return clash;
        }
        const int earlier = joined ? -1 : outputIndex.find(cleaned, id);
        if (earlier >= 0) {
            clash.kind = OutputClash::Kind::SameOutput;
            clash.first = inputs[earlier];
            clash.second = inputs[i];
            clash.output = outputs[i];
            return clash;
        }
        outputIndex.add(cleaned, id, i);
    }
    return clash;
}

} // namespace quirex::app
