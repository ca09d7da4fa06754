#pragma once

#include <QString>

namespace quirex::app
{

class SettingsStore;
struct ConversionSettings;

// Section and keys of the settings file.
constexpr char SettingsSection[] = "Settings";
constexpr char MainSection[] = "Main";

// Reads section "Settings" into `settings`: integers keep their value when
// their key is missing, booleans become false (SettingsStore::ReadBool).
// Fields that the file does not hold are left alone. Returns true.
bool LoadSettings(ConversionSettings &settings, const SettingsStore &store);

// Writes section "Settings" from `settings`. The results of the single writes
// are not examined; returns true.
bool SaveSettings(const ConversionSettings &settings, SettingsStore &store);

// A folder setting of section "Main" ("SaveFolder", "LastOpenFolder"): the
// stored folder when it exists, else the user's Documents folder.
QString ReadFolderSetting(const SettingsStore &store, const QString &key);

} // namespace quirex::app
