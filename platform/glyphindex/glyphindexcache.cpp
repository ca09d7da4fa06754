#include "glyphindexcache.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <dlfcn.h>
#include <memory>

namespace
{

using GlyphIndexLookup = FT_UInt (*)(FT_Face, FT_ULong);

constexpr FT_ULong kPlaneSize = 0x10000;
// Lookups of a face before it gets a table: laying text out asks for a few hundred characters
// of a face, embedding it for all of them.
constexpr unsigned kLookupsBeforeTable = 4096;
// A table entry not looked up yet; the glyph indexes of a face that gets a table are below it.
constexpr std::uint16_t kNotLookedUp = 0xFFFF;

std::atomic<std::size_t> tableCount{0};

struct FaceTable {
    FT_CharMap charMap = nullptr;
    unsigned lookups = 0;
    std::unique_ptr<std::uint16_t[]> glyphs;
};

// The font library's own lookup: the next definition after the program's, or, where the font
// library came with a library opened for local use only (the engine in a program that does not
// link the toolkit), that library's definition. The font library is loaded by the time anyone
// asks, since only its users ask.
GlyphIndexLookup findLibraryLookup()
{
    if (void *next = dlsym(RTLD_NEXT, "FT_Get_Char_Index"))
        return reinterpret_cast<GlyphIndexLookup>(next);
    void *library = dlopen("libfreetype.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return nullptr;
    void *own = dlsym(library, "FT_Get_Char_Index");
    dlclose(library);
    return reinterpret_cast<GlyphIndexLookup>(own);
}

GlyphIndexLookup libraryLookup()
{
    static const GlyphIndexLookup lookup = findLibraryLookup();
    return lookup;
}

void releaseTable(void *object)
{
    auto *face = static_cast<FT_Face>(object);
    auto *table = static_cast<FaceTable *>(face->generic.data);
    if (table && table->glyphs)
        --tableCount;
    delete table;
    face->generic.data = nullptr;
    face->generic.finalizer = nullptr;
}

// The face's table, made on its first lookup; null where the face's client slot is taken or
// its glyph indexes do not fit.
FaceTable *tableOf(FT_Face face)
{
    if (face->generic.finalizer == releaseTable)
        return static_cast<FaceTable *>(face->generic.data);
    if (face->generic.data || face->generic.finalizer || face->num_glyphs >= kNotLookedUp)
        return nullptr;
    auto *table = new FaceTable;
    face->generic.data = table;
    face->generic.finalizer = releaseTable;
    return table;
}

} // namespace

namespace quirex::platform
{

std::size_t glyphIndexTables()
{
    return tableCount;
}

} // namespace quirex::platform

extern "C" __attribute__((visibility("default"))) FT_UInt FT_Get_Char_Index(FT_Face face,
                                                                            FT_ULong charCode)
{
    const GlyphIndexLookup lookup = libraryLookup();
    if (!lookup)
        return 0;
    if (!face || !face->charmap || charCode >= kPlaneSize)
        return lookup(face, charCode);
    FaceTable *table = tableOf(face);
    if (!table)
        return lookup(face, charCode);
    if (!table->glyphs) {
        if (++table->lookups < kLookupsBeforeTable)
            return lookup(face, charCode);
        table->glyphs = std::make_unique<std::uint16_t[]>(kPlaneSize);
        std::fill_n(table->glyphs.get(), kPlaneSize, kNotLookedUp);
        table->charMap = face->charmap;
        ++tableCount;
    }
    if (face->charmap != table->charMap)
        return lookup(face, charCode);
    std::uint16_t &glyph = table->glyphs[charCode];
    if (glyph != kNotLookedUp)
        return glyph;
    // A damaged character map may name glyphs the face does not have; those are not kept.
    const FT_UInt answer = lookup(face, charCode);
    if (answer < kNotLookedUp)
        glyph = static_cast<std::uint16_t>(answer);
    return answer;
}
