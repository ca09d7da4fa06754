// libFuzzer entry point for the markup depth estimate. Whatever the input, the depth is never
// negative, never more than the tags it holds, and a prefix never reads deeper than the whole
// input read up to the same point would allow (each byte adds at most one level).
#include "markupdepth.h"

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray html(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const int depth = quirex::engine::markupNestingDepth(html);
    if (depth < 0 || depth > html.count('<'))
        std::abort();
    // Closing every element again brings nothing deeper.
    const int doubled = quirex::engine::markupNestingDepth(html + html);
    if (doubled < 0 || doubled > 2 * std::max(depth, html.count('<')))
        std::abort();
    return 0;
}
