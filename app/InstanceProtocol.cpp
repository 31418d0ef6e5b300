// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceProtocol.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace td::protocol {

namespace {

const QString versionKey = QStringLiteral("tidra");

QString tr(const char* text)
{
    return QCoreApplication::translate("td::protocol", text); // lupdate's context for tr() here
}

struct Arity
{
    QString command;
    int least;
    int most;
};

const Arity arities[] = {
    {command::ping, 0, 0},         {command::activate, 0, 0},     {command::show, 1, 1},
    {command::newAlarm, 0, 0},     {command::newTimer, 0, 0},     {command::alarm, 1, 3},
    {command::timer, 1, 2},        {command::list, 0, 0},         {command::quit, 0, 0},
    {command::exportAlarms, 1, 1}, {command::importAlarms, 1, 1}, {command::sync, 0, 0},
};

QByteArray line(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

/// False, with the reason in `error`, for a message that is not one of ours.
bool notUnderstood(QString* error)
{
    *error = tr("The message is not one Tidra understands.");
    return false;
}

/// Reads the values of `fields` from one line; false, with the reason in
/// `error`, for a line that is no message of ours.
bool parseLine(QByteArray line, int limit, QString* error,
               std::initializer_list<std::pair<QString, QJsonValue*>> fields)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.size() > limit) {
        *error = tr("The message is too long.");
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return notUnderstood(error);
    const QJsonObject object = doc.object();
    const QJsonValue v = object.value(versionKey);
    if (!v.isDouble())
        return notUnderstood(error);
    if (v.toDouble() != version) {
        *error = tr("The message speaks version %1 of the protocol; this Tidra speaks version %2.")
                     .arg(v.toDouble())
                     .arg(version);
        return false;
    }
    for (const auto& [key, value] : fields)
        *value = object.value(key);
    return true;
}

} // namespace

QStringList pageNames()
{
    return {QStringLiteral("datetime"), QStringLiteral("alarms"),   QStringLiteral("timers"),
            QStringLiteral("work"),     QStringLiteral("settings"), QStringLiteral("about"),
            QStringLiteral("popups")};
}

Reply refused(const QString& reason)
{
    return Reply{Refused, QString(), reason};
}

QByteArray encode(const Request& request)
{
    return line({{versionKey, version},
                 {QStringLiteral("command"), request.command},
                 {QStringLiteral("args"), QJsonArray::fromStringList(request.args)}});
}

QByteArray encode(const Reply& reply)
{
    return line({{versionKey, version},
                 {QStringLiteral("code"), reply.code},
                 {QStringLiteral("out"), reply.out},
                 {QStringLiteral("err"), reply.err}});
}

bool decode(const QByteArray& line, Request* request, QString* error)
{
    QJsonValue command, args;
    if (!parseLine(line, maxRequestBytes, error,
                   {{QStringLiteral("command"), &command}, {QStringLiteral("args"), &args}}))
        return false;
    if (!command.isString() || !(args.isArray() || args.isUndefined()))
        return notUnderstood(error);
    Request r{command.toString(), {}};
    for (const QJsonValue& a : args.toArray()) {
        if (!a.isString())
            return notUnderstood(error);
        r.args << a.toString();
    }
    const QString problem = checkArguments(r);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    *request = r;
    return true;
}

bool decode(const QByteArray& line, Reply* reply, QString* error)
{
    QJsonValue code, out, err;
    if (!parseLine(line, maxReplyBytes, error,
                   {{QStringLiteral("code"), &code},
                    {QStringLiteral("out"), &out},
                    {QStringLiteral("err"), &err}}))
        return false;
    if (!code.isDouble() || !out.isString() || !err.isString() || code.toInt(-1) < 0 ||
        code.toInt(-1) > NotRunning)
        return notUnderstood(error);
    *reply = Reply{code.toInt(), out.toString(), err.toString()};
    return true;
}

QString checkArguments(const Request& request)
{
    for (const Arity& a : arities) {
        if (a.command != request.command)
            continue;
        const int n = int(request.args.size());
        if (n < a.least || n > a.most)
            return QCoreApplication::translate(
                       "td::protocol", "The command \"%1\" cannot take %n argument(s).", nullptr, n)
                .arg(request.command);
        if (a.command == command::show && !pageNames().contains(request.args.constFirst()))
            return tr("There is no page \"%1\"; the pages are %2.")
                .arg(request.args.constFirst(), pageNames().join(QStringLiteral(", ")));
        return QString();
    }
    return tr("Unknown command \"%1\".").arg(request.command.left(80));
}

} // namespace td::protocol
