// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmRecord.h"
#include "alarms/PopupRules.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/RulesSupport.h"

#include <QLocale>

using td::test::addRows;
using td::test::alarm;
using td::test::at;

namespace {

QString str(const QDateTime& t)
{
    return t.isValid() ? t.toString("yyyy-MM-dd HH:mm") : QString();
}

// "x y" is a 300 x 200 pop-up, "x y w h" any; "full" the 3 x 3 that fill a 1000 x 600 desktop.
QList<QRect> rects(const QString& s)
{
    QList<QRect> all;
    for (const QString& r : s.split(';', Qt::SkipEmptyParts)) {
        if (r.trimmed() == "full")
            all << rects("700 400;700 200;700 0;400 400;400 200;400 0;100 400;100 200;100 0");
        const QList<int> n = td::test::ints(r);
        if (n.size() >= 2)
            all << QRect(n[0], n[1], n.value(2, 300), n.value(3, 200));
    }
    return all;
}

} // namespace

class TestAlarmRecord : public QObject
{
    Q_OBJECT
private slots:
    // alarm | now | next | last | the alarm moved on to next ("off": spent). Berlin changes its
    // clocks on 31 March and 27 October 2024: elapsed seconds for small units, calendar days for
    // large ones. 1 May 2024 is a Wednesday.
    void occurrences_data()
    {
        addRows(R"(
once, past                  | A 2024-05-06 08:00              | 2024-06-01 00:00 | 2024-05-06 08:00 | 2024-05-06 08:00 | off
disabled                    | A 2024-05-06 08:00 every 1 h off | 2024-05-06 07:00 |                  |                  | off
hourly, now equals base     | A 2024-05-06 08:00 every 1 h    | 2024-05-06 08:00 | 2024-05-06 09:00 | 2024-05-06 08:00 | 2024-05-06 09:00
daily, now on an occurrence | A 2024-05-06 08:00 every 1 d    | 2024-05-09 08:00 | 2024-05-10 08:00 | 2024-05-09 08:00 | 2024-05-10 08:00
30 minutes over spring gap  | A 2024-03-31 01:30 every 30 min | 2024-03-31 01:45 | 2024-03-31 03:00 | 2024-03-31 01:30 | 2024-03-31 03:00
daily into the spring gap   | A 2024-03-30 02:30 every 1 d    | 2024-03-30 03:00 | 2024-03-31 03:30 | 2024-03-30 02:30 | 2024-03-31 02:30
daily across autumn         | A 2024-10-26 08:00 every 1 d    | 2024-10-26 09:00 | 2024-10-27 08:00 | 2024-10-26 08:00 | 2024-10-27 08:00
month end carried on        | A 2024-01-31 09:00 every 1 mo   | 2024-03-01 00:00 | 2024-03-29 09:00 | 2024-02-29 09:00 | 2024-03-29 09:00
two years of months         | A 2023-01-31 09:00 every 24 mo  | 2024-06-01 00:00 | 2025-01-28 09:00 | 2023-01-31 09:00 | 2025-01-28 09:00
29 Feb yearly stays 28      | A 2024-02-29 07:00 every 1 y    | 2027-03-01 00:00 | 2028-02-28 07:00 | 2027-02-28 07:00 | 2028-02-28 07:00
every 0 hours               | A 2024-05-06 08:00 every 0 h    | 2024-06-01 00:00 |                  |                  | off
only today, now on it       | A 2024-05-01 09:00 on 0001000   | 2024-05-01 09:00 | 2024-05-08 09:00 | 2024-05-01 09:00 | 2024-05-08 09:00
base not a chosen day       | A 2024-05-01 09:00 on 0000010   | 2024-05-02 10:00 | 2024-05-03 09:00 |                  | 2024-05-03 09:00
no day                      | A 2024-05-01 09:00 on 0000000   | 2024-05-01 08:00 |                  |                  | off)");
    }
    void occurrences()
    {
        QFETCH(QStringList, f);
        td::AlarmRecord r = alarm(f[0]);
        const QDateTime now = at(f[1]);
        const QDateTime next = td::nextAlarmTime(r, now);
        QCOMPARE(QStringList({str(next), str(td::lastAlarmTime(r, now))}), f.mid(2, 2));
        td::moveToOccurrence(r, next, now);
        QCOMPARE(r.enabled ? r.date.toString(Qt::ISODate) + r.time.toString(" HH:mm") : "off",
                 f[4]);
    }

    // A 1000 x 600 desktop holds 3 x 3 pop-ups of 300 x 200, the first column at x = 700.
    // desktop ("": that one) | the pop-up's start | shown | where it goes
    void stacking_data()
    {
        addRows(R"(
nothing shown                       |             | 700 400      |                        | 700 400
above the one in the corner         |             | 700 400      | 700 400                | 700 200
column full: next one, at the bottom |            | 700 400      | 700 400;700 200;700 0  | 400 400
a narrower one finds the gap        |             | 720 400 280 200 | 700 400;700 200;700 0;400 400;400 200;400 0;100 400;100 200 | 120 0
columns run out: cascade            |             | 700 400      | full                   | 668 368
next cascade step                   |             | 700 400      | full;668 368           | 636 336
dragged off the desktop comes back  |             | 900 -50      |                        | 700 0
larger than the desktop             |             | 700 400 1200 700 |                    | 0 0
panel at the top                    | 0 30 1000 600 | 700 430    | 700 430;700 230;700 30 | 400 430)");
    }
    void stacking()
    {
        QFETCH(QStringList, f);
        const QRect desktop = f[0].isEmpty() ? QRect(0, 0, 1000, 600) : rects(f[0])[0];
        const QRect start = rects(f[1])[0];
        const QPoint p = td::stackPopup(desktop, start.size(), start.topLeft(), rects(f[2]));
        QCOMPARE(QString("%1 %2").arg(p.x()).arg(p.y()), f[3]);
        QVERIFY(desktop.contains(QRect(p, start.size())) || start.width() > desktop.width());
    }

    // "^" is a break opportunity, "/" a line break; runs of more than 4.
    void wrapping_data()
    {
        addRows(R"(
run of exactly the limit       | xxxx          | xxxx
longer runs broken every limit | abcdefghij kl | abcd^efgh^ij kl
never inside a surrogate pair  | abc😀d        | abc😀^d)");
    }
    void wrapping()
    {
        QFETCH(QStringList, f);
        const QString text = td::wrappableText(QString(f[0]).replace('/', '\n'), 4);
        QCOMPARE(QString(text).replace(QChar(0x200B), '^').replace('\n', '/'), f[1]);
    }

    // locale | due, now is 2026-05-06 09:00 | the note
    void missedText_data()
    {
        addRows(R"(
a minute late: on time     | en_GB | 2026-05-06 08:59         |
later than a minute        | en_GB | 2026-05-06 08:58:59      | This alarm was due at 08:58 today.
earlier, locale's formats  | en_US | 2026-05-04 22:15         | This alarm was due at 10:15 PM on Monday, May 4, 2026.
no seconds in short format | C     | 2026-05-06 08:50         | This alarm was due at 08:50 today.)");
    }
    void missedText()
    {
        QFETCH(QStringList, f);
        QLocale::setDefault(QLocale(f[0]));
        const QString text = td::missedAlarmText(at(f[1]), at("2026-05-06 09:00"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text, f[2]);
    }
};

TIDRA_RULES_TEST_MAIN(TestAlarmRecord)
#include "tst_alarmrecord.moc"
