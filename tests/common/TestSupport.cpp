#include "tests/common/TestSupport.h"

#include <QDir>
#include <QTimer>
#include <time.h>

namespace {
QTemporaryDir* homeDir = nullptr;
} // namespace

namespace td::test {

void isolateUserFolders()
{
    tzset();
    if (!homeDir)
        homeDir = new QTemporaryDir(QDir::tempPath() + "/tidra-test-XXXXXX");
    const QString home = homeDir->path();
    QDir(home).mkpath(".config");
    QDir(home).mkpath(".local/share");
    QDir(home).mkpath("runtime");
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

FakeSoundPlayer::FakeSoundPlayer()
{
    td::setSoundPlayer(this);
}

FakeSoundPlayer::~FakeSoundPlayer()
{
    td::setSoundPlayer(nullptr);
}

PromptRecorder::PromptRecorder()
{
    td::prompts::setMessageHandler(
        [this](QWidget*, td::prompts::Kind kind, const QString& title, const QString& text) {
            prompts << Prompt{kind, title, text};
        });
    // A file dialog answers as if cancelled.
    td::prompts::setOpenFileHandler(
        [](QWidget*, const QString&, const QString&, const QString&) { return QString(); });
}

PromptRecorder::~PromptRecorder()
{
    td::prompts::setMessageHandler({});
    td::prompts::setOpenFileHandler({});
}

QStringList PromptRecorder::titles() const
{
    QStringList out;
    for (const auto& p : prompts)
        out << p.title;
    return out;
}

void whenModal(std::function<void(QWidget*)> action, int timeoutMs)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<qint64>(0);
    // A dialog that never came must not be answered in a later test function by
    // a lambda whose captured locals are gone.
    const QByteArray owner =
        QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action, started, timeoutMs, owner]() {
        *started += 10;
        const QByteArray current =
            QByteArray(QTest::currentTestFunction()) + '/' + QTest::currentDataTag();
        if (current != owner) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(w);
        } else if (*started > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

QStringList rowsMatching(const QListWidget* list, const QStringList& expected)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows == expected ? rows : QStringList{"rows differ"};
}

} // namespace td::test
