#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace quirex::platform
{

// Writes a file so that its target is either left exactly as it was or
// replaced by the complete new contents, never by a torn or partial file.
//
// open() creates ".NAME.RANDOM.part" (".atomic.RANDOM.part" for a name near
// the length limit) beside the target, exclusively and
// without following links. The caller writes to it, through handle(), write()
// or by its path (temporaryPath(), for writers that open files by name).
// commit() gives it its permission bits, flushes it to the disk and renames
// it over the target in one step; abandon(), or destroying the object before
// commit(), removes it and leaves the target untouched.
//
// Permission bits: a file that is replaced keeps its own, without the
// set-user-id and set-group-id bits; a new file gets newFileMode() less the
// umask. Every failure leaves errorString() saying what failed and why.
class AtomicFile final
{
public:
    enum class Replace {
        Existing, // commit() replaces a file at the target
        Never,    // commit() fails when anything exists at the target
    };

    explicit AtomicFile(const QString &target, Replace replace = Replace::Existing);
    ~AtomicFile();

    QString target() const { return m_target; }
    // The mode of a new target before the umask is applied; 0666 unless set.
    mode_t newFileMode() const { return m_newFileMode; }
    void setNewFileMode(mode_t mode) { m_newFileMode = mode; }

    // Creates the temporary file. False, with errorString(), when it cannot
    // be made (missing or read-only folder, target name too long, ...).
    // Opening again first abandons the file opened before.
    bool open();
    bool isOpen() const { return m_fd >= 0; }
    // The temporary file's descriptor and path, while open.
    int handle() const { return m_fd; }
    QString temporaryPath() const { return m_temporaryPath; }

    // Appends `bytes` to the temporary file. False, with errorString(), on a
    // short write (full disk, ...).
    bool write(const QByteArray &bytes);

    // Puts the written file in place of the target. False, with
    // errorString(), when it is not open, cannot be flushed, or cannot
    // replace the target (a folder there, a read-only folder, or with
    // Replace::Never any file there); the temporary file is then removed
    // and the target is as it was.
    bool commit();

    // Removes the temporary file; the target stays as it was. No-op when
    // nothing is open.
    void abandon();

    // Why the last failing call failed; empty after a success.
    QString errorString() const { return m_error; }

private:
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool fail(const QString &what, int error);
    bool putInPlace(const QByteArray &from, const QByteArray &to);

    QString m_target;
    Replace m_replace;
    mode_t m_newFileMode = 0666;
    QString m_temporaryPath;
    int m_fd = -1;
    QString m_error;
};

} // namespace quirex::platform
