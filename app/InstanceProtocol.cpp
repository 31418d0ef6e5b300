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
    {command::ping, 0, 0},     {command::activate, 0, 0}, {command::show, 1, 1},
    {command::newAlarm, 0, 0}, {command::newTimer, 0, 0}, {command::alarm, 1, 3},
    {command::timer, 1, 2},    {command::list, 0, 0},     {command::quit, 0, 0},
};

QByteArray line(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

/// The object of one line, or an empty object with the reason in `error`.
QJsonObject parseLine(QByteArray line, int limit, QString* error)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.size() > limit) {
        *error = tr("The message is too long.");
        return {};
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        *error = tr("The message is not one Tidra understands.");
        return {};
    }
    const QJsonObject object = doc.object();
    const QJsonValue v = object.value(versionKey);
    if (!v.isDouble()) {
        *error = tr("The message is not one Tidra understands.");
        return {};
    }
    if (v.toDouble() != version) {
        *error = tr("The message speaks version %1 of the protocol; this Tidra speaks version %2.")
                     .arg(v.toDouble())
                     .arg(version);
        return {};
    }
    return object;
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
    const QJsonObject object = parseLine(line, maxRequestBytes, error);
    if (object.isEmpty())
        return false;
    const QJsonValue command = object.value(QStringLiteral("command"));
    const QJsonValue args = object.value(QStringLiteral("args"));
    if (!command.isString() || !(args.isArray() || args.isUndefined())) {
        *error = tr("The message is not one Tidra understands.");
        return false;
    }
    Request r{command.toString(), {}};
    for (const QJsonValue& a : args.toArray()) {
        if (!a.isString()) {
            *error = tr("The message is not one Tidra understands.");
            return false;
        }
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
    const QJsonObject object = parseLine(line, maxReplyBytes, error);
    if (object.isEmpty())
        return false;
    const QJsonValue code = object.value(QStringLiteral("code"));
    const QJsonValue out = object.value(QStringLiteral("out"));
    const QJsonValue err = object.value(QStringLiteral("err"));
    if (!code.isDouble() || !out.isString() || !err.isString() || code.toInt(-1) < 0 ||
        code.toInt(-1) > NotRunning) {
        *error = tr("The message is not one Tidra understands.");
        return false;
    }
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
