#pragma once

#include <QString>

#include <sys/types.h>

namespace quirex::engine
{

// A local file as the kernel reaches it: the path a request names, with every symbolic link
// followed and "." and ".." applied where the kernel applies them (after the link before
// them), so that what is decided on is what is opened.
struct LocalFile {
    enum class Kind {
        Missing, // nothing there, a link loop, or a path that cannot name a file
        Regular, // a regular file
        Other,   // a folder, device, pipe or socket: never read
    };
    Kind kind = Kind::Missing;
    // Absolute, without links, "." or ".."; empty when Missing.
    QString path;
    dev_t device = 0;
    ino_t inode = 0;

    bool isRegular() const { return kind == Kind::Regular; }

    // Resolves `path`, an absolute path already decoded from its address (decoded once: a
    // "%2e" in it is a file name, not a dot). A relative path, or one holding a NUL, is Missing.
    static LocalFile resolve(const QString &path);
};

// Opens `file` for reading without following a link and without blocking. Returns the
// descriptor, or -1 (errno set) when the path no longer leads to the very regular file that
// was resolved.
int openResolved(const LocalFile &file);

} // namespace quirex::engine
