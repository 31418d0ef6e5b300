// Placeholder until the application shell lands.
#include "app/AppSettings.h"

#include <QCoreApplication>
#include <QDir>

namespace td {

QString resolveSoundPath(const QString& stored)
{
    return QDir::fromNativeSeparators(
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(stored));
}

QString relativeSoundPath(const QString& chosen)
{
    return QDir::toNativeSeparators(chosen);
}

} // namespace td
