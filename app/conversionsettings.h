#pragma once

#include <QString>

namespace quirex::app
{

// Every option that shapes one conversion, with the built-in defaults. Field
// names are those of the settings file and the engine properties they feed.
// Margins and the custom paper size are in the engine's units.
struct ConversionSettings {
    int JpegQuality = 0; // accepted and kept; no conversion step reads it
    int Version = 0;     // settings-file format number, kept as read
    int PaperSize = 4;   // index into the paper table (papertable.h), or CustomPaperSize
    int Orientation = 0; // 0 portrait, 1 landscape
    int CustomPaperWidth = 0;
    int CustomPaperHeight = 0;
    QString Author;
    QString Subject;
    QString Title;
    QString Keywords;
    int Encoding = 63; // index into the encoding table (encodingtable.h): "ISO-8859-1"
    bool PreserveLinks = true;
    QString BaseURL;                // used only while PreserveLinks is on
    bool ExcludeOrphanPages = true; // kept and stored; no conversion step reads it
    bool PageNumbers = false;
    int PageNumberAlign = 1;  // 0 left, 1 centre, 2 right
    QString PageNumberFormat; // empty: the built-in "Page %d" text
    int MarginLeft = 113;
    int MarginRight = 57;
    int MarginTop = 76;
    int MarginBottom = 76;
    // Images and tables no taller than a page move whole to the next page
    // rather than being cut at its end.
    bool PostEntireImages = true;
    int Zoom = 100; // content zoom in percent; 0 keeps the engine's own
    bool PostEntireTables = true;
    bool ScreenMedia = false; // lay documents out with their screen styles, not print ones

    // Back to the built-in defaults.
    void setDefaults() { *this = ConversionSettings(); }

    bool operator==(const ConversionSettings &other) const;
    bool operator!=(const ConversionSettings &other) const { return !(*this == other); }
};

} // namespace quirex::app
