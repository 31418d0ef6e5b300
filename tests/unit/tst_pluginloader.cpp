#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

#include <QDir>
#include <QFile>

namespace {

// The built test plug-in called `base` ("testfont", "notafont").
QString builtPlugin(const QString& base)
{
    const QDir dir(QStringLiteral(TIDRA_BUILD_DIR "/testplugins"));
    const QStringList hits = dir.entryList({base + ".*"}, QDir::Files);
    return hits.isEmpty() ? QString() : dir.absoluteFilePath(hits.first());
}

// Puts one named kind of file into `folder`: a test plug-in, a text file, a
// file that only looks like a library, or a subfolder.
bool place(const QString& folder, const QString& what, int index)
{
    QDir().mkpath(folder);
    const QString target = QString("%1/%2-%3").arg(folder, what).arg(index);
    if (what == "testfont" || what == "notafont")
        return QFile::copy(builtPlugin(what), target + ".so");
    if (what == "subfolder")
        return QDir().mkpath(target + ".so");
    QFile file(what == "garbage" ? target + ".so" : target + ".txt");
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(what == "garbage" ? QByteArray("\x7f"
                                              "ELF not really",
                                              15)
                                 : "hello\n");
    return true;
}

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

class TestPluginLoader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(!builtPlugin("testfont").isEmpty() && !builtPlugin("notafont").isEmpty());
    }

    void load_data()
    {
        QTest::addColumn<bool>("skinsFolder");
        QTest::addColumn<QStringList>("inSkins");
        QTest::addColumn<QStringList>("inProgram");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QStringList>("fonts");

        QTest::newRow("empty skins folder loads nothing")
            << true << QStringList() << QStringList{"testfont"} << 0 << QStringList();
        QTest::newRow("without a skins folder the program folder is listed")
            << false << QStringList() << QStringList{"testfont", "text"} << 1
            << QStringList{"testfont"};
        QTest::newRow("mixed folder: a plug-in without the interface stays listed")
            << true << QStringList{"text", "notafont", "testfont", "garbage", "subfolder"}
            << QStringList() << 2 << QStringList{"testfont"};
    }
    void load()
    {
        QFETCH(bool, skinsFolder);
        QFETCH(QStringList, inSkins);
        QFETCH(QStringList, inProgram);
        QFETCH(int, loaded);
        QFETCH(QStringList, fonts);

        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString skins = program.filePath("skins");
        if (skinsFolder)
            QVERIFY(QDir().mkpath(skins));
        for (int i = 0; i < inSkins.size(); ++i)
            QVERIFY(place(skins, inSkins[i], i));
        for (int i = 0; i < inProgram.size(); ++i)
            QVERIFY(place(program.path(), inProgram[i], i));

        const QList<QObject*> plugins = td::loadFontPlugins(program.path());
        QCOMPARE(plugins.size(), loaded);
        QStringList names;
        for (QObject* plugin : plugins) {
            if (td::FontPluginInterface* font = td::fontInterface(plugin))
                names << font->name();
        }
        QCOMPARE(names, fonts);

        // The non-font plug-in is never drawn with, even when it comes first.
        QCOMPARE(td::displayFont(plugins, "missing") != nullptr, !fonts.isEmpty());
        if (!fonts.isEmpty())
            QCOMPARE(td::displayFont(plugins, "missing")->name(), QString("testfont"));
    }

    void missingProgramFolder()
    {
        QCOMPARE(td::loadFontPlugins(td::test::homePath() + "/no/such/folder").size(), 0);
    }

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

    void shippedPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("classic") << "classic";
        QTest::newRow("lcd") << "lcd";
        QTest::newRow("ledmatrix") << "ledmatrix";
    }
    void shippedPictures()
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

TIDRA_TEST_MAIN(TestPluginLoader)
#include "tst_pluginloader.moc"
