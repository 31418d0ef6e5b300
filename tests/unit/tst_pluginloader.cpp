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
    if (what == "testfont" || what == "notafont" || what == "unresolved")
        return QFile::copy(builtPlugin(what), target + ".so");
    if (what == "subfolder")
        return QDir().mkpath(target + ".so");
    QFile file(what == "garbage" ? target + ".so" : target + ".txt");
    file.open(QIODevice::WriteOnly);
    return file.write(what == "garbage" ? "\177ELF not really" : "hello\n") > 0;
}

const QStringList digitKeys = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const QStringList captionKeys = {"week", "day", "hour", "min", "sec", "msec"};

// The skins we ship, loaded the way the program loads them.
const QList<QObject*>& shipped()
{
    static const QList<QObject*> plugins = td::loadFontPlugins(TIDRA_BUILD_DIR);
    return plugins;
}

} // namespace

class TestPluginLoader : public QObject
{
    Q_OBJECT
private slots:
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
        // Loaded lazily, it would end the process on first use.
        QTest::newRow("a plug-in missing a symbol is refused")
            << true << QStringList{"unresolved", "testfont"} << QStringList() << 1
            << QStringList{"testfont"};
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
        for (int i = 0; i < inSkins.size(); ++i) {
            QVERIFY(place(skins, inSkins[i], i));
            // A refused library is named in the log.
            if (inSkins[i] == "unresolved" || inSkins[i] == "garbage")
                QTest::ignoreMessage(
                    QtWarningMsg,
                    QRegularExpression(
                        QString("^Skin .*/skins/%1-%2\\.so not loaded: ").arg(inSkins[i]).arg(i)));
        }
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
    }

    void shippedSkins()
    {
        QStringList names;
        for (QObject* plugin : shipped())
            names << td::fontInterface(plugin)->name();
        // Names are what the settings store; the file order puts classic first,
        // so it is a new user's default.
        QCOMPARE(names, (QStringList{"classic", "lcd", "ledmatrix"}));
        for (const QString& name : names) {
            td::FontPluginInterface* font = td::findFontPlugin(shipped(), name);
            const QPixmap zero = font->symbolPixmap("0");
            // Drawn finer than the screen, so scaling down keeps them sharp.
            QVERIFY(zero.devicePixelRatio() >= 2);
            for (const QString& key : digitKeys + captionKeys + QStringList{"colon", "slash"}) {
                const QSizeF size = font->symbolPixmap(key).deviceIndependentSize();
                QVERIFY2(!size.isEmpty(), qPrintable(name + " " + key));
                // One height for digits and separators, one width for digits:
                // a ticking number never jitters.
                if (!captionKeys.contains(key))
                    QCOMPARE(size.height(), zero.deviceIndependentSize().height());
                if (digitKeys.contains(key))
                    QCOMPARE(size.width(), zero.deviceIndependentSize().width());
            }
            // Big, with every unit and captions, still fits a small screen.
            const td::TimeParts full{12, 6, 23, 59, 59, -1, true};
            QVERIFY(td::renderForDisplay(shipped(), name, full, 2).width() < 600);
        }
    }
};

TIDRA_TEST_MAIN(TestPluginLoader)
#include "tst_pluginloader.moc"
