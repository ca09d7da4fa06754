#include "settingsstore.h"

#include "profilefile.h"
#include "stringids.h"
#include "stringtable.h"
#include "userfolders.h"

namespace quirex::app
{

namespace
{
constexpr char kMakerFolder[] = "Ardenwyke";
constexpr int kStringBufferBytes = 4096;
} // namespace

SettingsStore::SettingsStore(const QString &fileName, const QString &productFolder)
{
    const QString roaming = platform::roamingAppDataFolder(true);
    if (roaming.isEmpty())
        return;
    const QString maker = roaming + QLatin1Char('/') + QLatin1String(kMakerFolder);
    const QString product = maker + QLatin1Char('/') + productFolder;
    if (!platform::makePrivateFolders(maker) || !platform::makePrivateFolders(product))
        return;
    m_path = product + QLatin1Char('/') + fileName;
}

void SettingsStore::ReadInt(const QString &section, const QString &key, int &value) const
{
    value = platform::readProfileInt(m_path, section, key, value);
}

bool SettingsStore::WriteInt(const QString &section, const QString &key, int value)
{
    return platform::writeProfileString(m_path, section, key, QString::number(value));
}

bool SettingsStore::ReadBool(const QString &section, const QString &key, bool &value) const
{
    const QString text =
        platform::readProfileString(m_path, section, key, QString(), kStringBufferBytes).toLower();
    value = text == QLatin1String("true") || text == QLatin1String("1");
    return true;
}

bool SettingsStore::WriteBool(const QString &section, const QString &key, bool value)
{
    return platform::writeProfileString(m_path, section, key,
                                        value ? QStringLiteral("true") : QStringLiteral("false"));
}

bool SettingsStore::ReadString(const QString &section, const QString &key, QString &value) const
{
    value = platform::readProfileString(m_path, section, key, QString(), kStringBufferBytes);
    return !value.isEmpty();
}

bool SettingsStore::WriteString(const QString &section, const QString &key, const QString &value)
{
    return platform::writeProfileString(m_path, section, key, value);
}

SettingsStore makeApplicationSettingsStore()
{
    return SettingsStore(QStringLiteral("settings.ini"), loadText(strings::ProductName));
}

} // namespace quirex::app
