#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

namespace {

const QStringList digitKeys = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const QStringList captionKeys = {"week", "day", "hour", "min", "sec", "msec"};

// The skins we ship, loaded the way the program loads them.
const QList<QObject*>& shipped()
{
    static const QList<QObject*> plugins = td::loadFontPlugins(TIDRA_BUILD_DIR);
    return plugins;
}

td::FontPluginInterface* skin(const QString& name)
{
    return td::findFontPlugin(shipped(), name);
}

// How much of a picture is ink (alpha above half).
double inkShare(const QPixmap& p)
{
    const QImage image = p.toImage().convertToFormat(QImage::Format_ARGB32);
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ink += qAlpha(image.pixel(x, y)) > 127;
    }
    return double(ink) / (image.width() * image.height());
}

} // namespace

class TestPluginSkins : public QObject
{
    Q_OBJECT
private slots:
    void shippedSkins()
    {
        QStringList names;
        for (QObject* plugin : shipped()) {
            td::FontPluginInterface* font = td::fontInterface(plugin);
            QVERIFY(font);
            names << font->name();
        }
        // Names are what the settings store; the file order puts classic first,
        // so it is a new user's default.
        QCOMPARE(names, (QStringList{"classic", "lcd", "ledmatrix"}));
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("classic") << "classic";
        QTest::newRow("lcd") << "lcd";
        QTest::newRow("ledmatrix") << "ledmatrix";
    }
    void pictures()
    {
        QFETCH(QString, name);
        td::FontPluginInterface* font = skin(name);
        QVERIFY(font);

        const QPixmap zero = font->symbolPixmap("0");
        QVERIFY(!zero.isNull());
        // Drawn finer than the screen, so scaling down keeps them sharp.
        QVERIFY(zero.devicePixelRatio() >= 2);
        const QSizeF digit = zero.deviceIndependentSize();
        for (const QString& key : digitKeys + QStringList{"colon", "slash"}) {
            const QPixmap p = font->symbolPixmap(key);
            QVERIFY2(!p.isNull(), qPrintable(key));
            QCOMPARE(p.devicePixelRatio(), zero.devicePixelRatio());
            // Digits and separators share one height, digits one width too,
            // so a ticking number never jitters.
            QCOMPARE(p.deviceIndependentSize().height(), digit.height());
            if (digitKeys.contains(key))
                QCOMPARE(p.deviceIndependentSize().width(), digit.width());
            QVERIFY2(inkShare(p) > 0.01, qPrintable(key));
        }
        const qreal captionHeight = font->symbolPixmap("week").deviceIndependentSize().height();
        QVERIFY(captionHeight > 0 && captionHeight < digit.height() / 2);
        for (const QString& key : captionKeys) {
            const QPixmap p = font->symbolPixmap(key);
            QVERIFY2(!p.isNull(), qPrintable(key));
            QCOMPARE(p.deviceIndependentSize().height(), captionHeight);
            QVERIFY2(inkShare(p) > 0.01, qPrintable(key));
        }
        // Distinct digits look distinct.
        QSet<QByteArray> looks;
        for (const QString& key : digitKeys) {
            const QImage image = font->symbolPixmap(key).toImage();
            looks.insert(
                QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        }
        QCOMPARE(looks.size(), 10);
        // An unknown key gives nothing rather than a wrong picture.
        QVERIFY(font->symbolPixmap("x").isNull());
        // Big, with every unit and captions, still fits a small screen.
        const td::TimeParts full{12, 6, 23, 59, 59, -1, true};
        QVERIFY(td::renderForDisplay(shipped(), name, full, 2).width() < 600);
    }
};

TIDRA_TEST_MAIN(TestPluginSkins)
#include "tst_pluginskins.moc"
