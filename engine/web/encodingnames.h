#pragma once

#include <QString>
#include <QStringList>

namespace quirex::engine
{

// QtWebKit decodes documents with its own codec table, which lacks several
// names the converter offers: such a name set as the default text encoding
// silently decodes as Latin-1. These helpers translate a name into one that
// table knows for the same character set.

// Returns the name to give QWebSettings::setDefaultTextEncoding() so that a
// document without a declared character set decodes as `name`'s character
// set. Matching is case-insensitive. A name the web engine already knows, a
// name without any web engine equivalent (see encodingsWithoutWebKitCodec())
// and an unknown name are returned unchanged.
QString webKitEncodingName(const QString &name);

// The names of the converter's encoding list for which the web engine has no
// codec at all; documents in them decode as Latin-1 whatever is set.
QStringList encodingsWithoutWebKitCodec();

} // namespace quirex::engine
