// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmRecord.h"
#include "alarms/PopupRules.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/RulesSupport.h"

#include <QLocale>

using namespace td::test;
using td::AlarmRecord;

Q_DECLARE_METATYPE(td::AlarmRecord)

namespace {

/// A wall-clock reading, gaps of the zone included: "2024-03-31 02:30" as UTC.
QDateTime wall(const char* s)
{
    return QDateTime::fromString(QString(s).replace(' ', 'T') + 'Z', Qt::ISODate);
}

} // namespace

class TestAlarmRecord : public QObject
{
    Q_OBJECT
private slots:
    // Berlin changes its clocks on 31 March 2024: elapsed seconds for small units, calendar
    // days for large ones. 1 May 2024 is a Wednesday.
    void occurrences_data()
    {
        QTest::addColumn<AlarmRecord>("alarm");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("next");
        QTest::addColumn<QDateTime>("last");
        QTest::addColumn<QDateTime>("movedTo"); // its new base, a wall reading; null: spent
        const QDate may1(2024, 5, 1);
        const auto row = [](const char* name, const AlarmRecord& a, const char* now,
                            const char* next, const char* last, const char* movedTo) {
            QTest::newRow(name) << a << at(now) << at(next) << at(last) << wall(movedTo);
        };
        row("once, past", once(monday, QTime(8, 0)), "2024-06-01 00:00", "2024-05-06 08:00",
            "2024-05-06 08:00", "");
        row("hourly, now equals base", every(1, td::Hours, monday, QTime(8, 0)), "2024-05-06 08:00",
            "2024-05-06 09:00", "2024-05-06 08:00", "2024-05-06 09:00");
        row("30 minutes over spring gap", every(30, td::Minutes, {2024, 3, 31}, QTime(1, 30)),
            "2024-03-31 01:45", "2024-03-31 03:00", "2024-03-31 01:30", "2024-03-31 03:00");
        row("daily into the spring gap", every(1, td::Days, {2024, 3, 30}, QTime(2, 30)),
            "2024-03-30 03:00", "2024-03-31 03:30", "2024-03-30 02:30", "2024-03-31 02:30");
        row("month end, now on the 29th", every(1, td::Months, {2024, 1, 31}, QTime(9, 0)),
            "2024-02-29 09:00", "2024-03-29 09:00", "2024-02-29 09:00", "2024-03-29 09:00");
        row("two years of months", every(24, td::Months, {2023, 1, 31}, QTime(9, 0)),
            "2024-06-01 00:00", "2025-01-28 09:00", "2023-01-31 09:00", "2025-01-28 09:00");
        row("29 Feb yearly stays 28", every(1, td::Years, {2024, 2, 29}, QTime(7, 0)),
            "2027-03-01 00:00", "2028-02-28 07:00", "2027-02-28 07:00", "2028-02-28 07:00");
        row("every 0 hours", every(0, td::Hours, monday, QTime(8, 0)), "2024-06-01 00:00", "", "",
            "");
        row("only today, now on it", onDays({3}, may1, QTime(9, 0)), "2024-05-01 09:00",
            "2024-05-08 09:00", "2024-05-01 09:00", "2024-05-08 09:00");
        row("no day", onDays({}, may1, QTime(9, 0)), "2024-05-01 08:00", "", "", "");
    }
    void occurrences()
    {
        QFETCH(AlarmRecord, alarm);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, movedTo);
        const QDateTime next = td::nextAlarmTime(alarm, now);
        QTEST(next, "next");
        QTEST(td::lastAlarmTime(alarm, now), "last");
        td::moveToOccurrence(alarm, next, now);
        QCOMPARE(alarm.enabled, movedTo.isValid());
        if (alarm.enabled)
            QCOMPARE(QDateTime(alarm.date, alarm.time, Qt::UTC), movedTo);
    }

    // Now is 2026-05-06 09:00; the formats are the locale's.
    void missedText_data()
    {
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<QString>("note");
        QTest::newRow("a minute late: on time") << at("2026-05-06 08:59") << "";
        QTest::newRow("later than a minute")
            << at("2026-05-06 08:58:59") << "This alarm was due at 8:58 AM today.";
        QTest::newRow("an earlier day")
            << at("2026-05-04 22:15") << "This alarm was due at 10:15 PM on Monday, May 4, 2026.";
    }
    void missedText()
    {
        QFETCH(QDateTime, due);
        QLocale::setDefault(QLocale("en_US"));
        const QString text = td::missedAlarmText(due, at("2026-05-06 09:00"));
        QLocale::setDefault(QLocale::c());
        QTEST(text, "note");
    }
};

TIDRA_RULES_TEST_MAIN(TestAlarmRecord)
#include "tst_alarmrecord.moc"
