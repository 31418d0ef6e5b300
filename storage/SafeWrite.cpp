// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/SafeWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace td::files {

namespace {

/// Copies of a file read only in part: enough to go back a few starts, not
/// a folder that grows at every start.
constexpr int maxCopiesAside = 3;

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

/// The same file, or two files with the same bytes.
bool sameContent(const QString& a, const QString& b)
{
    if (sameFile(a, b))
        return true;
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    for (QByteArray chunk; !(chunk = fa.read(1 << 20)).isEmpty();)
        if (chunk != fb.read(chunk.size()))
            return false;
    return fa.atEnd() && fa.error() == QFileDevice::NoError && fb.error() == QFileDevice::NoError;
}

/// A second name for the file where the file system allows it, else a copy.
bool linkOrCopy(const QString& from, const QString& to)
{
#ifdef Q_OS_UNIX
    // No room needed, and the save that follows replaces only the first name.
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
#endif
    return copyFile(from, to);
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
    const QFileInfo file(path);
    if (!file.isFile())
        return QString();
    // Numbered by when they were kept: a new copy takes the next number, so
    // the lowest is the oldest whatever tools did to the files' times.
    const QRegularExpression copyName(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(file.fileName()) +
                                            QStringLiteral(R"(\.bak(?:\.([2-9]|[1-9]\d{1,8}))?)")));
    QMap<int, QString> copies; // number -> path
    int last = 0;
    const QFileInfoList entries =
        QDir(file.absolutePath())
            .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QRegularExpressionMatch match = copyName.match(entry.fileName());
        if (!match.hasMatch())
            continue;
        const int n = match.hasCaptured(1) ? match.captured(1).toInt() : 1;
        last = qMax(last, n);
        if (entry.isFile() && !entry.isSymLink())
            copies.insert(n, entry.filePath());
    }
    QString kept;
    for (const QString& copy : std::as_const(copies))
        if (sameContent(copy, path))
            kept = copy;
    if (kept.isEmpty()) {
        kept = path + QStringLiteral(".bak") +
               (last == 0 ? QString() : QLatin1Char('.') + QString::number(last + 1));
        if (!linkOrCopy(path, kept) || !syncFolder(file.absolutePath()))
            return QString();
    }
    // The newest others beside it, none the same as one that stays.
    QStringList staying{kept};
    QStringList newestFirst = copies.values();
    std::reverse(newestFirst.begin(), newestFirst.end());
    for (const QString& copy : std::as_const(newestFirst)) {
        if (copy == kept)
            continue;
        const bool twin = std::any_of(staying.cbegin(), staying.cend(),
                                      [&copy](const QString& s) { return sameContent(s, copy); });
        if (staying.size() < maxCopiesAside && !twin)
            staying << copy;
        else
            QFile::remove(copy);
    }
    return kept;
}

} // namespace td::files
