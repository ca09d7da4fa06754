#include "workerprotocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quirex::app
{

namespace
{

// Every settings field by name: one table for both directions.
template <typename Visit> void visitSettings(ConversionSettings &s, Visit visit)
{
    visit("JpegQuality", s.JpegQuality);
    visit("Version", s.Version);
    visit("PaperSize", s.PaperSize);
    visit("Orientation", s.Orientation);
    visit("CustomPaperWidth", s.CustomPaperWidth);
    visit("CustomPaperHeight", s.CustomPaperHeight);
    visit("Author", s.Author);
    visit("Subject", s.Subject);
    visit("Title", s.Title);
    visit("Keywords", s.Keywords);
    visit("Encoding", s.Encoding);
    visit("PreserveLinks", s.PreserveLinks);
    visit("BaseURL", s.BaseURL);
    visit("ExcludeOrphanPages", s.ExcludeOrphanPages);
    visit("PageNumbers", s.PageNumbers);
    visit("PageNumberAlign", s.PageNumberAlign);
    visit("PageNumberFormat", s.PageNumberFormat);
    visit("MarginLeft", s.MarginLeft);
    visit("MarginRight", s.MarginRight);
    visit("MarginTop", s.MarginTop);
    visit("MarginBottom", s.MarginBottom);
    visit("PostEntireImages", s.PostEntireImages);
    visit("Zoom", s.Zoom);
    visit("PostEntireTables", s.PostEntireTables);
    visit("ScreenMedia", s.ScreenMedia);
}

void put(QJsonObject &object, const char *key, const QString &value)
{
    object.insert(QLatin1String(key), value);
}
void put(QJsonObject &object, const char *key, int value)
{
    object.insert(QLatin1String(key), value);
}
void put(QJsonObject &object, const char *key, bool value)
{
    object.insert(QLatin1String(key), value);
}

void take(const QJsonObject &object, const char *key, QString &value)
{
    const QJsonValue v = object.value(QLatin1String(key));
    if (v.isString())
        value = v.toString();
}
void take(const QJsonObject &object, const char *key, int &value)
{
    const QJsonValue v = object.value(QLatin1String(key));
    if (v.isDouble())
        value = v.toInt(value);
}
void take(const QJsonObject &object, const char *key, bool &value)
{
    const QJsonValue v = object.value(QLatin1String(key));
    if (v.isBool())
        value = v.toBool();
}

QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool objectOf(const QByteArray &line, const char *type, QJsonObject *object)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    *object = document.object();
    return object->value(QLatin1String("type")).toString() == QLatin1String(type);
}

} // namespace

QByteArray encodeRequest(const WorkerRequest &request)
{
    QJsonObject object;
    put(object, "type", QStringLiteral("convert"));
    put(object, "kind",
        request.kind == WorkerRequest::Kind::Url ? QStringLiteral("url") : QStringLiteral("file"));
    put(object, "input", request.input);
    put(object, "output", request.output);
    put(object, "target", request.target);
    put(object, "header", request.headerText);
    put(object, "footer", request.footerText);
    put(object, "tempFile", request.tempFileName);
    put(object, "extension", request.outputExtension);
    put(object, "swapExtension", request.swapExtension);
    put(object, "allToOne", request.allToOne);
    put(object, "first", request.firstFile);
    put(object, "last", request.lastFile);
    put(object, "messages", request.messages);
    QJsonObject settings;
    ConversionSettings copy = request.settings;
    visitSettings(copy, [&](const char *key, auto &value) { put(settings, key, value); });
    object.insert(QLatin1String("settings"), settings);
    return line(object);
}

bool decodeRequest(const QByteArray &text, WorkerRequest *request)
{
    QJsonObject object;
    if (!objectOf(text, "convert", &object))
        return false;
    WorkerRequest r;
    QString kind;
    take(object, "kind", kind);
    r.kind = kind == QLatin1String("url") ? WorkerRequest::Kind::Url : WorkerRequest::Kind::File;
    take(object, "input", r.input);
    take(object, "output", r.output);
    take(object, "target", r.target);
    take(object, "header", r.headerText);
    take(object, "footer", r.footerText);
    take(object, "tempFile", r.tempFileName);
    take(object, "extension", r.outputExtension);
    take(object, "swapExtension", r.swapExtension);
    take(object, "allToOne", r.allToOne);
    take(object, "first", r.firstFile);
    take(object, "last", r.lastFile);
    take(object, "messages", r.messages);
    const QJsonObject settings = object.value(QLatin1String("settings")).toObject();
    visitSettings(r.settings, [&](const char *key, auto &value) { take(settings, key, value); });
    *request = r;
    return true;
}

QByteArray encodeReply(const WorkerReply &reply)
{
    QJsonObject object;
    put(object, "type", QStringLiteral("done"));
    put(object, "result", reply.result);
    put(object, "reason", reply.reason);
    put(object, "pages", reply.pages);
    QJsonArray messages;
    for (const WorkerMessage &message : reply.messages) {
        QJsonObject m;
        put(m, "text", message.text);
        put(m, "title", message.title);
        put(m, "icon", int(message.icon));
        put(m, "yesNo", message.buttons == MessageButtons::YesNo);
        messages.append(m);
    }
    object.insert(QLatin1String("messages"), messages);
    return line(object);
}

bool decodeReply(const QByteArray &text, WorkerReply *reply)
{
    QJsonObject object;
    if (!objectOf(text, "done", &object) || !object.value(QLatin1String("result")).isDouble())
        return false;
    WorkerReply r;
    take(object, "result", r.result);
    take(object, "reason", r.reason);
    take(object, "pages", r.pages);
    for (const QJsonValue &value : object.value(QLatin1String("messages")).toArray()) {
        const QJsonObject m = value.toObject();
        WorkerMessage message;
        take(m, "text", message.text);
        take(m, "title", message.title);
        int icon = 0;
        take(m, "icon", icon);
        if (icon == int(MessageIcon::Warning) || icon == int(MessageIcon::Information))
            message.icon = MessageIcon(icon);
        bool yesNo = false;
        take(m, "yesNo", yesNo);
        message.buttons = yesNo ? MessageButtons::YesNo : MessageButtons::Ok;
        r.messages.append(message);
    }
    *reply = r;
    return true;
}

} // namespace quirex::app
