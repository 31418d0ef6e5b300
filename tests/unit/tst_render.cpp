#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

#include <QDir>
#include <QFile>

using td::TimeParts;

namespace {

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

const auto parts = [](auto... a) { return td::test::timeParts(a...); };

// One row per line of `table`: "name | field | field ...".
void addRows(const char* table)
{
    QTest::addColumn<QStringList>("f");
    for (const QString& line : QString(table).split('\n', Qt::SkipEmptyParts)) {
        QStringList f = line.split('|');
        for (QString& s : f)
            s = s.trimmed();
        QTest::newRow(qPrintable(f.takeFirst())) << f;
    }
}

// The skins we ship, loaded the way the program loads them.
const QList<QObject*>& shipped()
{
    static const QList<QObject*> plugins = td::loadFontPlugins(TIDRA_BUILD_DIR);
    return plugins;
}

// Puts `what` into `folder` as file number `i`: a built test plug-in
// ("testfont", "notafont", "unresolved"), a text file, a file that only looks
// like a library, or a subfolder.
bool place(const QString& folder, const QString& what, int i)
{
    QDir().mkpath(folder);
    const QString target = QString("%1/%2-%3").arg(folder, what).arg(i);
    if (what == "subfolder")
        return QDir().mkpath(target + ".so");
    const QDir built(TIDRA_BUILD_DIR "/testplugins");
    const QStringList hits = built.entryList({what + ".*"}, QDir::Files);
    if (!hits.isEmpty())
        return QFile::copy(built.absoluteFilePath(hits.first()), target + ".so");
    QFile file(target + (what == "garbage" ? ".so" : ".txt"));
    return file.open(QIODevice::WriteOnly) && file.write("\177ELF not really") > 0;
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT
private slots:
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
        const QSize size = td::renderTime(QList<QObject*>{&font}, "fake",
                                          parts(n(0), n(1), n(2), n(3), n(4), n(5), v.size() > 6))
                               .size();
        QCOMPARE(QString("%1x%2").arg(size.width()).arg(size.height()), f[1]);
    }

    // Names match whole and by case, the first of equal names wins; a
    // missing default falls back to the first font, never to a non-font.
    // "1" and nine zeros make a 100-pixel image (4 + 6 + 90), scaled by the
    // font size; a skin drawn at 2x yields the same layout with twice the pixels.
    void skinChoice()
    {
        QObject notAFont;
        FakeFont alpha("alpha"), beta("beta", 2.0), beta2("beta");
        const QList<QObject*> plugins{&notAFont, &alpha, &beta, &beta2};
        QCOMPARE(td::findFontPlugin(plugins, "beta"), td::fontInterface(&beta));
        QCOMPARE(td::findFontPlugin(plugins, "Alpha"), nullptr);
        QCOMPARE(td::displayFont(plugins, "Alpha"), td::fontInterface(&alpha));
        QVERIFY(td::renderTime(plugins, "Alpha", parts(-1, -1, -1, 1, 2, -1)).isNull());
        const TimeParts time = parts(-1, -1, -1, -1, -1, 1000000000);
        for (const auto& [fontSize, ratio, width] : {std::tuple{0, 1.0, 40}, {2, 2.0, 99}}) {
            const QImage image = td::renderForDisplay(plugins, "missing", time, fontSize, ratio);
            QCOMPARE(image.devicePixelRatio(), ratio);
            QCOMPARE(image.width(), qRound(width * ratio));
            QVERIFY(qAbs(image.height() - 20 * image.width() / 100) <= 1);
            QCOMPARE(td::renderForDisplay(plugins, "beta", time, fontSize, ratio).size(),
                     image.size());
        }
    }

