// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/RulesSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <sys/mount.h>
#include <sys/stat.h>
#include <time.h>

namespace {
// Removed at exit, so test runs leave nothing in the temporary folder.
std::unique_ptr<QTemporaryDir> homeDir;
} // namespace

namespace td::test {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

int modeOf(const QString& path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QDateTime at(const QString& s)
{
    return QDateTime::fromString(QString(s).replace(' ', 'T'), Qt::ISODateWithMs);
}

void prepareProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", "Europe/Berlin");
    tzset();
    homeDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/tidra-test-XXXXXX");
    const QString home = homeDir->path();
    for (const char* folder : {".config", ".local/share", "runtime"})
        QDir(home).mkpath(folder);
    QFile::setPermissions(home + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home + "/runtime").toLocal8Bit());
}

QString homePath()
{
    return homeDir ? homeDir->path() : QDir::homePath();
}

void clearUserData()
{
    const QString home = homePath();
    QDir(home + "/.config").removeRecursively();
    QDir(home + "/.Tidra").removeRecursively();
    QDir(home).mkpath(".config");
}

FullDisk::FullDisk(const QString& folder, int kib, int inodes) : m_folder(folder)
{
    QDir().mkpath(folder);
    QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0700";
    if (inodes > 0)
        options += ",nr_inodes=" + QByteArray::number(inodes);
    m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs",
                        MS_NOSUID | MS_NODEV, options.constData()) == 0;
}

FullDisk::~FullDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

void FullDisk::fill()
{
    QFile filler(m_folder + "/.filler");
    QVERIFY(filler.open(QIODevice::Append | QIODevice::Unbuffered));
    // Pages first, then the last few bytes the file system still takes.
    for (const int block : {4096, 1})
        while (filler.write(QByteArray(block, 'f')) == block) {
        }
}

void FullDisk::fillEntries()
{
    for (int n = 0; QFile(m_folder + "/.entry" + QString::number(n)).open(QIODevice::WriteOnly);
         ++n) {
    }
}

void FullDisk::free()
{
    QFile::remove(m_folder + "/.filler");
    for (const QString& entry : QDir(m_folder).entryList({".entry*"}, QDir::Files | QDir::Hidden))
        QFile::remove(m_folder + '/' + entry);
}

} // namespace td::test
