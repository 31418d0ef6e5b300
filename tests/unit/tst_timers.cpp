// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ClockWatch.h"
#include "common/Clock.h"
#include "common/WakePlan.h"
#include "common/WallTimer.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/TimerMath.h"
#include "timers/TimerPlacement.h"

#include <QDir>
#include <QFile>
#include <memory>

using namespace td;
using namespace td::timermath;
using namespace td::wake;

Q_DECLARE_METATYPE(td::TimerRecord)
Q_DECLARE_METATYPE(td::TimeParts)
Q_DECLARE_METATYPE(td::timermath::TickAction)

namespace {

using td::test::at;

enum Shown { Weeks = 1, Days = 2, Hours = 4, Mins = 8, Secs = 16, Hundredths = 32 };

/// A display format named "custom": the Custom units `shown`, or another `format`.
TimerRecord custom(int shown, int format = FormatCustom)
{
    TimerRecord r;
    r.name = "custom";
    r.format = format;
    r.weekFormat = shown & Weeks;
    r.dayFormat = shown & Days;
    r.hourFormat = shown & Hours;
    r.minFormat = shown & Mins;
    r.secFormat = shown & Secs;
    r.msecFormat = shown & Hundredths;
    return r;
}

// Digits 10 x 20 except the narrow "1", so a wrong digit shows in the width;
// caption widths straddle a one- and a two-digit number.
class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    explicit FakeFont(QString name, qreal ratio = 1.0) : fontName(std::move(name)), ratio(ratio) {}
    QPixmap symbolPixmap(QString key) override
    {
        static const QHash<QString, QSize> sizes = {
            {"week", {30, 8}}, {"day", {14, 8}},  {"hour", {8, 8}},   {"min", {12, 8}},
            {"sec", {16, 8}},  {"msec", {24, 8}}, {"colon", {4, 20}}, {"slash", {6, 20}}};
        QPixmap p(sizes.value(key, QSize(key == "1" ? 6 : 10, 20)) * ratio);
        p.fill(Qt::black);
        p.setDevicePixelRatio(ratio);
        return p;
    }
    QString name() override { return fontName; }
    QString title() override { return fontName.toUpper(); }
    QString fontName;
    qreal ratio;
};

// Puts `what` into `folder` as file number `i`: a built test plug-in
// ("notafont", "unresolved"), a shipped skin, a text file, a file that only
// looks like a library, or a subfolder.
bool place(const QString& folder, const QString& what, int i)
{
    const QString target = QString("%1/%2-%3").arg(folder, what).arg(i);
    if (what == "subfolder")
        return QDir().mkpath(target + ".so");
    for (const QString built : {"/testplugins/", "/skins/"})
        if (QFile::exists(TIDRA_BUILD_DIR + built + what + ".so"))
            return QFile::copy(TIDRA_BUILD_DIR + built + what + ".so", target + ".so");
    QFile file(target + (what == "garbage" ? ".so" : ".txt"));
    return file.open(QIODevice::WriteOnly) && file.write("\177ELF not really") > 0;
}

// A moment with odd milliseconds, so phases and grids show.
constexpr qint64 T = 1'781'000'000'437;

/// When a running timer window, shown or not, next ticks at T.
qint64 timerAt(bool shown, bool countingDown, qint64 moment, Unit unit = Unit::Seconds)
{
    return timerWake({true, shown, countingDown, moment != 0, moment, unit}, T);
}

} // namespace

