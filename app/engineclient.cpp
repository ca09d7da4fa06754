#include "engineclient.h"

#include "automationobject.h"
#include "comerror.h"
#include "guid.h"

namespace quirex::app
{

using automation::AutomationObject;
using automation::Variant;

namespace
{

// The engine's dispatch interface IQUIREX; fixed for the life of the engine.
const char kInterfaceId[] = "{66B7DD32-88C8-4F8A-B2D0-71A0A554D870}";

// Every engine member this client calls, in the engine's declaration order:
// properties, then methods. The one place their names are spelled.
#define QUIREX_ENGINE_MEMBERS(X)                                                                   \
    X(NumberOfPages)                                                                               \
    X(MarginLeft)                                                                                  \
    X(MarginRight)                                                                                 \
    X(MarginTop)                                                                                   \
    X(MarginBottom)                                                                                \
    X(BaseURL)                                                                                     \
    X(PreserveLinks)                                                                               \
    X(PostEntireImages)                                                                            \
    X(PostEntireTables)                                                                            \
    X(OutputFileName)                                                                              \
    X(ContentZoomFactor)                                                                           \
    X(GrayScaleMode)                                                                               \
    X(DocumentTitle)                                                                               \
    X(Encoding)                                                                                    \
    X(FontFamily)                                                                                  \
    X(FontPointSize)                                                                               \
    X(FontStyle)                                                                                   \
    X(FontWeight)                                                                                  \
    X(PenWidth)                                                                                    \
    X(PaperSize)                                                                                   \
    X(PaperWidth)                                                                                  \
    X(PaperHeight)                                                                                 \
    X(LandscapePageOrientation)                                                                    \
    X(Resolution)                                                                                  \
    X(JavaScriptEnabled)                                                                           \
    X(JavaScriptDelay)                                                                             \
    X(LoadImages)                                                                                  \
    X(RequestHeaders)                                                                              \
    X(OutlineDepth)                                                                                \
    X(LoadHTMLString)                                                                              \
    X(LoadHTMLFile)                                                                                \
    X(LoadURL)                                                                                     \
    X(ConvertPage)                                                                                 \
    X(BeginDoc)                                                                                    \
    X(EndDoc)                                                                                      \
    X(DrawLine)                                                                                    \
    X(SetCustomPaperSize)                                                                          \
    X(DrawText)                                                                                    \
    X(GetTextHeight)                                                                               \
    X(LastFailure)                                                                                 \
    X(SetMediaType)

namespace member
{
#define QUIREX_DECLARE_MEMBER(name) const QString name = QStringLiteral(#name);
QUIREX_ENGINE_MEMBERS(QUIREX_DECLARE_MEMBER)
#undef QUIREX_DECLARE_MEMBER
} // namespace member

Variant integer(int value)
{
    return Variant(std::int32_t(value));
}

Variant text(const QString &value)
{
    return Variant(value);
}

} // namespace

QString EngineClient::progId()
{
    return QStringLiteral("quirex.QUIREX");
}

QString EngineClient::interfaceId()
{
    return QString::fromLatin1(kInterfaceId);
}

QStringList EngineClient::memberNames()
{
#define QUIREX_LIST_MEMBER(name) member::name,
    return {QUIREX_ENGINE_MEMBERS(QUIREX_LIST_MEMBER)};
#undef QUIREX_LIST_MEMBER
}

std::unique_ptr<EngineClient> EngineClient::create(EngineCreationFailure *failure)
{
    AutomationObject object;
    automation::CreationStep step = automation::CreationStep::None;
    const automation::HRESULT hr =
        object.create(progId(), *automation::Guid::fromString(interfaceId()), &step);
    if (automation::FAILED(hr)) {
        if (failure)
            *failure = step == automation::CreationStep::ResolveProgId
                           ? EngineCreationFailure::ClassNotFound
                           : EngineCreationFailure::ObjectNotCreated;
        return nullptr;
    }
    return std::make_unique<EngineClient>(std::move(object));
}

EngineClient::EngineClient(AutomationObject object)
    : m_object(std::make_unique<AutomationObject>(std::move(object)))
{
}

EngineClient::~EngineClient() = default;

// Properties.

int EngineClient::numberOfPages()
{
    return m_object->propertyOrThrow(member::NumberOfPages).toInt();
}

void EngineClient::setMarginLeft(int value)
{
    m_object->setPropertyOrThrow(member::MarginLeft, integer(value));
}

void EngineClient::setMarginRight(int value)
{
    m_object->setPropertyOrThrow(member::MarginRight, integer(value));
}

void EngineClient::setMarginTop(int value)
{
    m_object->setPropertyOrThrow(member::MarginTop, integer(value));
}

void EngineClient::setMarginBottom(int value)
{
    m_object->setPropertyOrThrow(member::MarginBottom, integer(value));
}

void EngineClient::setBaseUrl(const QString &url)
{
    m_object->setPropertyOrThrow(member::BaseURL, text(url));
}

void EngineClient::setPreserveLinks(bool on)
{
    m_object->setPropertyOrThrow(member::PreserveLinks, Variant(on));
}

void EngineClient::setPostEntireImages(bool on)
{
    m_object->setPropertyOrThrow(member::PostEntireImages, Variant(on));
}

void EngineClient::setPostEntireTables(bool on)
{
    m_object->setPropertyOrThrow(member::PostEntireTables, Variant(on));
}

QString EngineClient::outputFileName()
{
    return m_object->propertyOrThrow(member::OutputFileName).toString();
}

void EngineClient::setOutputFileName(const QString &path)
{
    m_object->setPropertyOrThrow(member::OutputFileName, text(path));
}

void EngineClient::setContentZoomFactor(int percent)
{
    m_object->setPropertyOrThrow(member::ContentZoomFactor, integer(percent));
}

void EngineClient::setEncoding(const QString &name)
{
    m_object->setPropertyOrThrow(member::Encoding, text(name));
}

void EngineClient::setPaperSize(const QString &name)
{
    m_object->setPropertyOrThrow(member::PaperSize, text(name));
}

void EngineClient::setLandscapePageOrientation(bool on)
{
    m_object->setPropertyOrThrow(member::LandscapePageOrientation, Variant(on));
}

int EngineClient::resolution()
{
    return m_object->propertyOrThrow(member::Resolution).toInt();
}

int EngineClient::paperWidth()
{
    return m_object->propertyOrThrow(member::PaperWidth).toInt();
}

int EngineClient::paperHeight()
{
    return m_object->propertyOrThrow(member::PaperHeight).toInt();
}

void EngineClient::setFontFamily(const QString &family)
{
    m_object->setPropertyOrThrow(member::FontFamily, text(family));
}

void EngineClient::setFontStyle(const QString &word)
{
    m_object->setPropertyOrThrow(member::FontStyle, text(word));
}

void EngineClient::setFontWeight(const QString &word)
{
    m_object->setPropertyOrThrow(member::FontWeight, text(word));
}

void EngineClient::setPenWidth(int devicePixels)
{
    m_object->setPropertyOrThrow(member::PenWidth, integer(devicePixels));
}

QString EngineClient::documentTitle()
{
    return m_object->propertyOrThrow(member::DocumentTitle).toString();
}

void EngineClient::setFontPointSize(int points)
{
    m_object->setPropertyOrThrow(member::FontPointSize, integer(points));
}

void EngineClient::setGrayScaleMode(bool on)
{
    m_object->setPropertyOrThrow(member::GrayScaleMode, Variant(on));
}

void EngineClient::setDocumentTitle(const QString &title)
{
    m_object->setPropertyOrThrow(member::DocumentTitle, text(title));
}

void EngineClient::setJavaScriptEnabled(bool on)
{
    m_object->setPropertyOrThrow(member::JavaScriptEnabled, Variant(on));
}

void EngineClient::setJavaScriptDelay(int milliseconds)
{
    m_object->setPropertyOrThrow(member::JavaScriptDelay, integer(milliseconds));
}

void EngineClient::setLoadImages(bool on)
{
    m_object->setPropertyOrThrow(member::LoadImages, Variant(on));
}

void EngineClient::setRequestHeaders(const QString &lines)
{
    m_object->setPropertyOrThrow(member::RequestHeaders, text(lines));
}

void EngineClient::setOutlineDepth(int levels)
{
    m_object->setPropertyOrThrow(member::OutlineDepth, integer(levels));
}

// Methods.

void EngineClient::loadHtmlString(const QString &html)
{
    m_object->callOrThrow(member::LoadHTMLString, {text(html)});
}

void EngineClient::loadHtmlFile(const QString &path)
{
    m_object->callOrThrow(member::LoadHTMLFile, {text(path)});
}

void EngineClient::loadUrl(const QString &url)
{
    m_object->callOrThrow(member::LoadURL, {text(url)});
}

void EngineClient::convertPage(int page)
{
    m_object->callOrThrow(member::ConvertPage, {integer(page)});
}

void EngineClient::beginDoc()
{
    m_object->callOrThrow(member::BeginDoc);
}

void EngineClient::endDoc()
{
    m_object->callOrThrow(member::EndDoc);
}

void EngineClient::drawLine(int x1, int y1, int x2, int y2)
{
    m_object->callOrThrow(member::DrawLine, {integer(x1), integer(y1), integer(x2), integer(y2)});
}

void EngineClient::setCustomPaperSize(double width, double height)
{
    m_object->callOrThrow(member::SetCustomPaperSize, {Variant(width), Variant(height)});
}

void EngineClient::drawText(int x, int y, int width, int height, const QString &layout,
                            const QString &text, double sx, double sy, double angle)
{
    m_object->callOrThrow(member::DrawText,
                          {integer(x), integer(y), integer(width), integer(height), Variant(layout),
                           Variant(text), Variant(sx), Variant(sy), Variant(angle)});
}

int EngineClient::getTextHeight(const QString &text)
{
    const Variant height = m_object->callOrThrow(member::GetTextHeight, {Variant(text)});
    return height.toInt();
}

QString EngineClient::lastFailure()
{
    return m_object->callOrThrow(member::LastFailure, {}).toString();
}

void EngineClient::setMediaType(const QString &type)
{
    m_object->callOrThrow(member::SetMediaType, {text(type)});
}

} // namespace quirex::app
