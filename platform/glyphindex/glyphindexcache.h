#pragma once

#include <cstddef>

namespace quirex::platform
{

// A program that links this library answers the font library's character-to-glyph lookup
// (FT_Get_Char_Index) for every font face of the process from a table kept with the face.
//
// Why: the PDF writer, when it embeds a font, asks for the glyph of each of the 65,536
// characters of the Basic Multilingual Plane to map its glyphs back to text, for every font
// of every PDF. A batch that writes thousands of PDFs with the same few fonts asked the same
// questions again for each one: a tenth of a small document's conversion.
//
// The table of a face is made once the face has been asked about many characters and holds
// exactly what the font library answered: each character is looked up in the library the
// first time and read from the table after that, for the character map the face had then.
// Lookups under another character map and above the Basic Multilingual Plane go to the
// library, as do those of a face whose client data slot is used by someone else. The table
// lives as long as its face: the font library frees it when it frees the face.
//
// The executable must export the symbol (see CMakeLists.txt) so that it comes before the font
// library's own in the process's symbol lookup.

// The faces that have a table now, for tests.
std::size_t glyphIndexTables();

} // namespace quirex::platform
