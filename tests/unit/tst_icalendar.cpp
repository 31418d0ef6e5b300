// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/ICalendar.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/RulesSupport.h"

using td::AlarmRecord;
using td::HolidayRecord;
using td::test::at;
using td::test::every;
using td::test::once;
using td::test::onDays;
namespace ical = td::ical;

Q_DECLARE_METATYPE(td::AlarmRecord)
Q_DECLARE_METATYPE(td::HolidayRecord)

namespace {

const QDateTime now = at("2026-12-07 12:00"); // a Monday
const QDate mon(2026, 12, 7);
const QByteArray berlin = "DTSTART;TZID=Europe/Berlin:20261208T100000\r\n";
const QByteArray reminder = "BEGIN:VALARM\r\nTRIGGER:-PT5M\r\nEND:VALARM\r\n";

/// Tidra's own next `count` moments after `from`.
QList<QDateTime> tidraNext(const AlarmRecord& r, QDateTime from, int count)
{
    AlarmRecord on = r;
    on.enabled = true;
    QList<QDateTime> out;
    while (out.size() < count) {
        const QDateTime next = td::nextAlarmTime(on, from);
        if (!next.isValid() || (r.repeatMode == td::RepeatOnce && !out.isEmpty()))
            break;
        out << next;
        from = next;
    }
    return out;
}

QByteArray calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + body +
           "END:VCALENDAR\r\n";
}

QByteArray vevent(const QByteArray& lines, const QByteArray& uid = "u1")
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:Ev\r\n" + lines +
           "END:VEVENT\r\n";
}

} // namespace

class TestICalendar : public QObject
{
    Q_OBJECT
private slots:
    // Tidra -> .ics -> Tidra keeps every field; libical's expansion rings when Tidra does,
    // except where a calendar skips a month Tidra rings at the end of.
    void roundTrip_data()
    {
        QTest::addColumn<AlarmRecord>("record");
        QTest::addColumn<bool>("agrees");
        AlarmRecord off = once(mon.addDays(3), QTime(8, 15), "Off");
        off.enabled = false;
        AlarmRecord text = every(1, td::Days, mon.addDays(1), QTime(6, 0));
        text.name = QString::fromUtf8("Café; \"zwei\", drei");
        text.message = QString::fromUtf8("Zeile 1\nZeile 2, mit Komma; und \\ Strich");
        const auto row = [](const char* name, const AlarmRecord& r, bool agrees) {
            QTest::newRow(name) << r << agrees;
        };
        row("disabled", off, true);
        row("every 3 days", every(3, td::Days, mon.addDays(1), QTime(7, 45)), true);
        row("monthly on the 31st", every(1, td::Months, {2026, 12, 31}, QTime(9, 0)), false);
        row("yearly on 29 February", every(1, td::Years, {2028, 2, 29}, QTime(8, 0)), false);
        row("weekend from a Wednesday", onDays({0, 6}, mon.addDays(2), QTime(10, 0)), true);
        row("weekly over spring forward", onDays({0}, {2027, 3, 21}, QTime(2, 30)), true);
        row("name and message with commas", text, true);
    }
    void roundTrip()
    {
        QFETCH(AlarmRecord, record);
        QFETCH(bool, agrees);
        record.uid = "u1";
        const ical::Export out = ical::exportAlarms({record}, now);
        QVERIFY(out.leftOut.isEmpty());
        AlarmRecord expected = record;
        // A calendar counts its start as an occurrence: it moves to the first chosen weekday.
        while (expected.repeatMode == td::RepeatDayOfWeek &&
               !expected.days[size_t(expected.date.dayOfWeek() % 7)])
            expected.date = expected.date.addDays(1);
        QCOMPARE(ical::importAlarms(out.text, now, {}).alarms, QList{expected});
        const QList<QDateTime> own = tidraNext(record, now, 6);
        const QList<QDateTime> libical = ical::occurrencesAfter(out.text, "u1", now, 6);
        QCOMPARE(libical == own, agrees);
        QVERIFY(!own.isEmpty());
    }

