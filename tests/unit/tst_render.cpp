#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

using td::TimeParts;
Q_DECLARE_METATYPE(td::TimeParts)

namespace {

class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    explicit FakeFont(QString fontName, qreal ratio = 1.0) : fontName(std::move(fontName))
    {
        // Digits are 10 x 20 except the narrow "1", so a wrong digit shows in the
        // width; caption widths straddle a one- and a two-digit number.
        QHash<QString, QSize> sizes = {{"week", {30, 8}},  {"day", {14, 8}},  {"hour", {8, 8}},
                                       {"min", {12, 8}},   {"sec", {16, 8}},  {"msec", {24, 8}},
                                       {"colon", {4, 20}}, {"slash", {6, 20}}};
        for (int d = 0; d < 10; ++d)
            sizes.insert(QString::number(d), QSize(d == 1 ? 6 : 10, 20));
        for (auto it = sizes.begin(); it != sizes.end(); ++it) {
            QPixmap p(it.value() * ratio);
            p.fill(Qt::black);
            p.setDevicePixelRatio(ratio);
            pictures.insert(it.key(), p);
        }
    }
    QPixmap symbolPixmap(QString key) override { return pictures.value(key); }
    QString name() override { return fontName; }
    QString title() override { return fontName.toUpper(); }

    QString fontName;
    QHash<QString, QPixmap> pictures;
};

const auto parts = [](auto... a) { return td::test::timeParts(a...); };

} // namespace

class TestRender : public QObject
{
    Q_OBJECT
private slots:
    void layoutSize_data()
    {
        QTest::addColumn<TimeParts>("time");
        QTest::addColumn<QSize>("size");
        QTest::newRow("first unit has no leading zero")
            << parts(-1, -1, -1, 5, 9, -1) << QSize(42, 20);
        QTest::newRow("clock units after another get two digits")
            << parts(-1, -1, 1, 5, 9, -1) << QSize(62, 20);
        QTest::newRow("hundredths end without a separator")
            << parts(-1, -1, -1, 0, 7, 3) << QSize(62, 20);
        QTest::newRow("weeks and days never padded, blank slot after days")
            << parts(0, 1, -1, -1, -1, -1) << QSize(32, 20);
        QTest::newRow("gap between days and hours") << parts(-1, 3, 4, 0, -1, -1) << QSize(68, 20);
        QTest::newRow("long spans do not wrap at 32 bits")
            << parts(-1, -1, -1, -1, -1, 3000000000LL) << QSize(104, 20);
        // "week" (30) is wider than "7" (10), "hour" (8) narrower than "04" (20).
        QTest::newRow("captions centred both ways")
            << parts(7, -1, 4, -1, -1, -1, true) << QSize(64, 28);
    }
    void layoutSize()
    {
        QFETCH(TimeParts, time);
        FakeFont font("fake");
        QTEST(td::renderTime(QList<QObject*>{&font}, "fake", time).size(), "size");
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
        auto at = [&](int i) {
            return i < 0 ? nullptr : qobject_cast<td::FontPluginInterface*>(plugins[i]);
        };
        QCOMPARE(td::findFontPlugin(plugins, name), at(found));
        // A missing default falls back to the first font, never to the non-font.
        QCOMPARE(td::displayFont(plugins, name), at(found < 0 ? 1 : found));
        QCOMPARE(td::renderTime(plugins, name, parts(-1, -1, -1, 1, 2, -1)).isNull(), found < 0);
    }

    void displayScaling_data()
    {
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("width"); // device-independent
        QTest::newRow("small") << 0 << 1.0 << 40;
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
