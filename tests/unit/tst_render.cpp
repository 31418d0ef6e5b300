#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

using td::TimeParts;
Q_DECLARE_METATYPE(td::TimeParts)

namespace {

// Every picture is one solid colour, so a scan of one pixel row tells which
// picture lies where. Digits are 10 x 20 except the narrow "1" (6 x 20);
// caption widths straddle a one- and a two-digit number.
struct Symbol
{
    const char* key;
    char tag; // how a row scan shows the picture
    int width;
    int height;
};

const Symbol symbols[] = {
    {"0", '0', 10, 20},    {"1", '1', 6, 20},     {"2", '2', 10, 20},   {"3", '3', 10, 20},
    {"4", '4', 10, 20},    {"5", '5', 10, 20},    {"6", '6', 10, 20},   {"7", '7', 10, 20},
    {"8", '8', 10, 20},    {"9", '9', 10, 20},    {"week", 'W', 30, 8}, {"day", 'D', 14, 8},
    {"hour", 'H', 8, 8},   {"min", 'M', 12, 8},   {"sec", 'S', 16, 8},  {"msec", 'C', 24, 8},
    {"colon", ':', 4, 20}, {"slash", '/', 6, 20},
};

QColor colourOf(int index)
{
    return QColor::fromHsv(index * 19 % 360, 200, 100 + index * 8);
}

class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    explicit FakeFont(QString fontName, qreal ratio = 1.0) : fontName(std::move(fontName))
    {
        for (int i = 0; i < int(std::size(symbols)); ++i) {
            const Symbol& s = symbols[i];
            QPixmap p(QSize(s.width, s.height) * ratio);
            p.fill(colourOf(i));
            p.setDevicePixelRatio(ratio);
            pictures.insert(QString::fromLatin1(s.key), p);
        }
    }
    QPixmap symbolPixmap(QString key) override { return pictures.value(key); }
    QString name() override { return fontName; }
    QString title() override { return fontName.toUpper(); }

    QString fontName;
    QHash<QString, QPixmap> pictures;
};

// A row of the image as runs of pictures: "_4 1x6 :4" is a 4-pixel gap, a
// 6-pixel "1" and a 4-pixel colon; "?" marks a pixel of no picture.
QString rowRuns(const QImage& image, int y)
{
    QString runs;
    char last = 0;
    int length = 0;
    auto flush = [&] {
        if (!length)
            return;
        if (!runs.isEmpty())
            runs += ' ';
        runs += last == '_' || last == ':' || last == '/' ? QString("%1%2").arg(last).arg(length)
                                                          : QString("%1x%2").arg(last).arg(length);
    };
    for (int x = 0; x < image.width(); ++x) {
        const QRgb px = image.pixel(x, y);
        char tag = '?';
        if (qAlpha(px) == 0) {
            tag = '_';
        } else {
            for (int i = 0; i < int(std::size(symbols)); ++i) {
                if (px == colourOf(i).rgba())
                    tag = symbols[i].tag;
            }
        }
        if (tag != last) {
            flush();
            last = tag;
            length = 0;
        }
        ++length;
    }
    flush();
    return runs;
}