class TestTimers : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clock::reset(); }

    // Berlin changes its clocks on 31 March and 27 October 2024. In autumn 25 real hours are
    // one calendar day (24.5 hours left, the next day's noon is later than the end); without
    // days the hours are those that really pass. The spring day has 23 hours and is still a
    // day. 99 weeks in hundredths overflow 32 bits.
    void tick_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("countingDown");
        QTest::addColumn<TimerRecord>("format"); // null: the counts before formatting
        QTest::addColumn<TickAction>("action");
        QTest::addColumn<TimeParts>("parts");
        const auto row = [](const char* name, const char* moment, const char* now, bool down,
                            const TimerRecord& format, TickAction action, const TimeParts& parts) {
            QTest::newRow(name) << at(moment) << at(now) << down << format << action << parts;
        };
        const TimerRecord raw, shortFormat = custom(0, FormatShort), full = custom(0, FormatFull);
        const auto Down = TickAction::CountDown, Up = TickAction::CountUp;
        const TimeParts none;
        row("end equals now is not past", "2026-06-10 10:00", "2026-06-10 10:00", true, raw, Down,
            TimeParts{0, 0, 0, 0, 0, 0});
        row("a ms past ends", "2026-06-10 10:00", "2026-06-10 10:00:00.001", true, raw,
            TickAction::Finish, none);
        row("past, stopwatch", "2026-06-10 10:00", "2026-06-10 10:01:01.234", false, raw, Up,
            TimeParts{0, 0, 0, 1, 1, 23});
        row("no moment", "", "2026-06-10 10:00", true, raw, TickAction::Finish, none);
        row("hundredths of 99 weeks", "2027-11-25 00:00", "2026-01-01 00:00", true,
            custom(Hundredths), Down, TimeParts{-1, -1, -1, -1, -1, 5987520000, true});
        row("autumn, down", "2024-10-27 11:30", "2024-10-26 12:00:07", true, full, Down,
            TimeParts{0, 0, 24, 29, 53, -1});
        row("autumn, up, hours", "2024-10-26 11:00", "2024-10-28 11:00", false,
            custom(Hours | Mins | Secs), Up, TimeParts{-1, -1, 49, 0, 0, -1, true});
        row("spring, a day", "2024-03-31 12:00", "2024-03-30 12:00", true, shortFormat, Down,
            TimeParts{0, 1, -1, -1, -1, -1});
        row("spring, up, min, hundredths", "2024-03-30 12:00", "2024-03-31 12:00:00.500", false,
            custom(Mins | Hundredths), Up, TimeParts{-1, -1, -1, 1380, -1, 50, true});
        row("spring, days and hours", "2024-04-07 12:00", "2024-03-30 13:00", true,
            custom(Days | Hours), Down, TimeParts{-1, 7, 23, -1, -1, -1, true});
    }
    void tick()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QDateTime, now);
        QFETCH(bool, countingDown);
        QFETCH(TimerRecord, format);
        const Tick t = timermath::tick(moment, now, countingDown, dayUnits(format));
        QTEST(t.action, "action");
        if (t.action != TickAction::Finish)
            QTEST(format.name.isNull() ? t.counts : applyFormat(t.counts, format, false), "parts");
    }

    // Taken places are left free; beside the preferred place first, below on a tie; a cascade
    // when there is no room.
    void freePlace_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<QRect>>("taken");
        QTest::addColumn<QPoint>("preferred");
        QTest::addColumn<QPoint>("place");
        const QRect desktop(0, 0, 800, 600), small(0, 0, 400, 300), there(300, 250, 200, 100);
        const QSize window(200, 100), large(300, 200);
        QTest::newRow("taken: nearest beside it, below on a tie")
            << desktop << window << QList{there} << QPoint(300, 250) << QPoint(300, 354);
        QTest::newRow("below and above taken too: right on a tie")
            << desktop << window
            << QList{there, there.translated(0, 104), there.translated(0, -104)} << QPoint(300, 250)
            << QPoint(504, 250);
        QTest::newRow("no room: cascade past the steps taken")
            << small << large << QList{QRect(50, 50, 300, 200), QRect(74, 74, 300, 200)}
            << QPoint(50, 50) << QPoint(98, 98);
        QTest::newRow("no room: cascade wraps round")
            << small << large << QList{QRect(100, 100, 300, 200)} << QPoint(100, 100)
            << QPoint(23, 23);
        QTest::newRow("inside an area with a panel")
            << QRect(0, 30, 800, 570) << QSize(900, 100) << QList<QRect>{} << QPoint(-50, 0)
            << QPoint(0, 30);
    }
    void freePlace()
    {
        QFETCH(QRect, area);
        QFETCH(QSize, size);
        QFETCH(QList<QRect>, taken);
        QFETCH(QPoint, preferred);
        QTEST(td::freePlace(area, size, taken, preferred), "place");
    }

    // The first unit is unpadded, clock units after another get two digits, weeks and days
    // never; hundredths end without a separator. "week" (30) is
    // wider than "7" (10), "hour" (8) narrower than "04".
    void layoutSize_data()
    {
        QTest::addColumn<TimeParts>("parts");
        QTest::addColumn<QSize>("size");
        QTest::newRow("clock units padded") << TimeParts{-1, -1, 1, 5, 9, -1} << QSize(62, 20);
        QTest::newRow("hundredths") << TimeParts{-1, -1, -1, 0, 7, 3} << QSize(62, 20);
        QTest::newRow("weeks and days never padded")
            << TimeParts{0, 1, -1, -1, -1, -1} << QSize(32, 20);
        QTest::newRow("no wrap at 32 bits")
            << TimeParts{-1, -1, -1, -1, -1, 3000000000} << QSize(104, 20);
        QTest::newRow("captions centred both ways")
            << TimeParts{7, -1, 4, -1, -1, -1, true} << QSize(64, 28);
    }
    void layoutSize()
    {
        QFETCH(TimeParts, parts);
        FakeFont font("fake");
        QTEST(td::renderTime(QList<QObject*>{&font}, "fake", parts).size(), "size");
    }

    // Names match whole and by case, the first of equal names wins; a
    // missing default falls back to the first font, never to a non-font.
    // "1" and nine zeros make a 100-pixel image (4 + 6 + 90), scaled by the
    // font size (99 at size 2); a skin drawn at 2x yields the same layout with twice the pixels.
    void skinChoice()
    {
        QObject notAFont;
        FakeFont alpha("alpha"), beta("beta", 2.0), beta2("beta");
        const QList<QObject*> plugins{&notAFont, &alpha, &beta, &beta2};
        QCOMPARE(td::findFontPlugin(plugins, "beta"), td::fontInterface(&beta));
        QCOMPARE(td::findFontPlugin(plugins, "Alpha"), nullptr);
        QCOMPARE(td::displayFont(plugins, "Alpha"), td::fontInterface(&alpha));
        QVERIFY(td::renderTime(plugins, "Alpha", TimeParts{-1, -1, -1, 1, 2, -1}).isNull());
        const TimeParts time = TimeParts{-1, -1, -1, -1, -1, 1000000000};
        const QImage image = td::renderForDisplay(plugins, "missing", time, 2, 2.0);
        QCOMPARE(image.devicePixelRatio(), 2.0);
        QCOMPARE(image.size(), QSize(198, 40));
        QCOMPARE(td::renderForDisplay(plugins, "beta", time, 2, 2.0).size(), image.size());
    }

    // Files in the skins folder, if there is one, and in the program's folder; the fonts
    // that load, by file name (the first is a new user's default). A plug-in without the
    // interface is loaded but no font; one missing a symbol, loaded lazily, would end the
    // process on first use.
    void load_data()
    {
        QTest::addColumn<bool>("skinsFolder");
        QTest::addColumn<QStringList>("skins");
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QStringList>("fonts");
        const QStringList none;
        QTest::newRow("by file name")
            << true << QStringList{"lcd", "classic"} << none << 2 << QStringList{"classic", "lcd"};
        QTest::newRow("no skins folder")
            << false << none << QStringList{"lcd", "text"} << 1 << QStringList{"lcd"};
        QTest::newRow("mixed") << true
                               << QStringList{"text", "notafont", "lcd", "garbage", "subfolder"}
                               << none << 2 << QStringList{"lcd"};
        QTest::newRow("missing a symbol")
            << true << QStringList{"unresolved", "lcd"} << none << 1 << QStringList{"lcd"};
    }
    void load()
    {
        QFETCH(bool, skinsFolder);
        QFETCH(QStringList, skins);
        QFETCH(QStringList, beside);
        QTemporaryDir program;
        QVERIFY(!skinsFolder || QDir().mkpath(program.filePath("skins")));
        for (int i = 0; i < skins.size(); ++i) {
            QVERIFY(place(program.filePath("skins"), skins[i], i));
            if (skins[i] == "unresolved" || skins[i] == "garbage") // named in the log
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Skin .*/skins/" + skins[i] +
                                                                      "-.* not loaded: "));
        }
        for (int i = 0; i < beside.size(); ++i)
            QVERIFY(place(program.path(), beside[i], i));
        const QList<QObject*> plugins = td::loadFontPlugins(program.path());
        QTEST(int(plugins.size()), "loaded");
        QStringList fonts;
        for (QObject* plugin : plugins)
            if (td::FontPluginInterface* font = td::fontInterface(plugin))
                fonts << font->name();
        QTEST(fonts, "fonts");
    }

    void plan_data()
    {
        QTest::addColumn<qint64>("planned");
        QTest::addColumn<qint64>("expected");
        const auto row = [](const char* name, qint64 planned, qint64 expected) {
            QTest::newRow(name) << planned << expected;
        };
        // Whole days of a count keep the time of day although the day of the change has 23 hours.
        const auto countFor = [](const char* now, int w, int d, int h, int m) {
            return spanEnd(at(now), countForSecs(w, d, h, m)).toMSecsSinceEpoch();
        };
        const auto ms = [](const char* moment) { return at(moment).toMSecsSinceEpoch(); };
        row("count 48 hours, spring", countFor("2026-03-28 12:00", 0, 0, 48, 0),
            ms("2026-03-30 12:00"));
        row("count into the gap", countFor("2026-03-29 01:00", 0, 0, 0, 90),
            ms("2026-03-29 03:30"));
        const qint64 end = T + 5'000'250;
        row("hidden countdown: its end", timerAt(false, true, end, Unit::Hundredths), end + 1);
        row("countdown past its end: at once", timerAt(true, true, T - 5), T);
        // 437 ms now, moment at 687 ms: the count turns at 688 ms.
        row("seconds, counting down", timerAt(true, true, end), T + 251);
        row("started this very ms: the first second", timerAt(true, false, T), T + 1);
        // Frames of 110 ms from the epoch: T is 97 ms into one.
        row("hundredths: next frame", timerAt(true, true, end, Unit::Hundredths), T + 13);
        row("no moment: whole seconds, no end", timerAt(true, true, 0), T - 437 + 1000);
        row("past: armed at once", armDelay(T - 40, T), 0);
        row("far: the safety wake", armDelay(T + 3'600'000, T), SafetyMsecs);
    }
    void plan()
    {
        QFETCH(qint64, planned);
        QFETCH(qint64, expected);
        QCOMPARE(planned, expected);
    }

    // Due timers fire in one pass in the order of their moments; the rest wait,
    // and the one framework timer is armed only while any is pending. The
    // first to fire deletes one due with it and re-arms itself for the next pass.
    void wallTimersAndClockChanges()
    {
        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T));
        QStringList fired;
        std::unique_ptr<WallTimer> t[5];
        const char* names[] = {"early", "late", "soon", "far", "gone"};
        for (int i : {3, 1, 0, 2, 4}) {
            t[i] = std::make_unique<WallTimer>();
            connect(t[i].get(), &WallTimer::timeout, this,
                    [&fired, &names, i] { fired << names[i]; });
            t[i]->startAt(T + QList<qint64>{100, 700, 699, 3'600'000, 300}[i]);
            if (i == 3)
                QCOMPARE(wallclock::armedDelay(), SafetyMsecs);
        }
        connect(t[0].get(), &WallTimer::timeout, this, [&] {
            t[4].reset();
            t[0]->startAt(T + 500);
        });
        QCOMPARE(wallclock::armedDelay(), qint64(100));
        clock::setFixed(QDateTime::fromMSecsSinceEpoch(T + 700));
        wallclock::runDue();
        QCOMPARE(fired, QStringList({"early", "soon", "late"}));
        QVERIFY(t[0]->isActive() && !t[1]->isActive() && t[3]->isActive());
        QCOMPARE(wallclock::armedDelay(), qint64(0));
        // A change of the clock wakes everyone, due or not; the resume from sleep is one, the
        // suspend is not.
        fired.clear();
        t[0]->stop();
        ClockWatch watch;
#ifdef Q_OS_LINUX
        QVERIFY(watch.watchesClockSetting());
#endif
        QSignalSpy spy(&watch, &ClockWatch::changed);
        QMetaObject::invokeMethod(&watch, "prepareForSleep", Q_ARG(bool, true));
        QVERIFY(spy.isEmpty());
        QMetaObject::invokeMethod(&watch, "prepareForSleep", Q_ARG(bool, false));
        QCOMPARE(spy.count(), 1);
        wallclock::clockChanged();
        QCOMPARE(fired, QStringList({"far"}));
        QCOMPARE(wallclock::armedDelay(), qint64(-1));
    }
};

TIDRA_TEST_MAIN(TestTimers)
#include "tst_timers.moc"
