#include "conversionsettings.h"

#include <tuple>

namespace quirex::app
{

namespace
{

auto fields(const ConversionSettings &s)
{
    return std::tie(s.JpegQuality, s.Version, s.PaperSize, s.Orientation, s.CustomPaperWidth,
                    s.CustomPaperHeight, s.Author, s.Subject, s.Title, s.Keywords, s.Encoding,
                    s.PreserveLinks, s.BaseURL, s.ExcludeOrphanPages, s.PageNumbers,
                    s.PageNumberAlign, s.PageNumberFormat, s.MarginLeft, s.MarginRight, s.MarginTop,
                    s.MarginBottom, s.PostEntireImages, s.Zoom, s.PostEntireTables, s.ScreenMedia);
}

} // namespace

bool ConversionSettings::operator==(const ConversionSettings &other) const
{
    return fields(*this) == fields(other);
}

} // namespace quirex::app
