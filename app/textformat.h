#pragma once

#include <QString>

#include <initializer_list>
#include <variant>

namespace quirex::app
{

// One argument of fillFormat: a text or a number.
using FormatArgument = std::variant<QString, qint64>;

// Fills the printf-style directives of a string-table `format` with
// `arguments` in order: "%s" takes a text, "%d", "%i" and "%u" a number
// (either kind is accepted for either directive), "%%" gives '%'. Other
// directives, and directives beyond the last argument, stay as written; extra
// arguments are ignored. Arguments are inserted as they are and never read as
// formats, so outside text (paths, addresses) cannot change the result's form.
QString fillFormat(const QString &format, std::initializer_list<FormatArgument> arguments);

} // namespace quirex::app
