#include "storage/EventFiles.h"
#include "tests/common/TestSupport.h"
#include "tests/fuzz/RoundTrip.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <unistd.h>

using namespace td;
using td::events::TimerEntry;
using td::events::WorkCentres;
using td::fuzz::readBytes;

Q_DECLARE_METATYPE(td::AlarmRecord)
Q_DECLARE_METATYPE(td::events::TimerEntry)
Q_DECLARE_METATYPE(td::HolidayRecord)

namespace {

AlarmRecord alarm(const QString& name, QDate date, QTime time, const QString& message = {})
{
    AlarmRecord a;
    a.name = name;
    a.enabled = true;
    a.date = date;
    a.time = time;
    a.message = message;
    return a;
}

AlarmRecord morningCall()
{
    AlarmRecord a = alarm("Morning call", QDate(2024, 5, 6), QTime(7, 30), "Get upand go");
    a.repeatRange = 1;
    a.repeatMode = RepeatDayOfWeek;
    a.days = {false, true, true, true, true, true, false};
    a.repeatMeasure = Days;
    return a;
}

AlarmRecord disabled(const QString& name)
{
    AlarmRecord a = alarm(name, QDate(), QTime(0, 0));
    a.enabled = false;
    return a;
}

TimerEntry teaBreak()
{
    TimerEntry e;
    e.record.name = "Tea break";
    e.record.type = TypeStopwatch;
    e.record.dateTime = QDateTime(QDate(2024, 5, 6), QTime(9, 15));
    e.record.format = FormatShort;
    e.visible = true;
    e.centre = QPoint(640, 120);
    return e;
}

HolidayRecord holiday(const QString& name, int type, QDate start, QDate end)
{
    return HolidayRecord{name, type, start, end};
}

const QByteArray morningCallFile =
    "Alarm\nMorning call\n1\n2024\n06\n05\n07\n30\n1\n2\n0\n1\n1\n1\n1"
    "\n1\n0\n2\nGet up\nand go\nAlarm end\n";
const QByteArray teaBreakFile = "Timer\nTea break\n1\n2024\n06\n05\n09\n15\n0\n0\n1\n1\n1\n1\n0\n0"
                                "\n1\n640\n120\nTimer end\n";
const QByteArray workTimersFile = "100\n100\n100\n160\n100\n220\n100\n280\n";
const QByteArray scheduleFile = "Christmas\n0\n2024\n25\n12\n2024\n25\n12\nSummer\n1\n2024\n01\n08"
                                "\n2024\n14\n08\n";

/// An alarm block with every field given, the message lines last.
QByteArray alarmBlock(const QByteArray& name, const QByteArray& message,
                      const QByteArray& end = "Alarm end\n")
{
    return "Alarm\n" + name + "\n1\n2024\n06\n05\n07\n30\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n" +
           message + end;
}

/// Fails its writes after `room` bytes, like a full disk.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override
    {
        if (m_room <= 0)
            return -1;
        const qint64 n = qMin(len, m_room);
        m_room -= n;
        return n;
    }

private:
    qint64 m_room;
};

} // namespace

class TestEventFiles : public QObject
{
    Q_OBJECT
private slots:
    void workedExamplesAreWrittenByteForByte()
    {
        AlarmRecord twoLines = morningCall();
        twoLines.message = "Get up\nand go";
        QCOMPARE(events::formatAlarms({twoLines}), morningCallFile);
        QCOMPARE(events::formatTimers({teaBreak()}), teaBreakFile);
        QCOMPARE(events::formatWorkTimers(
                     {QPoint(100, 100), QPoint(100, 160), QPoint(100, 220), QPoint(100, 280)}),
                 workTimersFile);
        QCOMPARE(events::formatWorkSchedule(
                     {holiday("Christmas", 0, QDate(2024, 12, 25), QDate(2024, 12, 25)),
                      holiday("Summer", 1, QDate(2024, 8, 1), QDate(2024, 8, 14))}),
                 scheduleFile);
    }

