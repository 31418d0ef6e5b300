// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Spans.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <limits>

namespace td::spans {

qint64 sumUnits(const QRegularExpressionMatch& m, std::initializer_list<qint64> unitSecs)
{
    if (!m.hasMatch())
        return -1;
    qint64 total = 0;
    bool any = false;
    int group = 1;
    for (qint64 unit : unitSecs) {
        const QString digits = m.captured(group++);
        if (digits.isEmpty())
            continue;
        any = true;
        // Beyond twelve digits no sum fits; far past any limit anyway.
        if (digits.size() > 12)
            return std::numeric_limits<qint64>::max();
        total += digits.toLongLong() * unit;
    }
    return any ? total : -1;
}

qint64 parse(const QString& text)
{
    static const QRegularExpression span(
        QStringLiteral("^(?:(\\d{1,4})w)?(?:(\\d{1,5})d)?(?:(\\d{1,7})h)?(?:(\\d{1,9})m(?:in)?)?(?:"
                       "(\\d{1,9})s)?$"));
    return sumUnits(span.match(text.trimmed().toLower()), {7 * 86400, 86400, 3600, 60, 1});
}

QList<qint64> parseList(const QString& text, QStringList* bad)
{
    QList<qint64> out;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qint64 secs = parse(part);
        if (secs <= 0 || secs > std::numeric_limits<int>::max()) {
            if (bad)
                *bad << part.trimmed();
        } else if (!out.contains(secs) && out.size() < maxChoices) {
            out << secs;
        }
    }
    return out;
}

QString label(qint64 secs)
{
    static const struct
    {
        qint64 secs;
        const char* text;
    } units[] = {{7 * 86400, QT_TRANSLATE_N_NOOP("td::spans", "%n Week(s)")},
                 {86400, QT_TRANSLATE_N_NOOP("td::spans", "%n Day(s)")},
                 {3600, QT_TRANSLATE_N_NOOP("td::spans", "%n Hour(s)")},
                 {60, QT_TRANSLATE_N_NOOP("td::spans", "%n Minute(s)")},
                 {1, QT_TRANSLATE_N_NOOP("td::spans", "%n Second(s)")}};
    QStringList parts;
    for (const auto& unit : units) {
        const qint64 n = secs / unit.secs;
        secs %= unit.secs;
        if (n > 0)
            parts << QCoreApplication::translate("td::spans", unit.text, nullptr, int(n));
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace td::spans
