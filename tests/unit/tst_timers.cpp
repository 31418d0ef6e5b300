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

namespace {

using td::test::addRows;
using td::test::at;
using td::test::ints;
using td::test::timeParts;

// "w d h m s hs" with "-" for a hidden unit and " c" when captions are on.
QString str(const TimeParts& p)
{
    QStringList out;
    for (qint64 v : {p.weeks, p.days, p.hours, p.minutes, p.seconds, p.hundredths})
        out << (v < 0 ? QString("-") : QString::number(v));
    return out.join(' ') + (p.captions ? " c" : "");
}

// A display format: "short", "full", or the Custom units shown (w d h m s, c for hundredths).
TimerRecord format(const QString& units)
{
    TimerRecord r;
    r.format = units == "short" ? FormatShort : units == "full" ? FormatFull : FormatCustom;
    bool TimerRecord::*shown[] = {&TimerRecord::weekFormat, &TimerRecord::dayFormat,
                                  &TimerRecord::hourFormat, &TimerRecord::minFormat,
                                  &TimerRecord::secFormat,  &TimerRecord::msecFormat};
    for (int i = 0; i < 6; ++i)
        r.*shown[i] = units.contains("wdhmsc"[i]);
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

// When a timer window next ticks at T. Flags: v shown, d counting down,
// p paused, ? no moment.
qint64 timerAt(const char* flags, qint64 moment, Unit unit = Unit::Seconds)
{
    const QByteArray f(flags);
    return timerWake(
        {!f.contains('p'), f.contains('v'), f.contains('d'), !f.contains('?'), moment, unit}, T);
}

} // namespace

class TestTimers : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { clock::reset(); }

    // moment | now | units | what one tick shows: D counts down, U counts up
    // (a stopwatch), F finishes (a countdown past its end); "raw" is the counts
    // before formatting. Berlin changes its clocks on 31 March and 27 October
    // 2024. In autumn 25 real hours are one calendar day (24.5 hours left, the
    // next day's noon is later than the end); without days the hours are those
    // that really pass. The spring day has 23 hours and is still a day. 99
    // weeks in hundredths overflow 32 bits.
    void tick_data()
    {
        addRows(R"(
end equals now is not past   | 2026-06-10 10:00 | 2026-06-10 10:00              | raw | D 0 0 0 0 0 0
a ms past ends               | 2026-06-10 10:00 | 2026-06-10 10:00:00.001       | raw | F
past, stopwatch              | 2026-06-10 10:00 | 2026-06-10 10:01:01.234       | raw | U 0 0 0 1 1 23
no moment                    |                  | 2026-06-10 10:00              | raw | F
short, hours                 | 2026-06-10 23:59:01.500 | 2026-06-10 00:00       | short | D - - 23 59 1 -
hundredths of 99 weeks       | 2027-11-25 00:00 | 2026-01-01 00:00              | c     | D - - - - - 5987520000 c
autumn, down                 | 2024-10-27 11:30 | 2024-10-26 12:00:07           | full  | D 0 0 24 29 53 -
autumn, up, hours            | 2024-10-26 11:00 | 2024-10-28 11:00              | hms   | U - - 49 0 0 - c
spring, a day                | 2024-03-31 12:00 | 2024-03-30 12:00              | short | D 0 1 - - - -
spring, up, min, hundredths  | 2024-03-30 12:00 | 2024-03-31 12:00:00.500       | mc    | U - - - 1380 - 50 c
spring, days and hours       | 2024-04-07 12:00 | 2024-03-30 13:00              | dh    | D - 7 23 - - - c)");
    }
    void tick()
    {
        QFETCH(QStringList, f);
        const TimerRecord r = format(f[2]);
        const Tick t = timermath::tick(at(f[0]), at(f[1]), !f[3].startsWith('U'), dayUnits(r));
        const QString parts = f[2] == "raw" ? str(t.counts) : str(applyFormat(t.counts, r, false));
        const char* action[] = {"F", "U", "D"};
        QCOMPARE(action[int(t.action)] + (t.action == TickAction::Finish ? QString() : " " + parts),
                 f[3]);
    }

    // area | window size | windows taken | preferred | place, as x y [w h] numbers.
    void freePlace_data()
    {
        addRows(R"(
taken: nearest beside it, below on a tie | 0 0 800 600 | 200 100 | 300 250 200 100 | 300 250 | 300 354
below and above taken too: right on tie  | 0 0 800 600 | 200 100 | 300 250 200 100 300 354 200 100 300 146 200 100 | 300 250 | 504 250
the one gap between two columns          | 0 0 800 600 | 200 100 | 0 0 296 600 504 0 296 600 | 0 0 | 300 0
no room: cascade past the steps taken    | 0 0 400 300 | 300 200 | 50 50 300 200 74 74 300 200 | 50 50 | 98 98
no room: cascade wraps round             | 0 0 400 300 | 300 200 | 100 100 300 200 | 100 100 | 23 23
inside an area with a panel             | 0 30 800 570 | 900 100 |                 | -50 0 | 0 30)");
    }
    void freePlace()
    {
        QFETCH(QStringList, f);
        const QList<int> a = ints(f[0]), s = ints(f[1]), t = ints(f[2]), p = ints(f[3]);
        QList<QRect> taken;
        for (int i = 0; i + 3 < t.size(); i += 4)
            taken << QRect(t[i], t[i + 1], t[i + 2], t[i + 3]);
        const QPoint place = td::freePlace(QRect(a[0], a[1], a[2], a[3]), QSize(s[0], s[1]), taken,
                                           QPoint(p[0], p[1]));
        QCOMPARE(QString("%1 %2").arg(place.x()).arg(place.y()), f[4]);
    }

