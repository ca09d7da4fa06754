#include "glyphindexcache.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>

namespace
{

using quirex::platform::glyphIndexTables;
using GlyphIndexLookup = FT_UInt (*)(FT_Face, FT_ULong);

const char kFont[] = "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf";

GlyphIndexLookup libraryLookup()
{
    return reinterpret_cast<GlyphIndexLookup>(dlsym(RTLD_NEXT, "FT_Get_Char_Index"));
}

class GlyphIndexCache : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kFont))
            GTEST_SKIP() << "the test font is not installed (fonts-liberation2)";
        ASSERT_NE(libraryLookup(), nullptr) << "the font library's own lookup is not found";
        ASSERT_EQ(FT_Init_FreeType(&m_library), 0);
        ASSERT_EQ(FT_New_Face(m_library, kFont, 0, &m_face), 0);
    }
    void TearDown() override
    {
        if (m_face)
            FT_Done_Face(m_face);
        if (m_library)
            FT_Done_FreeType(m_library);
    }

    // Every character of the plane and a few above it, as the font library answers them.
    void expectLibraryAnswers(const char *round)
    {
        const GlyphIndexLookup library = libraryLookup();
        int differences = 0;
        for (FT_ULong c = 0; c < 0x10040; ++c) {
            if (FT_Get_Char_Index(m_face, c) != library(m_face, c) && ++differences < 5)
                ADD_FAILURE() << round << ": character " << c;
        }
        EXPECT_EQ(differences, 0) << round;
    }

    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

TEST_F(GlyphIndexCache, AnswersAsTheFontLibraryAndLivesAsLongAsItsFace)
{
    const std::size_t before = glyphIndexTables();
    EXPECT_EQ(FT_Get_Char_Index(m_face, 'A'), libraryLookup()(m_face, 'A'));
    EXPECT_EQ(glyphIndexTables(), before) << "a table for a face asked about one character";

    expectLibraryAnswers("first look, filling the table");
    EXPECT_EQ(glyphIndexTables(), before + 1);
    expectLibraryAnswers("from the table");

    // Another character map gets the library's answers for it, and the table serves the
    // first one again once it is back.
    FT_CharMap unicode = m_face->charmap;
    FT_CharMap other = nullptr;
    for (int i = 0; i < m_face->num_charmaps; ++i) {
        if (m_face->charmaps[i] != unicode)
            other = m_face->charmaps[i];
    }
    if (other) {
        ASSERT_EQ(FT_Set_Charmap(m_face, other), 0);
        expectLibraryAnswers("another character map");
        ASSERT_EQ(FT_Set_Charmap(m_face, unicode), 0);
        expectLibraryAnswers("the first character map again");
    }

    FT_Done_Face(m_face);
    m_face = nullptr;
    EXPECT_EQ(glyphIndexTables(), before) << "the table outlived its face";
}

int finalizerCalls = 0;
void countFinalizer(void *)
{
    ++finalizerCalls;
}

TEST_F(GlyphIndexCache, LeavesAFaceWhoseClientSlotIsTakenToTheLibrary)
{
    int owner = 0;
    m_face->generic.data = &owner;
    m_face->generic.finalizer = countFinalizer;
    const std::size_t before = glyphIndexTables();

    expectLibraryAnswers("a face with client data");
    EXPECT_EQ(glyphIndexTables(), before);
    EXPECT_EQ(m_face->generic.data, &owner);

    finalizerCalls = 0;
    FT_Done_Face(m_face);
    m_face = nullptr;
    EXPECT_EQ(finalizerCalls, 1) << "the client's own finalizer was not called";
}

} // namespace
