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

} // namespace

class TestPluginLoader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!builtPlugin("testfont").isEmpty(), "test plug-ins not built");
        QVERIFY(!builtPlugin("notafont").isEmpty());
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
            QVERIFY(plugin);
            if (td::FontPluginInterface* font = td::fontInterface(plugin))
                names << font->name();
        }
        QCOMPARE(names, fonts);

        // The non-font plug-in is never drawn with, even when it comes first.
        td::FontPluginInterface* first = td::firstFontPlugin(plugins);
        QCOMPARE(first != nullptr, !fonts.isEmpty());
        if (first) {
            QCOMPARE(td::findFontPlugin(plugins, "testfont"), first);
            td::TimeParts time;
            time.hours = 1;
            time.minutes = 2;
            QCOMPARE(td::renderTime(plugins, "testfont", time).size(), QSize(42, 20));
        } else {
            QVERIFY(td::renderForDisplay(plugins, "testfont", td::TimeParts(), 1).isNull());
        }
    }

    void missingProgramFolder()
    {
        QCOMPARE(td::loadFontPlugins(td::test::homePath() + "/no/such/folder").size(), 0);
    }
};

TIDRA_TEST_MAIN(TestPluginLoader)
#include "tst_pluginloader.moc"