    // Events from other programs that Tidra holds exactly. Tuesday 8 Dec 2026 onwards.
    void imports_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<AlarmRecord>("record");
        const QDate tue(2026, 12, 8);
        QTest::newRow("utc start, no reminder")
            << QByteArray("DTSTART:20261208T100000Z\r\n") << once(tue, QTime(11, 0), "Ev");
        QTest::newRow("weekly on its own weekday, every other week")
            << QByteArray("DTSTART:20261208T080000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=TU\r\n")
            << every(2, td::Weeks, tue, QTime(8, 0));
        QTest::newRow("reminder before midnight moves the weekdays")
            << QByteArray("DTSTART:20261208T001000\r\nRRULE:FREQ=WEEKLY;BYDAY=TU,SA\r\n"
                          "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT30M\r\nEND:VALARM\r\n")
            << onDays({1, 5}, tue.addDays(-1), QTime(23, 40));
        QTest::newRow("begun years ago: from its next occurrence")
            << QByteArray("DTSTART;TZID=Europe/Berlin:20200101T070000\r\nRRULE:FREQ=DAILY\r\n")
            << every(1, td::Days, tue, QTime(7, 0));
    }
    void imports()
    {
        QFETCH(QByteArray, lines);
        QFETCH(AlarmRecord, record);
        record.message.clear();
        record.name = "Ev";
        record.uid = "u1";
        QCOMPARE(ical::importAlarms(calendar(vevent(lines)), now, {}).alarms, QList{record});
    }

    // What Tidra cannot hold exactly is listed with its reason, never changed.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, const QByteArray& lines, const char* reason) {
            QTest::newRow(name) << lines << QString(reason);
        };
        row("count", berlin + "RRULE:FREQ=DAILY;COUNT=5\r\n", "ends after 5 times");
        row("until", berlin + "RRULE:FREQ=DAILY;UNTIL=20270101T000000Z\r\n", "ends on a date");
        row("exdate", berlin + "RRULE:FREQ=DAILY\r\nEXDATE;TZID=Europe/Berlin:20261209T100000\r\n",
            "leaves out or adds single dates");
        row("first tuesday", berlin + "RRULE:FREQ=MONTHLY;BYDAY=1TU\r\n",
            "repeats on weekdays every few weeks or months");
        row("two reminders", berlin + reminder + reminder, "has 2 reminders; an alarm rings once");
        row("reminder at the end",
            berlin + "BEGIN:VALARM\r\nTRIGGER;RELATED=END:-PT5M\r\nEND:VALARM\r\n",
            "reminds before the event's end");
        row("over", "DTSTART:20261201T100000Z\r\n", "is already over");
        row("all day", "DTSTART;VALUE=DATE:20261224\r\n",
            "lasts all day: there is no time to ring at");
        row("31st from another program", "DTSTART:20261231T100000\r\nRRULE:FREQ=MONTHLY\r\n",
            "falls on a day some months do not have; Tidra would ring at their end");
        row("daily in another zone",
            "DTSTART;TZID=America/New_York:20261208T100000\r\nRRULE:FREQ=DAILY\r\n",
            "repeats in a time zone whose clocks differ from the local ones");
    }
    void refusals()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, reason);
        const ical::AlarmImport in = ical::importAlarms(calendar(vevent(lines)), now, {});
        QVERIFY(in.alarms.isEmpty());
        QCOMPARE(in.leftOut, (QList{ical::LeftOut{"Ev", reason}}));
    }

    // A subscribed calendar's events ring only where they remind.
    void remindersOnly()
    {
        const ical::AlarmImport bare = ical::importAlarms(calendar(vevent(berlin)), now, {}, true);
        QCOMPARE(bare.leftOut, (QList{ical::LeftOut{"Ev", "has no reminder"}}));
        const QByteArray reminds = calendar(vevent(berlin + reminder));
        QCOMPARE(ical::importAlarms(reminds, now, {}, true).alarms.size(), 1);
    }

    // An event whose one occurrence was moved is left out with its series.
    void movedOccurrence()
    {
        const QByteArray series = vevent("DTSTART:20261208T100000\r\nRRULE:FREQ=DAILY\r\n");
        const QByteArray moved = vevent("RECURRENCE-ID:20261209T100000\r\n"
                                        "DTSTART:20261209T110000\r\n");
        const ical::AlarmImport in = ical::importAlarms(calendar(series + moved), now, {});
        QVERIFY(in.alarms.isEmpty());
        QCOMPARE(in.leftOut, (QList{ical::LeftOut{"Ev", "has occurrences moved one by one"}}));
    }

    // A second import adds nothing: by UID, and for events without one by their content.
    void secondImportAddsNothing()
    {
        const QByteArray ten = "DTSTART:20261208T100000\r\n";
        QByteArray noUid = vevent("DTSTART:20261210T100000\r\n", "x");
        noUid.replace("UID:x\r\n", "");
        const QByteArray file = calendar(vevent(ten, "a") + vevent(ten, "a") + noUid);
        const ical::AlarmImport first = ical::importAlarms(file, now, {});
        QCOMPARE(first.alarms.size(), 2);
        QCOMPARE(first.known, 1);
        const QSet<QString> uids{first.alarms[0].uid, first.alarms[1].uid};
        QCOMPARE(uids.size(), 2);
        const ical::AlarmImport second = ical::importAlarms(file, now, uids);
        QVERIFY(second.alarms.isEmpty());
        QCOMPARE(second.known, 3);
    }

    // Broken or hostile files: one message, nothing taken.
    void hostile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        const QByteArray good = calendar(vevent("DTSTART:20261208T100000\r\n"));
        QTest::newRow("truncated")
            << good.left(good.size() - 30) << "The file is no complete iCalendar file.";
        QTest::newRow("50 MB") << calendar(vevent("COMMENT:" + QByteArray(50 << 20, 'x') + "\r\n"))
                               << "The file is larger than 8 MB.";
        QTest::newRow("deep nesting") << calendar(QByteArray("BEGIN:X-A\r\n").repeated(10000) +
                                                  QByteArray("END:X-A\r\n").repeated(10000))
                                      << "The file nests its parts more than 6 deep.";
        QTest::newRow("unknown zone")
            << calendar(vevent("DTSTART;TZID=Mars/Olympus:20261208T100000\r\n"))
            << "The time zone \"Mars/Olympus\" is not described in the file.";
        QTest::newRow("zone a week off")
            << calendar("BEGIN:VTIMEZONE\r\nTZID:Far\r\nBEGIN:STANDARD\r\n"
                        "DTSTART:19700101T000000\r\nTZOFFSETFROM:+9959\r\nTZOFFSETTO:+9959\r\n"
                        "END:STANDARD\r\nEND:VTIMEZONE\r\n" +
                        vevent("DTSTART;TZID=Far:20261208T100000\r\n"))
            << "The time zone \"Far\" is 99 hours from UTC.";
    }
    void hostile()
    {
        QFETCH(QByteArray, file);
        const ical::AlarmImport alarms = ical::importAlarms(file, now, {});
        QTEST(alarms.error, "error");
        QVERIFY(alarms.alarms.isEmpty() && alarms.leftOut.isEmpty());
        const ical::HolidayImport days = ical::importHolidays(file, "feed", now.date());
        QTEST(days.error, "error");
        QVERIFY(days.holidays.isEmpty() && days.leftOut.isEmpty());
    }

    // A public-holiday calendar for 2027 as publishers write it, read on 1 January 2027.
    void publicHolidays()
    {
        QFile feed(TIDRA_SOURCE_DIR "/tests/unit/data/holidays_2027.ics");
        QVERIFY(feed.open(QIODevice::ReadOnly));
        const ical::HolidayImport in =
            ical::importHolidays(feed.readAll(), "Feiertage", {2027, 1, 1});
        QCOMPARE(in.error, QString());
        const auto days = [](const char* name, const QDate& from, int count, bool yearly,
                             int type = td::TypeHoliday) {
            return HolidayRecord(name, type, from, from.addDays(count - 1), yearly, "Feiertage");
        };
        const QList<HolidayRecord> expected{
            days("Neujahr", {2027, 1, 1}, 1, true),
            days("Ostermontag", {2027, 3, 29}, 1, false),
            days("Weihnachten", {2027, 12, 25}, 2, true),
            days("Betriebsferien", {2027, 12, 27}, 5, false, td::TypeVacation),
        };
        QCOMPARE(in.holidays, expected);
        const QList<ical::LeftOut> leftOut{
            {"Zeitumstellung", "is not a whole day"},
            {"Brückentag", "is already over"},
            {"Jeden Montag", "repeats other than once a year on its date"},
        };
        QCOMPARE(in.leftOut, leftOut);
    }
};

TIDRA_RULES_TEST_MAIN(TestICalendar)
#include "tst_icalendar.moc"