TimeParts parts(qint64 w, qint64 d, qint64 h, qint64 m, qint64 s, qint64 hs, bool captions = false)
{
    return td::test::timeParts(w, d, h, m, s, hs, captions);
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT
private slots:
    void layout_data()
    {
        QTest::addColumn<TimeParts>("time");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("captionRow"); // scanned at y = 2
        QTest::addColumn<QString>("digitRow");   // scanned 12 pixels into the digits

        QTest::newRow("first unit has no leading zero")
            << parts(-1, -1, -1, 5, 9, -1) << QSize(42, 20) << QString()
            << "_4 5x10 :4 0x10 9x10 _4";
        QTest::newRow("clock units after another get two digits")
            << parts(-1, -1, 1, 5, 9, -1) << QSize(62, 20) << QString()
            << "_4 1x6 :4 0x10 5x10 :4 0x10 9x10 _4";
        QTest::newRow("hundredths end without a separator")
            << parts(-1, -1, -1, 0, 7, 3) << QSize(62, 20) << QString()
            << "_4 0x10 :4 0x10 7x10 :4 0x10 3x10";
        QTest::newRow("weeks and days never padded, blank slot after days")
            << parts(0, 1, -1, -1, -1, -1) << QSize(32, 20) << QString() << "_4 0x10 /6 1x6 _6";
        QTest::newRow("gap between days and hours")
            << parts(-1, 3, 4, 0, -1, -1) << QSize(68, 20) << QString()
            << "_4 3x10 _6 0x10 4x10 :4 0x20 _4";
        QTest::newRow("long spans do not wrap at 32 bits")
            << parts(-1, -1, -1, -1, -1, 3000000000LL) << QSize(104, 20) << QString()
            << "_4 3x10 0x90";
        // Captions: "week" (30) is wider than "7" (10), so the number is centred
        // under it; "hour" (8) is narrower than "04" (20), so it is centred over it.
        QTest::newRow("captions centred both ways")
            << parts(7, -1, 4, -1, -1, -1, true) << QSize(64, 28) << "_4 Wx30 _12 Hx8 _10"
            << "_14 7x10 _16 0x10 4x10 _4";
        QTest::newRow("caption centring truncates")
            << parts(-1, -1, -1, -1, 1, -1, true) << QSize(24, 28) << "_4 Sx16 _4"
            << "_9 1x6 _9";
    }
    void layout()
    {
        QFETCH(TimeParts, time);
        QFETCH(QSize, size);
        FakeFont font("fake");
        const QImage image = td::renderTime(QList<QObject*>{&font}, "fake", time);
        QCOMPARE(image.size(), size);
        QCOMPARE(image.format(), QImage::Format_ARGB32);
        QCOMPARE(image.pixel(0, 0), qRgba(255, 255, 255, 0));
        if (time.captions)
            QTEST(rowRuns(image, 2), "captionRow");
        QTEST(rowRuns(image, (time.captions ? 8 : 0) + 12), "digitRow");
    }

    void findFontPlugin_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("found"); // index into the list, -1 for none
        QTest::newRow("first of two equal names") << "beta" << 2;
        QTest::newRow("case matters") << "Alpha" << -1;
    }
    void findFontPlugin()
    {
        QFETCH(QString, name);
        QFETCH(int, found);
        QObject notAFont;
        FakeFont alpha("alpha"), beta("beta"), beta2("beta");
        const QList<QObject*> plugins{&notAFont, &alpha, &beta, &beta2};
        QCOMPARE(td::fontInterface(&notAFont), nullptr);
        auto at = [&](int i) {
            return i < 0 ? nullptr : qobject_cast<td::FontPluginInterface*>(plugins[i]);
        };
        QCOMPARE(td::findFontPlugin(plugins, name), at(found));
        // A missing default falls back to the first font, never to the non-font.
        QCOMPARE(td::displayFont(plugins, name), at(found < 0 ? 1 : found));
        QCOMPARE(td::renderTime(plugins, name, parts(-1, -1, -1, 1, 2, -1)).isNull(), found < 0);
        QVERIFY(td::renderForDisplay({&notAFont}, name, parts(-1, -1, 1, 2, 3, -1), 1).isNull());
    }

    void displayScaling_data()
    {
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("width"); // device-independent
        QTest::newRow("small") << 0 << 1.0 << 40;
        QTest::newRow("any other size is big") << 7 << 1.0 << 99;
        QTest::newRow("big on a 2x screen") << 2 << 2.0 << 99;
    }
    void displayScaling()
    {
        QFETCH(int, fontSize);
        QFETCH(qreal, ratio);
        QFETCH(int, width);
        // The default skin is missing, so the first font plug-in draws: the
        // 1x one. "1" and nine zeros make a 100-pixel image (4 + 6 + 90).
        QObject notAFont;
        FakeFont font("fake"), hidpi("hidpi", 2.0);
        const QList<QObject*> plugins{&notAFont, &font, &hidpi};
        const TimeParts time = parts(-1, -1, -1, -1, -1, 1000000000);
        const QImage image = td::renderForDisplay(plugins, "missing", time, fontSize, ratio);
        QCOMPARE(image.devicePixelRatio(), ratio);
        QCOMPARE(image.width(), qRound(width * ratio));
        QVERIFY(qAbs(image.height() - 20 * image.width() / 100) <= 1);
        // A skin drawn at 2x yields the same layout with twice the pixels.
        QCOMPARE(td::renderForDisplay(plugins, "hidpi", time, fontSize, ratio).size(),
                 image.size());
    }
};

TIDRA_TEST_MAIN(TestRender)
#include "tst_render.moc"
