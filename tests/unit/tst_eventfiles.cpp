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
using td::test::modeOf;

Q_DECLARE_METATYPE(td::Reminder)

namespace {

/// Copies of a file read only in part, by name suffix: their bytes.
using Copies = QMap<QString, QByteArray>;

const TimerEntry teaBreak{
    TimerRecord("Tea break", TypeStopwatch, QDateTime(QDate(2024, 5, 6), QTime(9, 15))),
    TimerState::CountingUp, true, QPoint(640, 120)};

const QByteArray morningCallFile =
    "Alarm\nMorning call\n1\n2024\n06\n05\n07\n30\n1\n2\n0\n1\n1\n1\n1"
    "\n1\n0\n2\nGet up\nand go\nAlarm end\n";
// The fields every version reads; seconds, milliseconds and state only this one.
const QByteArray teaBreakFields =
    "Timer\nTea break\n1\n2024\n06\n05\n09\n15\n0\n0\n1\n1\n1\n1\n0\n0"
    "\n1\n640\n120\n";
// The last version before timers had sounds of their own wrote one line less.
const QByteArray teaBreakNoSoundFile = teaBreakFields + "0\n0\n2\n-\n0\n-\nTimer end\n";
const QByteArray teaBreakFile = teaBreakFields + "0\n0\n2\n-\n0\n-\n-\nTimer end\n";
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

} // namespace

class TestEventFiles : public QObject
{
    Q_OBJECT
private slots:
    void workedExamples()
    {
        AlarmRecord call = test::onDays({1, 2, 3, 4, 5}, test::monday, QTime(7, 30));
        call.name = "Morning call";
        call.message = "Get up\nand go";
        call.repeatRange = 1;
        call.repeatMeasure = Days;
        const events::WorkCentres centres{QPoint(100, 100), QPoint(100, 160), QPoint(100, 220),
                                          QPoint(100, 280)};
        const QByteArray centresFile = "100\n100\n100\n160\n100\n220\n100\n280\n";
        QCOMPARE(events::formatAlarms({call}), morningCallFile);
        QCOMPARE(events::formatTimers({teaBreak}), teaBreakFile);
        QCOMPARE(events::formatWorkTimers(centres), centresFile);
        QCOMPARE(events::formatWorkSchedule(schedule), scheduleFile);
        QCOMPARE(readBytes(morningCallFile, events::readAlarms), QList<events::AlarmEntry>{call});
        QCOMPARE(readBytes(teaBreakFile, events::readTimers), QList<TimerEntry>{teaBreak});
        // Written before there were seconds and states: the type tells the state.
        QCOMPARE(readBytes(teaBreakFields + "Timer end\n", events::readTimers),
                 QList<TimerEntry>{teaBreak});
        QCOMPARE(readBytes(teaBreakNoSoundFile, events::readTimers), QList<TimerEntry>{teaBreak});
        // A line that is no sound line is the default, and lines of a later version are skipped.
        QCOMPARE(readBytes(teaBreakFields + "0\n0\n2\n-\n0\n-\nbell.ogg\nlater\nTimer end\n",
                           events::readTimers),
                 QList<TimerEntry>{teaBreak});
        QCOMPARE(readBytes(centresFile, events::readWorkTimers), centres);
        QCOMPARE(readBytes(scheduleFile, events::readWorkSchedule), schedule);
        // A short or damaged file fills the rest with zeros.
        QCOMPARE(readBytes(QByteArray("5\r\n-7\r\nx\n3"), events::readWorkTimers),
                 (events::WorkCentres{QPoint(5, -7), QPoint(0, 3), QPoint(), QPoint()}));
    }

    // Seconds, milliseconds, states, hidden windows, "continue after the end", span, pause,
    // laps and a sound of any text come back; a finished timer is never read as paused, a stopwatch
    // has no span.
    void timersRoundTrip()
    {
        TimerEntry down, done;
        down.record = TimerRecord("Down", TypeTimer, test::at("2026-12-07 10:25:21.250"), true);
        down.record.spanSecs = 3600;
        down.pausedAt = test::at("2026-12-07 10:00:05.500");
        down.record.sound = "100%\nTimer end";
        done.record = TimerRecord("Done", TypeTimer, test::at("2026-12-07 10:25:59.999"));
        done.state = TimerState::Finished;
        TimerEntry laps = teaBreak;
        laps.laps = {10, 20};
        const QList<TimerEntry> expected{down, done, laps};
        done.pausedAt = down.pausedAt;
        laps.record.spanSecs = 90;
        QCOMPARE(readBytes(events::formatTimers({down, done, laps}), events::readTimers), expected);
    }

