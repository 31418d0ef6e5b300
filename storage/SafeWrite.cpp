// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/SafeWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace td::files {

namespace {

constexpr QFileDevice::Permissions groupAndOthers =
    QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
    QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

#ifdef Q_OS_UNIX
QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

/// A device or file system that cannot sync has nothing to lose by it.
bool syncUnsupported(int code)
{
    return code == EINVAL || code == ENOTSUP || code == EROFS;
}
#endif

bool sameFile(const QString& a, const QString& b)
{
#ifdef Q_OS_UNIX
    struct stat sa, sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
#else
    Q_UNUSED(a);
    Q_UNUSED(b);
    return false;
#endif
}

/// A file made without hard links: copied in pieces, every write checked.
bool copyFile(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.setPermissions(in.permissions());
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError || !writeFully(out, QByteArray())) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

bool writeFully(QFileDevice& file, const QByteArray& bytes, QString* error)
{
    if (file.write(bytes) != bytes.size())
        return fail(error, file.errorString());
    // Qt keeps small writes in its buffer: a full disk only shows here, and
    // QSaveFile::commit() would rename a cut-off file into place regardless.
    if (!file.flush())
        return fail(error, file.errorString());
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    if (fd >= 0 && ::fsync(fd) != 0 && !syncUnsupported(errno))
        return fail(error, systemError(errno));
#endif
    return true;
}

bool saveFile(const QString& path, const QByteArray& bytes, QString* error,
              QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    if (permissions && !file.setPermissions(permissions))
        return fail(error, file.errorString());
    if (!writeFully(file, bytes, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail(error, file.errorString());
    if (!syncFolder(QFileInfo(path).absolutePath()))
        return fail(error, QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    return true;
}

bool syncFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES; // a folder we may write but not read: nothing to sync with
    const bool ok = ::fsync(fd) == 0 || syncUnsupported(errno);
    ::close(fd);
    return ok;
#else
    Q_UNUSED(folder);
    return true;
#endif
}

bool isStaleTemporary(const QString& fileName, const QString& name)
{
    // QSaveFile links its finished temporary file as "<name>.XXXXXX", six
    // random letters, just before the rename. Six letters that read like a
    // word ("backup", "BEFORE", "Broken") are more likely the user's own copy.
    if (fileName.size() != name.size() + 7 || !fileName.startsWith(name + u'.'))
        return false;
    const QStringView tail = QStringView(fileName).right(6);
    int upper = 0;
    for (const QChar c : tail) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            ++upper;
        else if (c.unicode() < 'a' || c.unicode() > 'z')
            return false;
    }
    const bool wordShaped = upper == 0 || upper == 6 || (upper == 1 && tail.at(0).unicode() <= 'Z');
    return !wordShaped;
}

int removeStaleTemporaries(const QString& folder, const QStringList& names)
{
    int removed = 0;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        for (const QString& name : names) {
            if (isStaleTemporary(entry.fileName(), name) && QFile::remove(entry.filePath())) {
                ++removed;
                break;
            }
        }
    }
    return removed;
}

void makePrivate(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.permissions() & groupAndOthers)
        QFile::setPermissions(folder, info.permissions() & ~groupAndOthers);
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isFile())
            continue;
        if (entry.permissions() & groupAndOthers)
            QFile::setPermissions(entry.filePath(), entry.permissions() & ~groupAndOthers);
    }
}

QString keepAside(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    for (int n = 1; n < 1000; ++n) {
        const QString copy = path + QStringLiteral(".bak") +
                             (n == 1 ? QString() : QLatin1Char('.') + QString::number(n));
        const QFileInfo existing(copy);
        if (existing.exists() || existing.isSymLink()) {
            if (sameFile(copy, path))
                return copy;
            continue;
        }
#ifdef Q_OS_UNIX
        // A second name for the same file: no room needed, and the save that
        // follows replaces only the first name.
        if (::link(QFile::encodeName(path).constData(), QFile::encodeName(copy).constData()) == 0) {
            return syncFolder(folder) ? copy : QString();
        }
#endif
        return copyFile(path, copy) && syncFolder(folder) ? copy : QString();
    }
    return QString();
}

} // namespace td::files
