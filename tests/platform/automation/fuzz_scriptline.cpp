// libFuzzer entry point for the script host's line parser. Whatever the line, parsing ends with
// a statement or a reason, and every value it reads prints in a form that reads back the same.
#include "scriptline.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace quirex::automation;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const ScriptLineResult result = parseScriptLine(line);
    if (result.ok != result.error.isEmpty())
        std::abort();
    if (!result.ok)
        return 0;
    for (const Variant &value : result.statement.arguments) {
        const ScriptLineResult again =
            parseScriptLine(QStringLiteral("put X ") + formatScriptValue(value));
        if (!again.ok || again.statement.arguments.size() != 1 ||
            !(again.statement.arguments.first() == value))
            std::abort();
    }
    return 0;
}
