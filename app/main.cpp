// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AlarmPopups.h"
#include "app/CommandLine.h"
#include "app/DesktopNotifier.h"
#include "app/DetachedStart.h"
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "app/Platform.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "common/AppInfo.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/Random.h"
#include "common/SoundPlayer.h"
#include "common/Translations.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

namespace {

namespace cli = td::cli;
namespace protocol = td::protocol;

/// At login the panel that hosts the tray may come up a moment after us.
constexpr int trayWaitMs = 15000;

bool waitForSystemTray()
{
    const QDeadlineTimer deadline(trayWaitMs);
    while (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (deadline.hasExpired() || td::ShutdownSignals::requested())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        QThread::msleep(100);
    }
    return true;
}

void setIdentity()
{
    QCoreApplication::setOrganizationName(td::info::organizationName);
    QCoreApplication::setOrganizationDomain(td::info::organizationDomain);
    QCoreApplication::setApplicationName(td::info::applicationName);
    QCoreApplication::setApplicationVersion(cli::versionText().section(' ', 1));
}

void print(FILE* stream, QString text)
{
    if (text.isEmpty())
        return;
    if (!text.endsWith('\n'))
        text += '\n';
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int report(const protocol::Reply& reply)
{
    print(stdout, reply.out);
    if (!reply.err.isEmpty())
        print(stderr, QStringLiteral("tidra: ") + reply.err);
    return reply.code;
}

/// Balloon alarms, and the copies of pop-ups the user asked for, go to the
/// desktop's notification service; balloons fall back to the tray's own.
void routeBalloons(td::MainSettingsDlg& window)
{
    auto* notifier = new td::DesktopNotifier(&window);
    auto stopSound = [](td::AlarmMsgDlg* alarm) {
        if (td::SoundPlayer* player = td::soundPlayer())
            player->stop(alarm);
    };
    // A balloon's repeating sound ends with its notification; a pop-up's with the pop-up.
    QObject::connect(notifier, &td::DesktopNotifier::closed, &window,
                     [stopSound](td::AlarmMsgDlg* alarm) {
                         if (alarm->isHidden())
                             stopSound(alarm);
                     });
    td::AlarmPopups::setBalloonHandler(
        [&window, notifier, stopSound](td::AlarmMsgDlg* alarm, const QString& title,
                                       const QString& text, int msecs, bool mirror) {
            const int seconds = td::appSettings ? td::appSettings->alarmDisplayTime : 10;
            std::function<void()> fallback;
            if (!mirror)
                fallback = [&window, target = QPointer<td::AlarmMsgDlg>(alarm), title, text, msecs,
                            seconds, stopSound]() {
                    window.trayIcon()->showMessage(title, text, QSystemTrayIcon::Warning, msecs);
                    if (target)
                        QTimer::singleShot(seconds * 1000, target.data(), [target, stopSound]() {
                            if (target)
                                stopSound(target);
                        });
                };
            // The body is the balloon's text: the message with the notes of the pop-up.
            notifier->notify(alarm, seconds, fallback, mirror ? QString() : text);
        });
}

QString noDisplayText()
{
    return QCoreApplication::translate(
        "main", "There is no display to show Tidra on: DISPLAY and WAYLAND_DISPLAY are not set.");
}

bool hasDisplay(const QStringList& arguments)
{
    return td::platform::hasDisplay(td::platform::SessionEnvironment::current(), arguments);
}

/// Hands the command to the Tidra that runs, without a window system: a
/// terminal without a display can ask for the list or set an alarm. A command
/// that needs Tidra starts it, detached, and returns with its answer.
int runCommand(const QStringList& arguments, const protocol::Request& request)
{
    td::SingleInstance instance(td::info::applicationName);
    protocol::Reply reply;
    // A sync waits for the server, which has a timeout of its own for each request.
    const int waitMs = request.command == protocol::command::sync ? 300 * 1000 : 10 * 1000;
    switch (instance.deliver(request, &reply, waitMs)) {
    case td::SingleInstance::Delivery::Answered:
        return report(reply);
    case td::SingleInstance::Delivery::Busy:
        return report(protocol::refused(QCoreApplication::translate(
            "main", "Tidra runs but did not answer in time; it may be busy. Try again.")));
    case td::SingleInstance::Delivery::NotRunning:
        break;
    }
    if (!cli::startsProgram(request.command))
        return report({protocol::NotRunning, QString(),
                       QCoreApplication::translate("main", "Tidra is not running.")});
    // What would be refused is refused before a whole program starts for it.
    if (request.command == protocol::command::alarm) {
        const cli::AlarmCommand c = cli::alarmCommand(request.args, td::now());
        if (!c.ok())
            return report(c.refusal);
    } else if (request.command == protocol::command::timer) {
        const cli::TimerCommand c = cli::timerCommand(request.args, td::now());
        if (!c.ok())
            return report(c.refusal);
    }
    if (!hasDisplay(arguments))
        return report({protocol::UsageError, QString(),
                       QCoreApplication::translate("main", "Tidra is not running.") + u' ' +
                           noDisplayText()});
    return report(td::startDetached(instance, arguments, request));
}

/// A plain start while Tidra runs brings its window forward and returns at
/// once; without a display, one line says why nothing starts. Neither needs
/// the window system, so both are settled before it is opened.
std::optional<int> settleWithoutWindows(const QStringList& arguments)
{
    td::SingleInstance instance(td::info::applicationName);
    protocol::Reply reply;
    if (instance.deliver({protocol::command::activate, {}}, &reply, 3000) ==
        td::SingleInstance::Delivery::Answered) {
        print(stdout, QCoreApplication::translate(
                          "main", "Tidra runs already; its window is brought forward."));
        return protocol::Done;
    }
    if (!hasDisplay(arguments)) {
        print(stderr, QStringLiteral("tidra: ") + noDisplayText());
        return protocol::UsageError;
    }
    return std::nullopt;
}

// While the window system is opened, the toolkit's complaints wait here: they
// are shown when it opens, and replaced by one line when it cannot.
QList<std::pair<QtMsgType, QString>> openingMessages;
QtMessageHandler defaultHandler = nullptr;

void whileOpening(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (openingMessages.size() < 100)
            openingMessages.append(
                {type, QString::fromUtf8(context.category) + QStringLiteral(": ") + message});
        return;
    }
    const QByteArray display =
        qgetenv("WAYLAND_DISPLAY").isEmpty() ? qgetenv("DISPLAY") : qgetenv("WAYLAND_DISPLAY");
    print(stderr, QStringLiteral("tidra: ") +
                      QCoreApplication::translate("main", "Cannot open the display \"%1\".")
                          .arg(QString::fromLocal8Bit(display)));
    std::_Exit(protocol::UsageError);
}

void openedWindowSystem()
{
    qInstallMessageHandler(defaultHandler);
    for (const auto& [type, text] : std::exchange(openingMessages, {}))
        if (type != QtDebugMsg)
            print(stderr, text);
}

/// The program itself: this start becomes the one instance, or hands over to
/// the one that runs.
int runProgram(int argc, char** argv, const cli::Invocation& invocation)
{
    td::ShutdownSignals::catchEarly();
    td::platform::chooseWindowSystem(argc, argv);
    td::chooseSoundBackend();
    // Timer windows repaint a digit or two at a time: through shared memory each
    // repaint waits for the X server, through the socket it does not, and the
    // program and the server both spend less (bench/README.md). The user's own
    // choice stands; programs started from here get the environment as it was.
    const bool shmChosen = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!shmChosen)
        qputenv("QT_XCB_NO_MITSHM", "1");
    defaultHandler = qInstallMessageHandler(whileOpening);
    QApplication app(argc, argv);
    openedWindowSystem();
    if (!shmChosen)
        qunsetenv("QT_XCB_NO_MITSHM");
    td::random().seed(0);
    setIdentity();
    td::installTranslations();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.morvane.Tidra"));
    td::ShutdownSignals::install();