    // The parts shown ("-" hidden, " c" with captions) | the image size. The
    // first unit is unpadded, clock units after another get two digits, weeks
    // and days never; hundredths end without a separator; days and hours keep
    // a gap. "week" (30) is wider than "7" (10), "hour" (8) narrower than "04".
    void layoutSize_data()
    {
        addRows(R"(
first unit unpadded             | - - - 5 9 -          | 42x20
clock units padded              | - - 1 5 9 -          | 62x20
hundredths                      | - - - 0 7 3          | 62x20
weeks and days never padded     | 0 1 - - - -          | 32x20
gap between days and hours      | - 3 4 0 - -          | 68x20
no wrap at 32 bits              | - - - - - 3000000000 | 104x20
captions centred both ways      | 7 - 4 - - - c        | 64x28)");
    }
    void layoutSize()
    {
        QFETCH(QStringList, f);
        const QStringList v = f[0].split(' ');
        auto n = [&](int i) { return v[i] == "-" ? -1 : v[i].toLongLong(); };
        FakeFont font("fake");
        const QSize size =
            td::renderTime(QList<QObject*>{&font}, "fake",
                           timeParts(n(0), n(1), n(2), n(3), n(4), n(5), v.size() > 6))
                .size();
        QCOMPARE(QString("%1x%2").arg(size.width()).arg(size.height()), f[1]);
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
        QVERIFY(td::renderTime(plugins, "Alpha", timeParts(-1, -1, -1, 1, 2, -1)).isNull());
        const TimeParts time = timeParts(-1, -1, -1, -1, -1, 1000000000);
        const QImage image = td::renderForDisplay(plugins, "missing", time, 2, 2.0);
        QCOMPARE(image.devicePixelRatio(), 2.0);
        QCOMPARE(image.size(), QSize(198, 40));
        QCOMPARE(td::renderForDisplay(plugins, "beta", time, 2, 2.0).size(), image.size());
    }

    // In the skins folder ("-": none) | in the program's folder | how many load and the fonts
    // among them, by file name (the first is a new user's default). A plug-in without the
    // interface is listed; one missing a symbol, loaded lazily, would end the process on
    // first use.
    void load_data()
    {
        addRows(R"(
by file name       | lcd classic                         |          | 2 classic lcd
empty skins folder |                                     | lcd      | 0
no skins folder    | -                                   | lcd text | 1 lcd
mixed              | text notafont lcd garbage subfolder |          | 2 lcd
missing a symbol   | unresolved lcd                      |          | 1 lcd)");
    }
    void load()
    {
        QFETCH(QStringList, f);
        QTemporaryDir program;
        QVERIFY(f[0] == "-" || QDir().mkpath(program.filePath("skins")));
        for (const QString folder : {"skins", ""}) {
            const QStringList items =
                f[folder.isEmpty()].remove('-').split(' ', Qt::SkipEmptyParts);
            for (int i = 0; i < items.size(); ++i) {
                QVERIFY(place(program.filePath(folder), items[i], i));
                if (items[i] == "unresolved" || items[i] == "garbage") // named in the log
                    QTest::ignoreMessage(
                        QtWarningMsg,
                        QRegularExpression("^Skin .*/skins/" + items[i] + "-.* not loaded: "));
            }
        }
        const QList<QObject*> plugins = td::loadFontPlugins(program.path());
        QStringList got{QString::number(plugins.size())};
        for (QObject* plugin : plugins)
            if (td::FontPluginInterface* font = td::fontInterface(plugin))
                got << font->name();
        QCOMPARE(got.join(' '), f[2]);
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
            return countForEnd(at(now), w, d, h, m).toMSecsSinceEpoch();
        };
        const auto ms = [](const char* moment) { return at(moment).toMSecsSinceEpoch(); };
        row("count 90 minutes", countFor("2026-06-10 10:15:42.250", 0, 0, 0, 90),
            ms("2026-06-10 11:45:42.250"));
        row("count 48 hours, spring", countFor("2026-03-28 12:00", 0, 0, 48, 0),
            ms("2026-03-30 12:00"));
        row("count into the gap", countFor("2026-03-29 01:00", 0, 0, 0, 90),
            ms("2026-03-29 03:30"));
        row("step on one: the next", nextStep(3000, 0, 1000), 4000);
        row("step, phase ahead of now", nextStep(2500, 9438, 1000), 3438);
        const qint64 end = T + 5'000'250;
        row("paused", timerAt("vdp", end), Never);
        row("hidden countdown: its end", timerAt("d", end, Unit::Hundredths), end + 1);
        row("countdown past its end: at once", timerAt("vd", T - 5), T);
        // 437 ms now, moment at 687 ms: the count turns at 688 ms.
        row("seconds, counting down", timerAt("vd", end), T + 251);
        row("minutes", timerAt("v", T - 10, Unit::Minutes), T + 60000 - 10);
        row("started this very ms: the first second", timerAt("v", T), T + 1);
        // Frames of 110 ms from the epoch: T is 97 ms into one.
        row("hundredths: next frame", timerAt("vd", end, Unit::Hundredths), T + 13);
        row("end before the next frame", timerAt("vd", T + 1, Unit::Hundredths), T + 2);
        row("no moment: whole seconds, no end", timerAt("vd?", 0), T - 437 + 1000);
        row("nothing pending: no timer", armDelay(Never, T), -1);
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
