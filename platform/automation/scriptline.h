#pragma once

#include "variant.h"

#include <QString>

namespace quirex::automation
{

// One statement of a quirexscript script.
struct ScriptStatement {
    enum class Kind { Nothing, Create, Put, Get, Call, Release };

    Kind kind = Kind::Nothing; // Nothing: a blank or comment line
    QString name;              // the ProgID of create, else the member name
    VariantList arguments;     // the value of put, the arguments of call

    bool operator==(const ScriptStatement &other) const
    {
        return kind == other.kind && name == other.name && arguments == other.arguments;
    }
};

struct ScriptLineResult {
    bool ok = false;
    ScriptStatement statement;
    QString error; // why the line cannot be parsed
};

// Parses one line:
//   create PROGID | put NAME VALUE | get NAME | call NAME [ARG ...] | release
// Blank lines and lines whose first non-blank character is "#" are Nothing. Words are separated
// by blanks; keywords are case-insensitive. Values: a decimal integer ("-12") is an int (it must
// fit 32 bits); a number with a point or an exponent ("1.5", "2e3") a double (finite); true and
// false booleans; a double-quoted string (escapes \" \\ \n \t \r) a string; any other word a
// string. NAME and PROGID are words, not quoted strings. A word may not contain a quote.
ScriptLineResult parseScriptLine(const QString &line);

// A value in the form parseScriptLine reads back as the same value: integers in decimal, true
// or false, doubles in the shortest form that reads back as the same double (always with a
// point or exponent; "inf", "-inf" and "nan" for the non-finite ones), strings quoted and
// escaped. An empty value is "empty".
QString formatScriptValue(const Variant &value);

} // namespace quirex::automation