    // Message lines keep their breaks and blanks, crlf too; a lost end mid-file loses no
    // alarm. Expected: name:message, "|" between alarms.
    void alarmsAreReadTolerantly()
    {
        const QList<std::pair<QByteArray, QString>> files{
            {alarmBlock("A", " Get up\r\n\r\nand go \r\n"), "A: Get up\n\nand go "},
            {alarmBlock("A", "one\n", "") + alarmBlock("B", "two\n") + alarmBlock("C", ""),
             "A:one|B:two|C:"}};
        for (const auto& [file, expected] : files) {
            QStringList got;
            for (const events::AlarmEntry& a : readBytes(file, events::readAlarms))
                got << a.record.name + ':' + a.record.message;
            QCOMPARE(got.join('|'), expected);
        }
    }

    // A pending reminder follows its alarm's end line, where readers that do not know it skip
    // it as junk between blocks; a line they would not skip is no reminder.
    void reminderFollowsTheAlarm_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<Reminder>("reminder");
        const qint64 at = QDateTime(QDate(2024, 5, 6), QTime(8, 35), Qt::UTC).toMSecsSinceEpoch();
        QTest::newRow("notification") << QByteArray("2024-05-06T08:35:00.000Z notification 300")
                                      << Reminder{at, RingShow::Notification, 300};
        QTest::newRow("negative delay")
            << QByteArray("2024-05-06T08:35:00Z popup -1") << Reminder{};
    }
    void reminderFollowsTheAlarm()
    {
        QFETCH(QByteArray, line);
        const QByteArray file = morningCallFile + "Reminder " + line + "\n" + alarmBlock("B", "");
        const QList<events::AlarmEntry> read = readBytes(file, events::readAlarms);
        QCOMPARE(read.size(), 2);
        QTEST(read[0].reminder, "reminder");
        QVERIFY(!read[1].reminder.pending() && read[1].record.name == "B");
        QVERIFY(!read[0].reminder.pending() || events::formatAlarms(read) == file);
    }

    // An alarm's message lines that look like markers, its sound, command, uid and calendar survive
    // any text; a line that does not read as one ends them without taking the next block along.
    void alarmExtras()
    {
        AlarmRecord a = test::once({2030, 1, 31}, QTime(1, 2));
        a.message = QString::fromUtf8("before\nAlarm end\nAlarm\n\\Alarm end\n\\\\Alarm\n"
                                      "Alarm end \nAlarm\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n"
                                      "11\n12\n13\n14\n15\n16\n17\nВстреча 🎉 日本語");
        a.sound = "/tmp/100% \"loud\"\r\nbell.ogg";
        a.command = QStringList{"notify-send", "two words", "[\"]", "Grüß"};
        a.uid = "x\ny@host";
        a.calendar = "Team\r\nmeetings";
        const QList<events::AlarmEntry> both{a, test::once({2024, 1, 1}, QTime(0, 0))};
        QCOMPARE(readBytes(events::formatAlarms(both), events::readAlarms), both);
        const QByteArray file = alarmBlock("A", "", "Alarm end\nCommand [1]\nSound s\nSound t\n");
        const QList<events::AlarmEntry> read =
            readBytes(file + alarmBlock("B", ""), events::readAlarms);
        QCOMPARE(read.size(), 2);
        QCOMPARE(read[0].record.command, QStringList());
        QCOMPARE(read[0].record.sound, "s");
        QCOMPARE(read[1].record.name, "B");
    }

    // Blank lines at the end; crlf, legacy 8-bit, an impossible date; a line break in a name
    // must not shift every later field. Each read back after it is written again.
    void workSchedule()
    {
        const HolidayRecord c{"C", 0, QDate(), QDate(2025, 1, 3)};
        const QList<std::pair<QByteArray, QList<HolidayRecord>>> files{
            {scheduleFile + "\n \r\n\t\n", schedule},
            {"F\xeate\r\nv\r\n2023\r\n29\r\n02\r\n2024\r\n29\r\n02\r\n",
             {HolidayRecord{QString::fromUtf8("Fête"), 0, QDate(), QDate(2024, 2, 29)}}},
            {events::formatWorkSchedule({HolidayRecord{" A\nB ", 1, QDate(2025, 1, 2), {}}, c}),
             {HolidayRecord{"A B", 1, QDate(2025, 1, 2), QDate()}, c}}};
        for (const auto& [file, expected] : files) {
            const QList<HolidayRecord> got = readBytes(file, events::readWorkSchedule);
            QCOMPARE(got, expected);
            QCOMPARE(readBytes(events::formatWorkSchedule(got), events::readWorkSchedule),
                     expected);
        }
    }

    // Windows-1252 lines, UTF-8 ones around an 8-bit one.
    void decoding()
    {
        const QList<std::pair<QByteArray, const char*>> texts{
            {"\x80\x8a\x9f\xa0\xe4\xff", "€ŠŸ\u00a0äÿ"},
            {"Gr\xc3\xbc\xc3\x9f\r\nF\xeate\n\n\xe2\x82\xac", "Grüß\r\nFête\n\n€"}};
        for (const auto& [bytes, text] : texts)
            QCOMPARE(events::decodeText(bytes), QString::fromUtf8(text));
    }

    void writesFailOnAFullDevice()
    {
        // A small write stays in Qt's buffer: only the flush fails.
        QFile full("/dev/full");
        QString error;
        QVERIFY(full.open(QIODevice::WriteOnly) && !files::writeFully(full, "x", &error));
        QVERIFY2(error.contains("No space left"), qPrintable(error));
        QFile null("/dev/null"); // cannot be synced, and loses nothing by it
        QVERIFY(null.open(QIODevice::WriteOnly) && files::writeFully(null, "x"));
    }

    // The data folder: stale temporaries of interrupted saves go, access is narrowed to its
    // owner.
    void dataFolder()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath(".Tidra/");
        QVERIFY(QDir().mkdir(folder) && files::saveFile(tmp.filePath("outside"), "x"));
        // Words, a digit, too long, kept aside, not ours, the file itself.
        const QStringList kept{"Alarms",        "Alarms.BACKUP",  "Alarms.bak",
                               "Alarms.zGCsb1", "Alarms.zGCsbVx", "Notes.zGCsbV"};
        for (const QString& name : kept + QStringList{"Alarms.zGCsbV", "WorkSchedule.aBcDeF"})
            QVERIFY(files::saveFile(folder + name, "x"));
        QCOMPARE(modeOf(folder + "Alarms"), 0600);
        QCOMPARE(files::removeStaleTemporaries(folder, {"Alarms", "WorkSchedule"}), 2);
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), kept);

        // name, mode before, mode after
        const QList<std::tuple<QString, int, int>> entries{
            {"", 0775, 0700}, {"Timers", 0666, 0600}, {"../outside", 0644, 0644}};
        QVERIFY(QFile::link(tmp.filePath("outside"), folder + "link")); // not followed
        for (const auto& [name, before, after] : entries)
            QVERIFY((name.isEmpty() || files::saveFile(folder + name, "x")) &&
                    ::chmod(QFile::encodeName(folder + name), before) == 0);
        files::makePrivate(folder);
        for (const auto& [name, before, after] : entries)
            QCOMPARE(modeOf(folder + name), after);
    }

    void keepAsideKeepsFew_data()
    {
        QTest::addColumn<Copies>("before");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<Copies>("after");
        const Copies three{{".bak", "a"}, {".bak.2", "b"}, {".bak.3", "c"}};
        QTest::newRow("same bytes as the oldest") << three << QByteArray("a") << ".bak" << three;
        QTest::newRow("a fourth: the oldest goes")
            << three << QByteArray("d") << ".bak.4"
            << Copies{{".bak.2", "b"}, {".bak.3", "c"}, {".bak.4", "d"}};
        QTest::newRow("numbers go on past a gap")
            << Copies{{".bak.2", "b"}, {".bak.4", "d"}} << QByteArray("e") << ".bak.5"
            << Copies{{".bak.2", "b"}, {".bak.4", "d"}, {".bak.5", "e"}};
        QTest::newRow("twins of an older run: the newer stays")
            << Copies{{".bak", "a"}, {".bak.2", "b"}, {".bak.3", "b"}} << QByteArray("c")
            << ".bak.4" << Copies{{".bak", "a"}, {".bak.3", "b"}, {".bak.4", "c"}};
        const Copies notOurs{{".bak.1", "z"}, {".bak.02", "z"}, {".bak.x", "z"}, {".backup", "z"}};
        Copies notOursAfter = notOurs;
        notOursAfter.insert(".bak", "z");
        QTest::newRow("names not ours are left alone")
            << notOurs << QByteArray("z") << ".bak" << notOursAfter;
    }
    void keepAsideKeepsFew()
    {
        QFETCH(Copies, before);
        QFETCH(QByteArray, file);
        QFETCH(QString, kept);
        QFETCH(Copies, after);
        QTemporaryDir tmp;
        const QString path = tmp.filePath("Alarms");
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QVERIFY(files::saveFile(path + it.key(), it.value()));
        QVERIFY(files::saveFile(path, file));
        QCOMPARE(files::keepAside(path), path + kept);
        Copies got;
        for (const QString& name : QDir(tmp.path()).entryList(QDir::Files))
            if (name != "Alarms")
                got.insert(name.mid(6), td::test::fileBytes(tmp.filePath(name)));
        QCOMPARE(got, after);
        QCOMPARE(td::test::fileBytes(path), file);
    }
};

TIDRA_RULES_TEST_MAIN(TestEventFiles)
#include "tst_eventfiles.moc"
