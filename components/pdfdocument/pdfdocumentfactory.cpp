// The component library of the PDF document component. Clients know it by
// the ProgID "Leafcraft.PDFDocument4"; the ids below never change.
#include "automationserver.h"
#include "pdfdocumentcomponent.h"

QUIREX_AUTOMATION_FACTORY_BEGIN("{E3A9C5D1-7B2F-4E86-A04C-1D9F6B3E8A27}",
                                "{4F7D2B9A-C1E3-4A58-B6D0-9E2C5A7F1B63}")
QUIREX_AUTOMATION_CLASS_AS(quirex::components::PdfDocumentComponent, "Leafcraft.PDFDocument4",
                           nullptr, nullptr)
QUIREX_AUTOMATION_FACTORY_END()
