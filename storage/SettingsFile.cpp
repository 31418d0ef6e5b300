// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/SettingsFile.h"

#include "common/AppInfo.h"
#include "common/Prompts.h"
#include "common/SettingsTable.h"
#include "storage/Autostart.h"
#include "storage/SafeWrite.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace td::settingsfile {

QString path()
{
#ifdef Q_OS_WIN
    return QString();
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QLatin1String(info::organizationName) + QLatin1Char('/') +
           QLatin1String(info::applicationName) + QStringLiteral(".conf");
#endif
}

Check prepare()
{
    Check check;
    const QString file = path();
    if (file.isEmpty())
        return check;
    const QFileInfo info(file);
    files::removeStaleTemporaries(info.absolutePath(), {info.fileName()});
    if (info.size() <= maxBytes)
        return check;
    // QSettings would parse all of it, taking twice its size in memory.
    check.oversize = true;
    const QString bad = file + QStringLiteral(".bad");
    QFile::remove(bad);
    // QDir::rename never falls back to copying gigabytes.
    if (QDir().rename(file, bad)) {
        files::syncFolder(info.absolutePath());
        check.movedTo = bad;
    }
    return check;
}

bool writtenWhole(const QByteArray& text, int keys)
{
    if (keys == 0)
        return true;
    if (!text.endsWith('\n'))
        return false;
    // Qt writes one line per key; a cut-off file lacks at least the last one.
    int lines = 0;
    for (const QByteArray& line : text.split('\n'))
        lines += !line.startsWith('[') && line.contains('=');
    return lines == keys;
}

bool write(const QList<QPair<QString, QVariant>>& values, QString* error)
{
    const QString file = path();
    if (file.isEmpty()) {
        QSettings store(info::organizationName, info::applicationName);
        for (const auto& [key, value] : values)
            store.setValue(key, value);
        store.sync();
        if (store.status() == QSettings::NoError)
            return true;
        if (error)
            *error = QStringLiteral("the settings store refused the values");
        return false;
    }
    // Qt writes its files through QSaveFile, which renames a file cut short by
    // a full disk into place: Qt writes a staging copy, which is checked, and
    // only then is it put in place, every write checked.
    QTemporaryDir stage;
    if (!stage.isValid()) {
        if (error)
            *error = stage.errorString();
        return false;
    }
    const QString staged = stage.filePath(QStringLiteral("settings.conf"));
    int keys = 0;
    bool written = false;
    {
        QSettings out(staged, QSettings::IniFormat);
        if (QFileInfo(file).size() <= maxBytes) {
            const QSettings current(file, QSettings::IniFormat);
            for (const QString& key : current.allKeys())
                out.setValue(key, current.value(key));
        }
        for (const auto& [key, value] : values)
            out.setValue(key, value);
        out.sync();
        written = out.status() == QSettings::NoError;
        keys = int(out.allKeys().size());
    }
    QFile in(staged);
    const QByteArray text = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    if (!written || !writtenWhole(text, keys)) {
        if (error)
            *error = QStringLiteral("the settings could not be written whole to %1")
                         .arg(QDir::toNativeSeparators(QDir::tempPath()));
        return false;
    }
    // The settings name the user's files and habits: theirs alone to read,
    // also when an older file was left open to others.
    const QFileDevice::Permissions own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile old(file);
    if (old.size() == text.size() && old.open(QIODevice::ReadOnly) && old.readAll() == text) {
        old.setPermissions(own); // where the file system keeps no modes, nothing to do
        return true;
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    return files::saveFile(file, text, error, own);
}

} // namespace td::settingsfile

namespace td {

namespace {

using settings::Entry;
using settings::Kind;

const QString timeFormat = QStringLiteral("h:mm");

/// The default skin: the first plug-in's name, when that plug-in is a font.
bool fontDefault(const QList<QObject*>& plugins, QString* name)
{
    FontPluginInterface* font = plugins.isEmpty() ? nullptr : fontInterface(plugins.first());
    if (font && name)
        *name = font->name();
    return font != nullptr;
}

/// A stored value converted by the framework's rules: a non-number gives 0,
/// a text that is no "h:mm" time gives a null time.
QVariant fromStore(Kind kind, const QVariant& stored)
{
    switch (kind) {
    case Kind::Int:
        return stored.toInt();
    case Kind::Bool:
        return stored.toBool();
    case Kind::Time:
        return QTime::fromString(stored.toString().trimmed(), timeFormat);
    case Kind::String:
        // A hand-written value with commas and no quotes reads as a list.
        if (stored.typeId() == QMetaType::QStringList)
            return stored.toStringList().join(QStringLiteral(", "));
        break;
    case Kind::Skin:
    case Kind::Autostart:
        break;
    }
    return stored.toString();
}

QVariant toStore(Kind kind, const QVariant& value)
{
    return kind == Kind::Time ? QVariant(value.toTime().toString(timeFormat)) : value;
}

} // namespace

AppSettings defaultSettings(const QList<QObject*>& fontPlugins)
{
    AppSettings s;
    for (const Entry& e : settings::table()) {
        if (e.kind == Kind::Skin) {
            QString name;
            if (fontDefault(fontPlugins, &name))
                e.set(s, name);
        } else {
            e.set(s, e.defaultValue);
        }
    }
    return s;
}

void loadSettings(AppSettings& s, const QList<QObject*>& fontPlugins)
{
    const settingsfile::Check check = settingsfile::prepare();
#ifndef Q_OS_WIN
    const QFileInfo entry(Autostart::entryPath());
    files::removeStaleTemporaries(entry.absolutePath(), {entry.fileName()});
#endif
    if (check.oversize) {
        const QString file = QDir::toNativeSeparators(settingsfile::path());
        prompts::notice(check.movedTo.isEmpty()
                            ? QCoreApplication::translate(
                                  "AppSettings", "The settings file %1 is too large to be Tidra's. "
                                                 "Tidra starts with the default settings.")
                                  .arg(file)
                            : QCoreApplication::translate(
                                  "AppSettings", "The settings file %1 is too large to be Tidra's. "
                                                 "It was moved aside as %2, and Tidra starts with "
                                                 "the default settings.")
                                  .arg(file, QDir::toNativeSeparators(check.movedTo)));
        const QList<HolidayRecord> holidays = s.holidays;
        s = defaultSettings(fontPlugins);
        s.holidays = holidays;
        s.startWithOS = Autostart::exists();
        return;
    }
    QSettings store(info::organizationName, info::applicationName);
    for (const Entry& e : settings::table()) {
        switch (e.kind) {
        case Kind::Autostart:
            e.set(s, Autostart::exists());
            break;
        case Kind::Skin: {
            // A stored choice stays while its skin is missing (no skins folder
            // for one start, a skin that fails to load): drawing falls back to
            // the first skin, and the choice counts again once the skin is back.
            QString name = store.value(e.key).toString();
            if (name.isEmpty())
                fontDefault(fontPlugins, &name);
            e.set(s, name);
            break;
        }
        default:
            e.set(s, fromStore(e.kind, store.value(e.key, toStore(e.kind, e.defaultValue))));
            break;
        }
    }
}

void saveSettings(const AppSettings& s)
{
    QList<QPair<QString, QVariant>> values;
    for (const Entry& e : settings::table())
        if (e.kind != Kind::Autostart)
            values.append({e.key, toStore(e.kind, e.get(s))});
    QString error;
    if (!settingsfile::write(values, &error))
        qWarning().noquote() << "Tidra could not save the settings:" << error;
    if (s.startWithOS)
        Autostart::write(QCoreApplication::applicationFilePath());
    else
        Autostart::remove();
}

} // namespace td
