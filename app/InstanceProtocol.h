// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// What a second start and the running Tidra say to each other over the
/// single-instance socket: one request line, one reply line, each a compact
/// JSON object that names the protocol version. Both sides read at most a
/// bounded number of bytes, so a stuck or hostile peer costs nothing.
namespace td::protocol {

inline constexpr int version = 1;
/// Room for a long alarm message; a command line cannot usefully be longer.
inline constexpr int maxRequestBytes = 64 * 1024;
/// Room for the list of tens of thousands of alarms.
inline constexpr int maxReplyBytes = 16 * 1024 * 1024;

/// The process exit codes of a command, also carried in its reply.
enum ExitCode { Done = 0, Refused = 1, UsageError = 2, NotRunning = 3 };

namespace command {
inline const QString ping = QStringLiteral("ping");
inline const QString activate = QStringLiteral("activate");
inline const QString show = QStringLiteral("show");
inline const QString newAlarm = QStringLiteral("new-alarm");
inline const QString newTimer = QStringLiteral("new-timer");
inline const QString alarm = QStringLiteral("alarm");
inline const QString timer = QStringLiteral("timer");
inline const QString list = QStringLiteral("list");
inline const QString quit = QStringLiteral("quit");
inline const QString exportAlarms = QStringLiteral("export");
inline const QString importAlarms = QStringLiteral("import");
inline const QString sync = QStringLiteral("sync");
} // namespace command

/// What `show` shows: the pages in the order of the main window's navigation
/// list, then "popups" (the newest alarm pop-up takes the keyboard).
QStringList pageNames();

struct Request
{
    QString command;
    QStringList args;

    bool operator==(const Request& o) const { return command == o.command && args == o.args; }
};

struct Reply
{
    int code = Done;
    QString out; ///< for standard output
    QString err; ///< for standard error: the reason of a refusal

    bool operator==(const Reply& o) const { return code == o.code && out == o.out && err == o.err; }
};

/// A refusal with its reason.
Reply refused(const QString& reason);

/// One line, ending in a newline.
QByteArray encode(const Request& request);
QByteArray encode(const Reply& reply);

/// Reads one request line (with or without its newline). On failure returns
/// false and says why in `error`: too long, not a request, another version,
/// an unknown command or the wrong number of arguments.
bool decode(const QByteArray& line, Request* request, QString* error);
bool decode(const QByteArray& line, Reply* reply, QString* error);

/// Empty when the command is known and has as many arguments as it takes,
/// otherwise the reason it is not.
QString checkArguments(const Request& request);

} // namespace td::protocol
