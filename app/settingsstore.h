#pragma once

#include <QString>

namespace quirex::app
{

// The per-user settings file: FILE in the folder "Ardenwyke/PRODUCT" below the
// roaming application-data folder ($XDG_CONFIG_HOME, default ~/.config). A
// profile (INI) file; see platform/profile for its reading and writing rules.
class SettingsStore final
{
public:
    // Builds the path, making the roaming folder and the two folders below it
    // (mode 0700) when they are missing. When a folder cannot be made the path
    // is empty: reads then give their defaults and writes fail.
    SettingsStore(const QString &fileName, const QString &productFolder);

    QString path() const { return m_path; }

    // Replaces `value` with the key's integer (its leading digits; a text
    // without digits reads as 0); a missing key, an empty value or a missing
    // file keeps the current value. No range check is applied.
    void ReadInt(const QString &section, const QString &key, int &value) const;
    // Writes `value` in decimal. Returns whether the write succeeded.
    bool WriteInt(const QString &section, const QString &key, int value);

    // Sets `value` to true when the key's text is "true" (any letter case) or
    // "1", and to false for every other text, a missing key or a missing
    // file. Always returns true.
    bool ReadBool(const QString &section, const QString &key, bool &value) const;
    // Writes "true" or "false". Returns whether the write succeeded.
    bool WriteBool(const QString &section, const QString &key, bool value);

    // Sets `value` to the key's text (at most 4095 bytes of UTF-8; "" when
    // missing). Returns whether the result is non-empty.
    bool ReadString(const QString &section, const QString &key, QString &value) const;
    // Returns whether the write succeeded; a text with a line break is refused.
    bool WriteString(const QString &section, const QString &key, const QString &value);

private:
    Q_DISABLE_COPY(SettingsStore)
    QString m_path;
};

// The program's store: "settings.ini" in "Ardenwyke/Quirex Desk", the product
// folder being string 129. main() makes it once and hands it to the modes.
SettingsStore makeApplicationSettingsStore();

} // namespace quirex::app