    // In the skins folder ("-": none) | in the program's folder | how many
    // load | the fonts among them. A plug-in without the interface is listed;
    // one missing a symbol, loaded lazily, would end the process on first use.
    void load_data()
    {
        addRows(R"(
empty skins folder     |                                            | testfont      | 0 |
no skins folder        | -                                          | testfont text | 1 | testfont
mixed                  | text notafont testfont garbage subfolder   |               | 2 | testfont
missing a symbol       | unresolved testfont                        |               | 1 | testfont)");
    }
    void load()
    {
        QFETCH(QStringList, f);
        const QStringList inSkins = f[0].split(' ', Qt::SkipEmptyParts);
        QTemporaryDir program;
        const QString skins = program.filePath("skins");
        if (f[0] != "-")
            QVERIFY(QDir().mkpath(skins));
        for (int i = 0; i < inSkins.size() && f[0] != "-"; ++i) {
            QVERIFY(place(skins, inSkins[i], i));
            // A refused library is named in the log.
            if (inSkins[i] == "unresolved" || inSkins[i] == "garbage")
                QTest::ignoreMessage(QtWarningMsg,
                                     QRegularExpression(QString("^Skin .*/skins/%1-%2\\.so not "
                                                                "loaded: ")
                                                            .arg(inSkins[i])
                                                            .arg(i)));
        }
        const QStringList inProgram = f[1].split(' ', Qt::SkipEmptyParts);
        for (int i = 0; i < inProgram.size(); ++i)
            QVERIFY(place(program.path(), inProgram[i], i));
        const QList<QObject*> plugins = td::loadFontPlugins(program.path());
        QStringList names;
        for (QObject* plugin : plugins)
            if (td::FontPluginInterface* font = td::fontInterface(plugin))
                names << font->name();
        QCOMPARE(QString::number(plugins.size()) + " " + names.join(' '), f[2] + " " + f[3]);
    }

    void shippedSkins()
    {
        QStringList names;
        for (QObject* plugin : shipped())
            names << td::fontInterface(plugin)->name();
        // Names are what the settings store; the file order puts classic
        // first, so it is a new user's default.
        QCOMPARE(names, (QStringList{"classic", "lcd", "ledmatrix"}));
        const QStringList digits = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
        const QStringList captions = {"week", "day", "hour", "min", "sec", "msec"};
        for (const QString& name : names) {
            td::FontPluginInterface* font = td::findFontPlugin(shipped(), name);
            const QSizeF zero = font->symbolPixmap("0").deviceIndependentSize();
            // Drawn finer than the screen, so scaling down keeps them sharp.
            QVERIFY(font->symbolPixmap("0").devicePixelRatio() >= 2);
            for (const QString& key : digits + captions + QStringList{"colon", "slash"}) {
                const QSizeF size = font->symbolPixmap(key).deviceIndependentSize();
                QVERIFY2(!size.isEmpty(), qPrintable(name + " " + key));
                // One height for digits and separators, one width for digits:
                // a ticking number never jitters.
                QVERIFY(captions.contains(key) || size.height() == zero.height());
                QVERIFY(!digits.contains(key) || size.width() == zero.width());
            }
            // Big, with every unit and captions, still fits a small screen.
            QVERIFY(
                td::renderForDisplay(shipped(), name, {12, 6, 23, 59, 59, -1, true}, 2).width() <
                600);
        }
    }

    // The cached picture of a ticking display equals a fresh one, for every
    // shipped skin: seconds and hundredths turn, the hours gain a digit,
    // captions come and go.
    void cachedPictureEqualsFresh()
    {
        for (QObject* plugin : shipped()) {
            const QString skin = td::fontInterface(plugin)->name();
            for (const auto& [fontSize, ratio] : {std::pair{1, 1.0}, std::pair{2, 2.0}}) {
                td::DisplayCache cache;
                for (int step = 0; step < 260; step += 7) {
                    const TimeParts p{
                        -1,        -1,         step < 200 ? 9 : 10,        58 + step / 120,
                        step % 60, step % 100, step % 3 == 0 && step > 100};
                    const QImage cached =
                        td::renderForDisplay(cache, shipped(), skin, p, fontSize, ratio);
                    const QImage fresh = td::renderForDisplay(shipped(), skin, p, fontSize, ratio);
                    QVERIFY(!fresh.isNull());
                    QCOMPARE(cached, fresh);
                    QCOMPARE(cached.devicePixelRatio(), fresh.devicePixelRatio());
                }
            }
        }
    }
};

TIDRA_TEST_MAIN(TestRender)
#include "tst_render.moc"
