// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/Autostart.h"

#include "common/AppInfo.h"
#include "storage/SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

namespace td {

#ifdef Q_OS_WIN

namespace {
const char* runKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
} // namespace

QString Autostart::entryPath()
{
    return QString::fromLatin1(runKey) + '\\' + info::applicationName;
}

bool Autostart::exists()
{
    return QSettings(runKey, QSettings::NativeFormat).contains(info::applicationName);
}

bool Autostart::write(const QString& executablePath)
{
    QSettings run(runKey, QSettings::NativeFormat);
    run.setValue(info::applicationName, QDir::toNativeSeparators(executablePath));
    run.sync();
    return run.status() == QSettings::NoError;
}

bool Autostart::remove()
{
    QSettings run(runKey, QSettings::NativeFormat);
    run.remove(info::applicationName);
    run.sync();
    return !run.contains(info::applicationName);
}

#else

QString Autostart::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/autostart/" +
           info::applicationName + ".desktop";
}

bool Autostart::exists()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // Desktops switch an entry off instead of deleting it.
    bool inMainGroup = false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Hidden") && value == QLatin1String("true"))
            return false;
        if (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false"))
            return false;
    }
    return true;
}

bool Autostart::write(const QString& executablePath)
{
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // Like the desktop's own entries, a new one takes the umask.
    return files::saveFile(path, desktopEntry(executablePath).toUtf8(), nullptr, {});
}

bool Autostart::remove()
{
    QFile file(entryPath());
    return !file.exists() || file.remove();
}

#endif

QString Autostart::quoteExecArgument(const QString& argument)
{
    // Quoting rule first: inside double quotes, " ` $ and \ take a backslash.
    QString quoted;
    for (const QChar c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    // The value is a string too, and string escapes are undone before the
    // quoting rule, so every backslash is doubled once more; a percent sign
    // would start a field code.
    QString escaped;
    for (const QChar c : quoted) {
        if (c == '\\')
            escaped += QLatin1String("\\\\");
        else if (c == '\n')
            escaped += QLatin1String("\\n");
        else if (c == '\t')
            escaped += QLatin1String("\\t");
        else if (c == '\r')
            escaped += QLatin1String("\\r");
        else if (c == '%')
            escaped += QLatin1String("%%");
        else
            escaped += c;
    }
    return '"' + escaped + '"';
}

QString Autostart::desktopEntry(const QString& executablePath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Comment=Alarms, timers and work-schedule countdowns in the system tray\n"
                          "Exec=%2\n"
                          "Icon=org.morvane.Tidra\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(info::applicationName, quoteExecArgument(QDir::toNativeSeparators(executablePath)));
}

} // namespace td