    td::SingleInstance instance(td::info::applicationName);
    switch (instance.acquire()) {
    case td::SingleInstance::Outcome::Running: {
        // A start for a command lost the race to another start; that one answers it.
        if (invocation.detached)
            return 0;
        protocol::Reply reply;
        instance.send({protocol::command::activate, {}}, &reply);
        print(stdout, QApplication::translate(
                          "main", "Tidra runs already; its window is brought forward."));
        return 0;
    }
    case td::SingleInstance::Outcome::Failed:
        print(stderr, QStringLiteral("tidra: ") + instance.errorString());
        if (!td::ShutdownSignals::requested())
            td::prompts::critical(nullptr, td::info::applicationName,
                                  QApplication::translate("main", "Tidra cannot start: %1.")
                                      .arg(instance.errorString()));
        return 1;
    case td::SingleInstance::Outcome::Acquired:
        break;
    }

    if (!waitForSystemTray()) {
        if (td::ShutdownSignals::requested())
            return 0;
        const QString noTray = QApplication::translate(
            "main", "Application couldn't detect any system tray on this system.");
        // The command that started us learns why, before the box waits for the user.
        instance.setHandler(
            [noTray](const protocol::Request&) { return protocol::refused(noTray); });
        td::prompts::critical(nullptr, td::info::applicationName, noTray);
        return 1;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    td::installDefaultSoundPlayer();

    int exitCode = 0;
    {
        td::MainSettingsDlg window;
        instance.setHandler([&window](const protocol::Request& request) {
            return td::runInstanceCommand(window, request);
        });
        instance.setLaterHandler(
            [&window](const protocol::Request& request, const td::SingleInstance::Answer& answer) {
                return td::runLaterCommand(window, request, answer);
            });
        routeBalloons(window);
        window.trayIcon()->show();
        if (window.isVisible())
            window.activateWindow();
        // A signal during start-up (a message box ends when it comes) takes the
        // same way out as one that comes later.
        if (!td::ShutdownSignals::requested())
            exitCode = app.exec();
        td::AlarmPopups::setBalloonHandler({});
        // The window writes the event files and the settings as it goes; the
        // lock is released only after that, so a quick restart reads them whole.
    }
    instance.release();
    return exitCode;
}

/// Everything that needs no window system, in the user's language: --help,
/// --version, a wrong command line, a command for the Tidra that runs, and a
/// second start. Empty when this start is to become Tidra.
std::optional<int> runWithoutWindows(int argc, char** argv, cli::Invocation& invocation)
{
    QCoreApplication app(argc, argv);
    setIdentity();
    td::installTranslations();
    const QStringList arguments = cli::arguments(argc, argv);
    invocation = cli::parse(arguments);
    switch (invocation.mode) {
    case cli::Mode::Help:
        print(stdout, cli::helpText());
        return protocol::Done;
    case cli::Mode::Version:
        print(stdout, cli::versionText());
        return protocol::Done;
    case cli::Mode::Usage:
        print(stderr, QStringLiteral("tidra: ") + invocation.error + "\n\n" + cli::helpText());
        return protocol::UsageError;
    case cli::Mode::Command:
        return runCommand(arguments, invocation.request);
    case cli::Mode::Run:
        break;
    }
    if (invocation.detached)
        return std::nullopt;
    return settleWithoutWindows(arguments);
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything else: --help, --version and a wrong command line touch
    // no file, open no window and need no display.
    cli::Invocation invocation;
    if (const std::optional<int> code = runWithoutWindows(argc, argv, invocation))
        return *code;
    return runProgram(argc, argv, invocation);
}
