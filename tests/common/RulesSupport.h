// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of the pure rules need: no widgets, no window system.

#include "common/Translations.h"
#include "timers/TimerRecord.h"

#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <QtTest>

namespace td::test {

/// The temporary home of this test process.
QString homePath();
/// Wipe settings and data written by an earlier test function.
void clearUserData();

/// A small file system mounted over `folder` that can be filled to the last
/// byte. Mounting needs root; elsewhere mounted() is false and tests skip.
class FullDisk
{
public:
    /// `inodes` limits the files and links it holds (0: the system's default).
    explicit FullDisk(const QString& folder, int kib = 256, int inodes = 0);
    ~FullDisk();
    bool mounted() const { return m_mounted; }
    /// Takes all room that is left; free() gives it back.
    void fill();
    /// Takes every file entry that is left, so not even a link can be made.
    void fillEntries();
    void free();

private:
    QString m_folder;
    bool m_mounted = false;
};

#define TIDRA_NEED_FULL_DISK(disk)                                                                 \
    if (!(disk).mounted())                                                                         \
    QSKIP("a full disk needs root to mount a small tmpfs")

/// The program's settings store.
inline QSettings store()
{
    return QSettings("Morvane", "Tidra");
}
/// A file's bytes, or "<missing>".
QByteArray fileBytes(const QString& path);
/// The permission bits of `path` itself (a link is not followed); -1 when it is missing.
int modeOf(const QString& path);

/// "2026-06-10 10:15:42.250" in local time; seconds and milliseconds
/// optional; "" gives a null moment.
QDateTime at(const QString& s);

/// Sets the zone (Europe/Berlin unless TZ is set, so DST faults show) and the
/// offscreen platform (unless QT_QPA_PLATFORM is set), and points HOME and the XDG
/// folders at a fresh temporary folder; the TIDRA_*_MAIN macros call it first.
void prepareProcess();

} // namespace td::test

/// main() of a test with the application class App: English plural forms.
#define TIDRA_TEST_MAIN_WITH(App, TestObject)                                                      \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        td::test::prepareProcess();                                                                \
        App app(argc, argv);                                                                       \
        app.setApplicationName("Tidra");                                                           \
        app.setOrganizationName("Morvane");                                                        \
        td::installTranslations(QLocale::c());                                                     \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

/// main() for a test of the pure rules: a core application.
#define TIDRA_RULES_TEST_MAIN(TestObject) TIDRA_TEST_MAIN_WITH(QCoreApplication, TestObject)