    void workedExamplesAreRead()
    {
        QCOMPARE(readBytes(morningCallFile, events::readAlarms), QList<AlarmRecord>{morningCall()});
        QCOMPARE(readBytes(teaBreakFile, events::readTimers), QList<TimerEntry>{teaBreak()});
        const WorkCentres centres{QPoint(100, 100), QPoint(100, 160), QPoint(100, 220),
                                  QPoint(100, 280)};
        QCOMPARE(readBytes(workTimersFile, events::readWorkTimers), centres);
        const QList<HolidayRecord> holidays{
            holiday("Christmas", 0, QDate(2024, 12, 25), QDate(2024, 12, 25)),
            holiday("Summer", 1, QDate(2024, 8, 1), QDate(2024, 8, 14))};
        QCOMPARE(readBytes(scheduleFile, events::readWorkSchedule), holidays);
    }

    void alarmsAreReadTolerantly_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<AlarmRecord>>("expected");
        const QDate d(2024, 5, 6);
        const QTime t(7, 30);

        QTest::newRow("empty file") << QByteArray() << QList<AlarmRecord>{};
        QTest::newRow("crlf") << QByteArray(morningCallFile).replace("\n", "\r\n")
                              << QList<AlarmRecord>{morningCall()};
        QTest::newRow("junk between blocks")
            << "alarm\n Alarm\nAlarm \n" + alarmBlock("A", "") + "noise\n\n" + alarmBlock("B", "")
            << QList<AlarmRecord>{alarm("A", d, t), alarm("B", d, t)};
        QTest::newRow("names trimmed") << alarmBlock("  \tPadded name  ", "")
                                       << QList<AlarmRecord>{alarm("Padded name", d, t)};
        QTest::newRow("message joined and trimmed")
            << alarmBlock("A", "  first \nsecond  \n")
            << QList<AlarmRecord>{alarm("A", d, t, "first second")};
        QTest::newRow("message line Alarm end ends the block")
            << alarmBlock("A", "one\nAlarm end\ntwo\nAlarm\nB\n", "")
            << QList<AlarmRecord>{alarm("A", d, t, "one"), disabled("B")};
        QTest::newRow("missing Alarm end at the end")
            << alarmBlock("A", "lost message\n", "") << QList<AlarmRecord>{alarm("A", d, t)};
        QTest::newRow("block cut after the name")
            << QByteArray("Alarm\nCut") << QList<AlarmRecord>{disabled("Cut")};
        // Long names are read whole, so the fields after them stay in place.
        const QByteArray longName(200, 'n');
        QTest::newRow("200-character name")
            << alarmBlock(longName, "m\n") << QList<AlarmRecord>{alarm(longName, d, t, "m")};
        QTest::newRow("legacy 8-bit name")
            << alarmBlock("Caf\xe9 \x80 \x93quoted\x94", "Gr\xfc\xdf"
                                                         "e\n")
            << QList<AlarmRecord>{
                   alarm(QString::fromUtf8("Café € “quoted”"), d, t, QString::fromUtf8("Grüße"))};
        QTest::newRow("utf-8 with bom")
            << "\xEF\xBB\xBF" + alarmBlock("Caf\xc3\xa9", "")
            << QList<AlarmRecord>{alarm(QString::fromUtf8("Café"), d, t)};
        QTest::newRow("impossible date and time")
            << QByteArray(
                   "Alarm\nX\n1\n2023\n29\n02\n24\n00\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n")
            << QList<AlarmRecord>{alarm("X", QDate(), QTime())};
        QTest::newRow("null date, empty time")
            << QByteArray("Alarm\nX\n1\n\n\n\n\n\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n")
            << QList<AlarmRecord>{alarm("X", QDate(), QTime(0, 0))};
        AlarmRecord zeros = alarm("X", QDate(), QTime(0, 0));
        zeros.enabled = false;
        QTest::newRow("non-numbers read as 0")
            << QByteArray("Alarm\nX\nyes\nabc\n1\n1\nx\ny\n1e3\n2.5\n1\ntrue\n1\n1\n1\n1\n1\nz\n"
                          "Alarm end\n")
            << QList<AlarmRecord>{[&] {
                   AlarmRecord a = zeros;
                   a.days = {true, false, true, true, true, true, true};
                   return a;
               }()};
        AlarmRecord flags = alarm("X", d, t);
        flags.enabled = false;
        flags.repeatRange = -3;
        flags.days = {true, false, false, false, false, false, true};
        QTest::newRow("flag only when exactly 1")
            << QByteArray("Alarm\nX\n2\n2024\n06\n05\n07\n30\n-3\n0\n1\n-1\n2\n0\n11\n01\n 1\n0\n"
                          "Alarm end\n")
            << QList<AlarmRecord>{[&] {
                   AlarmRecord a = flags;
                   a.days = {true, false, false, false, false, true, true};
                   return a;
               }()};
    }

    void alarmsAreReadTolerantly()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<AlarmRecord>, expected);
        const QList<AlarmRecord> got = readBytes(file, events::readAlarms);
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < got.size(); ++i) {
            QCOMPARE(got[i].name, expected[i].name);
            QCOMPARE(got[i].date, expected[i].date);
            QCOMPARE(got[i].time, expected[i].time);
            QCOMPARE(got[i].message, expected[i].message);
            QVERIFY(got[i] == expected[i]);
        }
    }

    void alarmsRoundTrip_data()
    {
        QTest::addColumn<AlarmRecord>("written");
        QTest::addColumn<AlarmRecord>("read");
        const QDate d(2030, 1, 31);
        QTest::newRow("weekday example") << morningCall() << morningCall();
        AlarmRecord every = alarm("Every 90 minutes", d, QTime(23, 59), "x");
        every.enabled = false;
        every.repeatMode = RepeatEvery;
        every.repeatRange = 90;
        every.repeatMeasure = Minutes;
        QTest::newRow("every n units") << every << every;
        QTest::newRow("null date and time")
            << alarm("N", QDate(), QTime(), "m") << alarm("N", QDate(), QTime(0, 0), "m");
        QTest::newRow("seconds dropped")
            << alarm("S", d, QTime(8, 1, 59, 999)) << alarm("S", d, QTime(8, 1));
        QTest::newRow("message lines joined")
            << alarm("M", d, QTime(1, 2), "a\nb\n\nc") << alarm("M", d, QTime(1, 2), "abc");
        QTest::newRow("message line Alarm end survives")
            << alarm("M", d, QTime(1, 2), "before\nAlarm end\nAlarm\nafter")
            << alarm("M", d, QTime(1, 2), "beforeAlarm endAlarmafter");
        QTest::newRow("message of only Alarm end")
            << alarm("M", d, QTime(1, 2), "Alarm end") << alarm("M", d, QTime(1, 2), "Alarm end");
        QTest::newRow("carriage return kept inside")
            << alarm("M", d, QTime(1, 2), "a\r\nb\r") << alarm("M", d, QTime(1, 2), "a\rb");
        const QString longLine = QString(events::maxLineChars - 1, u'x') + "\r" +
                                 QString(events::maxLineChars + 5, u'y') + "\r" + "z";
        QTest::newRow("line longer than the reader's limit")
            << alarm("M", d, QTime(1, 2), longLine) << alarm("M", d, QTime(1, 2), longLine);
        QTest::newRow("line break in a name")
            << alarm("two\nlines", d, QTime(1, 2), "m") << alarm("two lines", d, QTime(1, 2), "m");
        QTest::newRow("name Alarm end")
            << alarm("Alarm end", d, QTime(1, 2)) << alarm("Alarm end", d, QTime(1, 2));
        QTest::newRow("non-latin text")
            << alarm(QString::fromUtf8("Встреча 🎉"), d, QTime(1, 2), QString::fromUtf8("日本語"))
            << alarm(QString::fromUtf8("Встреча 🎉"), d, QTime(1, 2), QString::fromUtf8("日本語"));
    }

    void alarmsRoundTrip()
    {
        QFETCH(AlarmRecord, written);
        QFETCH(AlarmRecord, read);
        const AlarmRecord other = alarm("Next", QDate(2024, 1, 1), QTime(0, 0), "after");
        const QByteArray file = events::formatAlarms({written, other});
        QVERIFY(!file.startsWith("\xEF\xBB\xBF"));
        const QList<AlarmRecord> got = readBytes(file, events::readAlarms);
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].name, read.name);
        QCOMPARE(got[0].message, read.message);
        QCOMPARE(got[0].time, read.time);
        QVERIFY(got[0] == read);
        QVERIFY(got[1] == other);
    }

    void timers_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<TimerEntry>>("expected");
        TimerEntry cut = teaBreak();
        cut.record.name = "Cut";
        cut.visible = false;
        cut.centre = QPoint();
        cut.record.continueExpired = true;
        cut.record.format = 2;
        TimerEntry t = teaBreak();
        QTest::newRow("extra lines before Timer end")
            << QByteArray(teaBreakFile).replace("Timer end", "extra\nTimer\nmore\nTimer end") +
                   "junk\n" + teaBreakFile
            << QList<TimerEntry>{t, t};
        QTest::newRow("missing Timer end, crlf")
            << QByteArray("Timer\r\n Cut \r\n1\r\n2024\r\n06\r\n05\r\n09\r\n15\r\n1\r\n2\r\n1\r\n1")
            << QList<TimerEntry>{[&] {
                   TimerEntry e = cut;
                   e.record.msecFormat = true;
                   e.record.secFormat = true;
                   e.record.minFormat = false;
                   e.record.hourFormat = false;
                   return e;
               }()};
        TimerEntry odd;
        odd.record.name = "Odd";
        odd.record.type = 0;
        odd.record.format = 0;
        odd.record.msecFormat = odd.record.secFormat = odd.record.minFormat =
            odd.record.hourFormat = false;
        odd.centre = QPoint(-1920, 0);
        QTest::newRow("impossible date, non-numbers, negative centre")
            << QByteArray("Timer\nOdd\nx\n2024\n31\n04\n09\n15\n1e\n?\n\n\n\n\n\n\n\n-1920\nnan\n"
                          "Timer end\n")
            << QList<TimerEntry>{odd};
    }

    void timers()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<TimerEntry>, expected);
        const QList<TimerEntry> got = readBytes(file, events::readTimers);
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < got.size(); ++i) {
            QCOMPARE(got[i].record.name, expected[i].record.name);
            QCOMPARE(got[i].record.dateTime, expected[i].record.dateTime);
            QCOMPARE(got[i].centre, expected[i].centre);
            QVERIFY(got[i] == expected[i]);
        }
    }

    void timersRoundTrip_data()
    {
        QTest::addColumn<TimerEntry>("written");
        QTest::addColumn<TimerEntry>("read");
        QTest::newRow("example") << teaBreak() << teaBreak();
        TimerEntry seconds = teaBreak();
        seconds.record.dateTime = QDateTime(QDate(2024, 5, 6), QTime(9, 15, 42, 500));
        QTest::newRow("seconds dropped") << seconds << teaBreak();
        TimerEntry utc = teaBreak();
        utc.record.dateTime = QDateTime(QDate(2024, 5, 6), QTime(7, 15), Qt::UTC);
        QTest::newRow("stored as local time") << utc << teaBreak();
        TimerEntry full;
        full.record.name = "Full";
        full.record.dateTime = QDateTime(QDate(2024, 10, 27), QTime(23, 59));
        full.record.continueExpired = true;
        full.record.format = FormatCustom;
        full.record.msecFormat = false;
        full.record.dayFormat = true;
        full.record.weekFormat = true;
        full.visible = false;
        full.centre = QPoint(-5, 99999);
        QTest::newRow("every flag") << full << full;
        TimerEntry null = full;
        null.record.dateTime = QDateTime();
        QTest::newRow("null moment") << null << null;
    }

    void timersRoundTrip()
    {
        QFETCH(TimerEntry, written);
        QFETCH(TimerEntry, read);
        const QList<TimerEntry> got =
            readBytes(events::formatTimers({written, written}), events::readTimers);
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[1].record.dateTime, read.record.dateTime);
        QCOMPARE(got[1].record.dateTime.time().second(), read.record.dateTime.time().second());
        QVERIFY(got[0] == read && got[1] == read);
    }

    void workTimers_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("example") << workTimersFile
                                 << QList<int>{100, 100, 100, 160, 100, 220, 100, 280};
        QTest::newRow("short file")
            << QByteArray("5\r\n-7\r\n30") << QList<int>{5, -7, 30, 0, 0, 0, 0, 0};
        QTest::newRow("empty") << QByteArray() << QList<int>{0, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("junk and extra lines")
            << QByteArray("x\n1\n2\n3\n4\n5\n6\n7\n8\n9\n") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
    }

    void workTimers()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, numbers);
        const WorkCentres got = readBytes(file, events::readWorkTimers);
        WorkCentres expected;
        for (int i = 0; i < 4; ++i)
            expected[i] = QPoint(numbers[2 * i], numbers[2 * i + 1]);
        QCOMPARE(got, expected);
        QCOMPARE(readBytes(events::formatWorkTimers(got), events::readWorkTimers), expected);
    }

    void workSchedule_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<HolidayRecord>>("expected");
        QTest::newRow("empty") << QByteArray() << QList<HolidayRecord>{};
        QTest::newRow("short last entry")
            << QByteArray(scheduleFile).chopped(11)
            << QList<HolidayRecord>{
                   holiday("Christmas", 0, QDate(2024, 12, 25), QDate(2024, 12, 25)),
                   holiday("Summer", 1, QDate(2024, 8, 1), QDate())};
        QTest::newRow("only a name")
            << QByteArray("  Lone  ") << QList<HolidayRecord>{holiday("Lone", 0, QDate(), QDate())};
        QTest::newRow("crlf, legacy 8-bit, impossible date")
            << QByteArray("F\xeate\r\nv\r\n2023\r\n29\r\n02\r\n2024\r\n29\r\n02\r\n")
            << QList<HolidayRecord>{
                   holiday(QString::fromUtf8("Fête"), 0, QDate(), QDate(2024, 2, 29))};
    }

    void workSchedule()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<HolidayRecord>, expected);
        const QList<HolidayRecord> got = readBytes(file, events::readWorkSchedule);
        QCOMPARE(got, expected);
        QCOMPARE(readBytes(events::formatWorkSchedule(got), events::readWorkSchedule), expected);
    }

    void holidayNamesStayOnOneLine()
    {
        const QList<HolidayRecord> in{holiday(" A\nB ", 1, QDate(2025, 1, 2), QDate(2025, 1, 3)),
                                      holiday("C", 0, QDate(), QDate())};
        const QList<HolidayRecord> got =
            readBytes(events::formatWorkSchedule(in), events::readWorkSchedule);
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].name, QString("A B"));
        QCOMPARE(got[1], in[1]);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8") << QByteArray("\xc3\xa4\xe2\x82\xac") << QString::fromUtf8("ä€");
        QTest::newRow("bom skipped") << QByteArray("\xEF\xBB\xBFok") << QString("ok");
        QTest::newRow("windows-1252")
            << QByteArray("\x80\x8a\x9f\xa0\xe4\xff") << QString::fromUtf8("€ŠŸ\u00a0äÿ");
        QTest::newRow("unassigned 1252 bytes")
            << QByteArray("\x81\x8d\x8f\x90\x9d")
            << QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d");
        QTest::newRow("one bad byte makes it 8-bit")
            << QByteArray("\xc3\xa4 \xe4") << QString::fromUtf8("Ã¤ ä");
        QTest::newRow("encoded surrogate is not utf-8")
            << QByteArray("\xed\xa0\x80") << QString::fromUtf8("í\u00a0€");
    }

    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(events::decodeText(bytes), text);
    }

    void hostileFilesAreBounded_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("alarms");
        QTest::addColumn<int>("holidays");
        QByteArray manyBlocks;
        for (int i = 0; i < events::maxAlarms + 5; ++i)
            manyBlocks += alarmBlock("A", "");
        QTest::newRow("more blocks than allowed")
            << manyBlocks << events::maxAlarms << events::maxHolidays;
        QTest::newRow("over the size limit without a line break")
            << QByteArray(events::maxFileBytes + 100, 'x') << 0 << 0;
        QTest::newRow("lone marker line before a huge one")
            << "Alarm\n" + QByteArray(events::maxFileBytes, 'x') << 1 << 1;
        QByteArray longLine = alarmBlock("A", QByteArray(events::maxLineChars * 3, 'm') + "\n") +
                              alarmBlock("B", "b\n");
        QTest::newRow("long message line is cut, not split") << longLine << 2 << 5;
        QTest::newRow("binary junk") << QByteArray("\0\xff\0Alarm\0\n\xfe", 9) << 0 << 1;
    }

    void hostileFilesAreBounded()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, alarms);
        QFETCH(int, holidays);
        const QList<AlarmRecord> a = readBytes(file, events::readAlarms);
        QCOMPARE(a.size(), alarms);
        for (const AlarmRecord& r : a)
            QVERIFY(r.message.size() <= events::maxMessageChars);
        if (a.size() == 2) {
            QCOMPARE(a[0].message.size(), events::maxLineChars);
            QCOMPARE(a[1].name, QString("B"));
            QCOMPARE(a[1].message, QString("b"));
        }
        QCOMPARE(readBytes(file, events::readWorkSchedule).size(), holidays);
    }

    void oversizedFileKeepsWholeLines()
    {
        QByteArray file = alarmBlock("Kept", "");
        file += QByteArray(events::maxFileBytes - file.size() - 3, '\n');
        file += "Alarm\nAfter\n";
        const QList<AlarmRecord> got = readBytes(file, events::readAlarms);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].name, QString("Kept"));
    }

    void writersReportFailure_data()
    {
        QTest::addColumn<qint64>("room");
        QTest::newRow("nothing written") << qint64(0);
        QTest::newRow("disk full half-way") << qint64(10);
    }

    void writersReportFailure()
    {
        QFETCH(qint64, room);
        FullDevice full(room);
        QVERIFY(!events::writeAlarms(full, {morningCall()}));
        QVERIFY(!events::writeTimers(full, {teaBreak()}));
        QVERIFY(!events::writeWorkTimers(full, {}));
        QVERIFY(!events::writeWorkSchedule(full, {holiday("X", 0, {}, {})}));
        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        QVERIFY(!events::writeAlarms(readOnly, {morningCall()}));
        QBuffer ok;
        ok.open(QIODevice::WriteOnly);
        QVERIFY(events::writeTimers(ok, {teaBreak()}));
        QCOMPARE(ok.data(), teaBreakFile);
    }

    void atomicSave_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("saved");
        QTest::newRow("plain replace") << QString() << true;
        QTest::newRow("read-only folder") << "readonly" << false;
        QTest::newRow("read-only file") << "readonlyfile" << false;
        QTest::newRow("target is a folder") << "folder" << false;
        QTest::newRow("parent is a file") << "parentfile" << false;
    }

    void atomicSave()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, saved);
        QTemporaryDir tmp;
        const QString dir = tmp.path() + "/data";
        QDir().mkpath(dir);
        QString path = dir + "/Alarms";
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents\n");
        old.close();

        if (obstacle == "readonly") {
            if (geteuid() == 0)
                QSKIP("permissions do not bind the super-user");
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        } else if (obstacle == "readonlyfile") {
            if (geteuid() == 0)
                QSKIP("permissions do not bind the super-user");
            QFile::setPermissions(path, QFile::ReadOwner);
        } else if (obstacle == "folder") {
            path = dir + "/Sub";
            QDir().mkpath(path + "/inside");
        } else if (obstacle == "parentfile") {
            path += "/Timers";
        }
        const bool ok = events::saveFileAtomically(path, "new contents\n");
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(ok, saved);
        QFile check(dir + "/Alarms");
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(),
                 saved ? QByteArray("new contents\n") : QByteArray("old contents\n"));
        // No temporary file is left behind either way.
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 1);
    }

    void fuzzCorpusStaysStable_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("path");
        const QString root = QStringLiteral(TIDRA_SOURCE_DIR "/tests/fuzz/corpus");
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            const QString reader = QFileInfo(path).dir().dirName();
            QTest::newRow(qPrintable(reader + "/" + it.fileName())) << reader << path;
            ++count;
        }
        QVERIFY(count >= 4);
    }

    void fuzzCorpusStaysStable()
    {
        QFETCH(QString, reader);
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        if (reader == "alarms")
            QVERIFY(fuzz::alarmsRoundTrip(bytes));
        else if (reader == "timers")
            QVERIFY(fuzz::timersRoundTrip(bytes));
        else if (reader == "worktimers")
            QVERIFY(fuzz::workTimersRoundTrip(bytes));
        else if (reader == "workschedule")
            QVERIFY(fuzz::workScheduleRoundTrip(bytes));
        else
            QFAIL(qPrintable("unknown reader folder " + reader));
    }
};

TIDRA_TEST_MAIN(TestEventFiles)
#include "tst_eventfiles.moc"
