#pragma once

#include "app/Prompts.h"
#include "app/SoundPlayer.h"
#include "app/Translations.h"
#include "timers/TimerRecord.h"

#include <QApplication>
#include <QHash>
#include <QList>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

namespace td::test {

/// Points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR at a fresh
/// temporary folder, so no test touches the real user's files. Call before the
/// application object exists (the TIDRA_TEST_MAIN macros do).
void isolateUserFolders();
/// The temporary home of this test process.
QString homePath();
/// Wipe settings and data written by an earlier test function.
void clearUserData();

/// Records what would have played; a probe answers from `problems`.
class FakeSoundPlayer : public td::SoundPlayer
{
public:
    FakeSoundPlayer();
    ~FakeSoundPlayer() override;
    void probe(const QString& fullPath, QObject*, std::function<void(const QString&)> done) override
    {
        probed << fullPath;
        done(problems.value(fullPath));
    }
    QStringList played;
    QList<QObject*> repeating; ///< owners whose sound plays on
    QStringList probed;
    QHash<QString, QString> problems;

protected:
    void start(const QString& fullPath, QObject* owner) override
    {
        played << fullPath;
        if (owner)
            repeating << owner;
    }
    void halt(QObject* owner) override { repeating.removeAll(owner); }
};

/// Records every message box, question and notice, answers every question
/// with `answer` and cancels every file dialog, without a nested event loop.
class PromptRecorder
{
public:
    struct Prompt
    {
        td::prompts::Kind kind;
        QString title;
        QString text;
    };
    PromptRecorder();
    ~PromptRecorder();
    QList<Prompt> prompts;
    QStringList questions;
    bool answer = false;
    QStringList notices;
    QStringList titles() const;
};

/// A small file system mounted over `folder` that can be filled to the last
/// byte. Mounting needs root; elsewhere mounted() is false and tests skip.
class FullDisk
{
public:
    explicit FullDisk(const QString& folder, int kib = 256);
    ~FullDisk();
    bool mounted() const { return m_mounted; }
    /// Takes all room that is left; free() gives it back.
    void fill();
    void free();

private:
    QString m_folder;
    bool m_mounted = false;
};

#define TIDRA_NEED_FULL_DISK(disk)                                                                 \
    if (!(disk).mounted())                                                                         \
    QSKIP("a full disk needs root to mount a small tmpfs")

/// A TimeParts from its six counts (-1: not shown).
inline td::TimeParts timeParts(qint64 w, qint64 d, qint64 h, qint64 m, qint64 s, qint64 hs,
                               bool captions = false)
{
    return td::TimeParts{w, d, h, m, s, hs, captions};
}

/// Run `action` on the active modal widget as soon as the event loop spins,
/// e.g. before calling a slot that exec()s a dialog.
void whenModal(std::function<void(QWidget*)> action, int timeoutMs = 3000);

/// A list's row texts when they match `expected` one for one (the objects the
/// rows stand for), otherwise a single "rows differ".
QStringList rowsMatching(const QListWidget* list, const QStringList& expected);

/// What keeps `window`, as it is shown now, from being used by keyboard alone:
/// a mnemonic used twice, a labelled field or text button without one, an
/// input no label leads to (unless it follows a reachable one on its row, or
/// is one of `followers`, reached by Tab from the one before), a Tab order
/// that goes back up or left within `ordered` (default the window) other than
/// to the top of a column further right, or a dialog button that is not at
/// the end of the Tab order.
QStringList keyboardProblems(QWidget* window, QWidget* ordered = nullptr,
                             const QStringList& followers = {});

} // namespace td::test

#define TIDRA_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("TZ"))                                                     \
            qputenv("TZ", "Europe/Berlin");                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        td::test::isolateUserFolders();                                                            \
        QApplication app(argc, argv);                                                              \
        app.setApplicationName("Tidra");                                                           \
        app.setOrganizationName("Morvane");                                                        \
        td::installTranslations(QLocale::c()); /* English plural forms */                          \
        QTEST_DISABLE_KEYPAD_NAVIGATION                                                            \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
