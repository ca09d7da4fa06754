#pragma once

#include "registrydata.h"

#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace quirex::platform
{

// The per-user registry: one file holding a tree of keys with named string and integer values
// (see RegistryData for keys, names and the file form).
//
// Reads take the file as it stands: a missing or empty file reads as empty; a damaged one (a line
// that is not of the file form or not UTF-8) gives every value of the lines that can be read, and
// the lines skipped go to the damage reporter. Every change is a transaction under an exclusive
// lock (flock on "<file>.lock"): the file is read again, the change applied, and the result
// written to a temporary file beside it and renamed over it (platform::AtomicFile), so a crash or
// a concurrent writer never leaves a torn file. A change to a damaged file first keeps a copy of
// it as "<file>.corrupt", then writes every value read from it with the change. The file is
// created with mode 0600, and its folder (mode 0700) when missing.
//
// Reads consult a read-only system layer after the user's file: a value or key the user's file
// lacks is taken from the system file, so the user's entries win. A system file that group or
// others may write is ignored, since anybody could otherwise choose what every user loads.
class Registry final
{
public:
    // $QUIREX_REGISTRY when set, else $XDG_CONFIG_HOME/Ardenwyke/registry.ini, with
    // XDG_CONFIG_HOME defaulting to ~/.config.
    static QString defaultPath();

    // Hears of the lines skipped in a damaged file (1-based), once per file and state of it in
    // this process. Called on the thread that read the file. None is set at first: the
    // registry never prints.
    using DamageReporter = std::function<void(const QString &path, const QVector<int> &lines)>;
    static void setDamageReporter(DamageReporter reporter);
    // The one-line notice of such damage: the file, the lines skipped, the copy kept.
    static QString damageNotice(const QString &path, const QVector<int> &lines);
    // A reporter for command-line tools: "PROGRAM: NOTICE" on stderr.
    static void reportDamageOnStandardError(const QString &program);

    // Ardenwyke/registry.ini in the first folder of $XDG_CONFIG_DIRS (default /etc/xdg) that
    // has one; when none has, that file in the first folder (where a system-wide registration
    // writes it).
    static QString systemPath();

    // `systemLayer` empty: no system layer.
    explicit Registry(const QString &path = defaultPath(),
                      const QString &systemLayer = systemPath());

    QString path() const { return m_path; }
    QString systemLayerPath() const { return m_systemLayer; }

    // The user's file alone (what a change starts from).
    RegistryData read() const;
    // The system layer alone; empty when there is none or it is ignored.
    RegistryData readSystemLayer() const;
    std::optional<RegistryValue> value(const QString &key, const QString &name) const;
    // The value as text (integers in decimal); `fallback` when the key or value is missing.
    QString stringValue(const QString &key, const QString &name,
                        const QString &fallback = QString()) const;
    bool keyExists(const QString &key) const;

    // Runs `change` on the current contents under the lock and stores the result. Returns false,
    // leaving the file as it was, when `change` returns false or the file exists but cannot be
    // read, or cannot be written.
    bool edit(const std::function<bool(RegistryData &)> &change);

    bool setValue(const QString &key, const QString &name, const RegistryValue &value);
    bool setString(const QString &key, const QString &name, const QString &text);
    bool setInteger(const QString &key, const QString &name, qint32 number);
    // False when the value or key did not exist (nothing is written then).
    bool removeValue(const QString &key, const QString &name);
    // Removes the key with its subkeys.
    bool removeKey(const QString &key);

private:
    QString m_path;
    QString m_systemLayer;
};

} // namespace quirex::platform
