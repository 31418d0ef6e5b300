// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/EventFiles.h"
#include "storage/SafeWrite.h"
#include "tests/common/AlarmRows.h"
#include "tests/common/RulesSupport.h"
#include "tests/fuzz/RoundTrip.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

using namespace td;
using td::events::TimerEntry;
using td::fuzz::readBytes;

Q_DECLARE_METATYPE(td::HolidayRecord)

namespace {

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

const QByteArray morningCallFile =
    "Alarm\nMorning call\n1\n2024\n06\n05\n07\n30\n1\n2\n0\n1\n1\n1\n1"
    "\n1\n0\n2\nGet up\nand go\nAlarm end\n";
const QByteArray teaBreakFile = "Timer\nTea break\n1\n2024\n06\n05\n09\n15\n0\n0\n1\n1\n1\n1\n0\n0"
                                "\n1\n640\n120\nTimer end\n";
const QByteArray scheduleFile = "Christmas\n0\n2024\n25\n12\n2024\n25\n12\nSummer\n1\n2024\n01\n08"
                                "\n2024\n14\n08\n";
const QList<HolidayRecord> schedule{
    HolidayRecord{"Christmas", 0, QDate(2024, 12, 25), QDate(2024, 12, 25)},
    HolidayRecord{"Summer", 1, QDate(2024, 8, 1), QDate(2024, 8, 14)}};

/// An alarm block with every field given, the message lines last.
QByteArray alarmBlock(const QByteArray& name, const QByteArray& message,
                      const QByteArray& end = "Alarm end\n")
{
    return "Alarm\n" + name + "\n1\n2024\n06\n05\n07\n30\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n" +
           message + end;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

int modeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class TestEventFiles : public QObject
{
    Q_OBJECT
private slots:
    void workedExamples()
    {
        AlarmRecord call = test::alarm("Morning 2024-05-06 07:30 on 0111110");
        call.name = "Morning call";
        call.message = "Get up\nand go";
        call.repeatRange = 1;
        call.repeatMeasure = Days;
        const events::WorkCentres centres{QPoint(100, 100), QPoint(100, 160), QPoint(100, 220),
                                          QPoint(100, 280)};
        const QByteArray centresFile = "100\n100\n100\n160\n100\n220\n100\n280\n";
        QCOMPARE(events::formatAlarms({call}), morningCallFile);
        QCOMPARE(events::formatTimers({teaBreak()}), teaBreakFile);
        QCOMPARE(events::formatWorkTimers(centres), centresFile);
        QCOMPARE(events::formatWorkSchedule(schedule), scheduleFile);
        QCOMPARE(readBytes(morningCallFile, events::readAlarms), QList<AlarmRecord>{call});
        QCOMPARE(readBytes(teaBreakFile, events::readTimers), QList<TimerEntry>{teaBreak()});
        QCOMPARE(readBytes(centresFile, events::readWorkTimers), centres);
        QCOMPARE(readBytes(scheduleFile, events::readWorkSchedule), schedule);

        // A flag is on only when exactly 1; a short or damaged file fills the rest with zeros.
        AlarmRecord flags = test::alarm("X 2024-05-06 07:30 off");
        flags.message.clear();
        flags.repeatRange = -3;
        flags.days = {true, false, false, false, false, true, true};
        QCOMPARE(readBytes("Alarm\nX\n2\n2024\n06\n05\n07\n30\n-3\n0\n1\n-1\n2\n0\n11\n01\n 1\n0\n"
                           "Alarm end\n",
                           events::readAlarms),
                 QList<AlarmRecord>{flags});
        QCOMPARE(readBytes(QByteArray("5\r\n-7\r\nx\n3"), events::readWorkTimers),
                 (events::WorkCentres{QPoint(5, -7), QPoint(0, 3), QPoint(), QPoint()}));
    }

    // Expected: name, "-" when off or without a moment, message; "|" between alarms.
    void alarmsAreReadTolerantly_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("crlf message lines keep their breaks, blanks kept")
            << alarmBlock("A", " Get up\r\n\r\nand go \r\n") << "A: Get up\n\nand go ";
        QTest::newRow("missing end mid-file: later alarms are read")
            << alarmBlock("A", "one\n", "") + alarmBlock("B", "two\n") + alarmBlock("C", "")
            << "A:one|B:two|C:";
        QTest::newRow("file ends before the end: blocks in the message are read")
            << alarmBlock("A", "one\nAlarm\nB\nx\n", "") << "A:|B-:";
        QTest::newRow("message line Alarm not followed by fields")
            << alarmBlock("A", "Alarm\nx\n1\n2024\nMay\n") + alarmBlock("B", "")
            << "A:Alarm\nx\n1\n2024\nMay|B:";
    }
    void alarmsAreReadTolerantly()
    {
        QFETCH(QByteArray, file);
        QStringList got;
        for (const AlarmRecord& a : readBytes(file, events::readAlarms))
            got << a.name + (a.enabled && a.date.isValid() ? ":" : "-:") + a.message;
        QTEST(got.join('|'), "expected");
    }

    void alarmsRoundTrip_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("lines that look like markers")
            << "before\nAlarm end\nAlarm\n\\Alarm end\n\\\\Alarm\nAlarm end \nAlarm\n1\n2\n3\n4\n"
               "5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16\n17";
        QTest::newRow("empty lines, blanks, trailing break") << "  a\n\n\nb \n";
        QTest::newRow("non-latin text") << QString::fromUtf8("Встреча 🎉\n日本語\n한국어");
    }
    void alarmsRoundTrip()
    {
        QFETCH(QString, message);
        AlarmRecord written = test::alarm("M 2030-01-31 01:02");
        written.message = message;
        const QList<AlarmRecord> both{written, test::alarm("Next 2024-01-01 00:00")};
        const QByteArray file = events::formatAlarms(both);
        QVERIFY(!file.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(readBytes(file, events::readAlarms), both);
    }

    void workSchedule_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<HolidayRecord>>("expected");
        QTest::newRow("blank lines at the end") << scheduleFile + "\n \r\n\t\n" << schedule;
        QTest::newRow("crlf, legacy 8-bit, impossible date")
            << QByteArray("F\xeate\r\nv\r\n2023\r\n29\r\n02\r\n2024\r\n29\r\n02\r\n")
            << QList<HolidayRecord>{
                   HolidayRecord{QString::fromUtf8("Fête"), 0, QDate(), QDate(2024, 2, 29)}};
        // A line break in a name must not shift every later field.
        const HolidayRecord c{"C", 0, QDate(), QDate(2025, 1, 3)};
        QTest::newRow("name of two lines")
            << events::formatWorkSchedule({HolidayRecord{" A\nB ", 1, QDate(2025, 1, 2), {}}, c})
            << QList<HolidayRecord>{HolidayRecord{"A B", 1, QDate(2025, 1, 2), QDate()}, c};
    }
    void workSchedule()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<HolidayRecord>, expected);
        const QList<HolidayRecord> got = readBytes(file, events::readWorkSchedule);
        QCOMPARE(got, expected);
        QCOMPARE(readBytes(events::formatWorkSchedule(got), events::readWorkSchedule), expected);
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("windows-1252")
            << QByteArray("\x80\x8a\x9f\xa0\xe4\xff") << QString::fromUtf8("€ŠŸ\u00a0äÿ");
        QTest::newRow("other lines stay UTF-8")
            << QByteArray("Gr\xc3\xbc\xc3\x9f\r\nF\xeate\n\n\xe2\x82\xac")
            << QString::fromUtf8("Grüß\r\nFête\n\n€");
        QTest::newRow("sequence cut at the line end")
            << QByteArray("\xe2\x82\n\xe2\x82\xac\n") << QString::fromUtf8("â‚\n€\n");
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QTEST(events::decodeText(bytes), "text");
    }

    void writesFailOnAFullDevice()
    {
        // Small writes stay in Qt's buffer: only the flush fails.
        for (const int bytes : {100, 100000}) {
            QFile full("/dev/full");
            QString error;
            QVERIFY(full.open(QIODevice::WriteOnly) &&
                    !files::writeFully(full, QByteArray(bytes, 'x'), &error));
            QVERIFY2(error.contains("No space left"), qPrintable(error));
        }
        QFile null("/dev/null"); // cannot be synced, and loses nothing by it
        QVERIFY(null.open(QIODevice::WriteOnly) && files::writeFully(null, "x"));
    }

    // The data folder: stale temporaries of interrupted saves go, access is narrowed to its
    // owner, and a copy kept aside is made once per file and never overwritten.
    void dataFolder()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath(".Tidra/");
        QVERIFY(QDir().mkdir(folder) && files::saveFile(tmp.filePath("outside"), "x"));
        // Words, a digit, too long, kept aside, not ours, the file itself.
        const QStringList kept{"Alarms",     "Alarms.BACKUP", "Alarms.Backup",  "Alarms.backup",
                               "Alarms.bak", "Alarms.zGCsb1", "Alarms.zGCsbVx", "Notes.zGCsbV"};
        for (const QString& name : kept + QStringList{"Alarms.zGCsbV", "WorkSchedule.aBcDeF"})
            QVERIFY(files::saveFile(folder + name, "x"));
        QCOMPARE(modeOf(folder + "Alarms"), 0600);
        QCOMPARE(files::removeStaleTemporaries(folder, {"Alarms", "WorkSchedule"}), 2);
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), kept);

        // name, mode before, mode after
        const QList<std::tuple<QString, int, int>> entries{
            {"", 0775, 0700},    {"Alarms", 0644, 0600}, {"Timers", 0666, 0600},
            {"Run", 0755, 0700}, {"Mine", 0400, 0400},   {"../outside", 0644, 0644}};
        QVERIFY(QFile::link(tmp.filePath("outside"), folder + "link")); // not followed
        for (const auto& [name, before, after] : entries)
            QVERIFY((name.isEmpty() || files::saveFile(folder + name, "x")) &&
                    ::chmod(QFile::encodeName(folder + name), before) == 0);
        files::makePrivate(folder);
        for (const auto& [name, before, after] : entries)
            QCOMPARE(modeOf(folder + name), after);

        const QString path = folder + "Timers";
        QCOMPARE(files::keepAside(path), path + ".bak");
        QCOMPARE(files::keepAside(path), path + ".bak"); // the same file is kept once
        QVERIFY(files::saveFile(path, "second"));
        QCOMPARE(files::keepAside(path), path + ".bak.2");
        QVERIFY(files::saveFile(path, "third"));
        QCOMPARE(readAll(path + ".bak") + readAll(path + ".bak.2"), QByteArray("xsecond"));
        QCOMPARE(files::keepAside(folder + "missing"), QString());
    }
};

TIDRA_RULES_TEST_MAIN(TestEventFiles)
#include "tst_eventfiles.moc"
