#include "settingsio.h"

#include "conversionsettings.h"
#include "settingsstore.h"
#include "userfolders.h"

#include <QFileInfo>

namespace quirex::app
{

namespace
{

// A switch that is on until the user stores it: a missing key or an empty
// value keeps the built-in default, anything stored reads as ReadBool reads it.
void readStoredSwitch(const SettingsStore &store, const QString &section, const QString &key,
                      bool &value)
{
    QString text;
    if (store.ReadString(section, key, text))
        store.ReadBool(section, key, value);
}

} // namespace

bool LoadSettings(ConversionSettings &s, const SettingsStore &store)
{
    const QString section = QLatin1String(SettingsSection);
    store.ReadInt(section, QStringLiteral("Version"), s.Version);
    store.ReadInt(section, QStringLiteral("MarginLeft"), s.MarginLeft);
    store.ReadInt(section, QStringLiteral("MarginRight"), s.MarginRight);
    store.ReadInt(section, QStringLiteral("MarginTop"), s.MarginTop);
    store.ReadInt(section, QStringLiteral("MarginBottom"), s.MarginBottom);
    readStoredSwitch(store, section, QStringLiteral("PostEntireImages"), s.PostEntireImages);
    readStoredSwitch(store, section, QStringLiteral("PostEntireTables"), s.PostEntireTables);
    store.ReadInt(section, QStringLiteral("Encoding"), s.Encoding);
    store.ReadBool(section, QStringLiteral("PageNumbers"), s.PageNumbers);
    store.ReadBool(section, QStringLiteral("PreserveLinks"), s.PreserveLinks);
    store.ReadBool(section, QStringLiteral("ExcludeOrphanPages"), s.ExcludeOrphanPages);
    store.ReadInt(section, QStringLiteral("PaperSize"), s.PaperSize);
    store.ReadInt(section, QStringLiteral("Orientation"), s.Orientation);
    store.ReadInt(section, QStringLiteral("Zoom"), s.Zoom);
    store.ReadBool(section, QStringLiteral("ScreenMedia"), s.ScreenMedia);
    return true;
}

bool SaveSettings(const ConversionSettings &s, SettingsStore &store)
{
    const QString section = QLatin1String(SettingsSection);
    store.WriteInt(section, QStringLiteral("Version"), s.Version);
    store.WriteInt(section, QStringLiteral("MarginLeft"), s.MarginLeft);
    store.WriteInt(section, QStringLiteral("MarginRight"), s.MarginRight);
    store.WriteInt(section, QStringLiteral("MarginTop"), s.MarginTop);
    store.WriteInt(section, QStringLiteral("MarginBottom"), s.MarginBottom);
    store.WriteBool(section, QStringLiteral("PostEntireImages"), s.PostEntireImages);
    store.WriteBool(section, QStringLiteral("PostEntireTables"), s.PostEntireTables);
    store.WriteInt(section, QStringLiteral("Encoding"), s.Encoding);
    store.WriteBool(section, QStringLiteral("PreserveLinks"), s.PreserveLinks);
    store.WriteBool(section, QStringLiteral("ExcludeOrphanPages"), s.ExcludeOrphanPages);
    store.WriteBool(section, QStringLiteral("PageNumbers"), s.PageNumbers);
    store.WriteInt(section, QStringLiteral("PaperSize"), s.PaperSize);
    store.WriteInt(section, QStringLiteral("Orientation"), s.Orientation);
    store.WriteInt(section, QStringLiteral("Zoom"), s.Zoom);
    store.WriteBool(section, QStringLiteral("ScreenMedia"), s.ScreenMedia);
    return true;
}

QString ReadFolderSetting(const SettingsStore &store, const QString &key)
{
    QString folder;
    if (store.ReadString(QLatin1String(MainSection), key, folder) && QFileInfo(folder).isDir())
        return folder;
    return platform::documentsFolder();
}

} // namespace quirex::app
