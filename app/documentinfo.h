#pragma once

#include <QString>

namespace quirex::app
{

struct ConversionSettings;

// True when the settings carry any document information (author, subject,
// title or keywords).
bool hasDocumentInformation(const ConversionSettings &settings);

// Writes the settings' author, subject, title and keywords (each possibly
// empty) into the finished PDF at `path` through the PDF document component
// ("Leafcraft.PDFDocument4"): open, set the four, save in place, release.
// Returns false, doing nothing, when the component cannot be resolved or
// created; throws automation::ComError when one of its calls fails (the PDF
// then keeps its pages without the information).
bool writeDocumentInformation(const QString &path, const ConversionSettings &settings);

} // namespace quirex::app
