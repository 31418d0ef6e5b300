#include "storage/SettingsFile.h"

#include "app/AppInfo.h"
#include "storage/SafeWrite.h"

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
    QFile old(file);
    if (old.size() == text.size() && old.open(QIODevice::ReadOnly) && old.readAll() == text)
        return true;
    QDir().mkpath(QFileInfo(file).absolutePath());
    return files::saveFile(file, text, error, {});
}

} // namespace td::settingsfile
