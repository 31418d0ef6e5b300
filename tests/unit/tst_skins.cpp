// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

#include <QTemporaryDir>

using td::TimeParts;

namespace {

// Digits 10 x 20 except the narrow "1", so a wrong digit shows in the width; caption widths
// straddle a one- and a two-digit number. A blank font draws nothing.
class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    explicit FakeFont(QString name, bool blank = false) : m_name(std::move(name)), m_blank(blank) {}
    QPixmap symbolPixmap(QString key) override
    {
        static const QHash<QString, QSize> sizes = {
            {"week", {30, 8}}, {"day", {14, 8}},  {"hour", {8, 8}},   {"min", {12, 8}},
            {"sec", {16, 8}},  {"msec", {24, 8}}, {"colon", {4, 20}}, {"slash", {6, 20}}};
        if (m_blank)
            return {};
        QPixmap p(sizes.value(key, QSize(key == "1" ? 6 : 10, 20)));
        p.fill(Qt::black);
        return p;
    }
    QString name() override { return m_name; }
    QString title() override { return m_name.toUpper(); }

private:
    QString m_name;
    bool m_blank;
};

// Puts `what` into `folder` as file number `i`: a built test plug-in, a shipped skin, a text
// file, a file that only looks like a library, or a subfolder.
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

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
    // The first unit is unpadded, clock units after another get two digits, weeks and days
    // never. "week" (30) is wider than "7" (10), "hour" (8) narrower than "04".
    void layoutSize_data()
    {
        QTest::addColumn<TimeParts>("parts");
        QTest::addColumn<QSize>("size");
        QTest::newRow("clock units padded") << TimeParts{-1, -1, 1, 5, 9, -1} << QSize(62, 20);
        QTest::newRow("weeks and days never padded")
            << TimeParts{0, 1, -1, -1, -1, -1} << QSize(32, 20);
        QTest::newRow("captions centred both ways")
            << TimeParts{7, -1, 4, -1, -1, -1, true} << QSize(64, 28);
    }
    void layoutSize()
    {
        QFETCH(TimeParts, parts);
        FakeFont font("fake");
        QTEST(td::renderTime(QList<QObject*>{&font}, "fake", parts).size(), "size");
    }

    // Names match whole and by case, the first of equal names wins; a missing default falls
    // back to the first font, never to a non-font.
    void skinChoice()
    {
        QObject notAFont;
        FakeFont alpha("alpha"), beta("beta"), beta2("beta");
        const QList<QObject*> plugins{&notAFont, &alpha, &beta, &beta2};
        QCOMPARE(td::findFontPlugin(plugins, "beta"), td::fontInterface(&beta));
        QCOMPARE(td::findFontPlugin(plugins, "Alpha"), nullptr);
        QCOMPARE(td::displayFont(plugins, "Alpha"), td::fontInterface(&alpha));
    }

    // Files in the skins folder beside the program; the fonts that load, by file name (the first is
    // a new user's default). A plug-in without the interface is loaded but no font; one missing a
    // symbol, loaded lazily, would end the process on first use. Each refusal is named in the log.
    void load_data()
    {
        QTest::addColumn<QStringList>("skins");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QStringList>("fonts");
        const QStringList lcd{"lcd"};
        QTest::newRow("by file name")
            << QStringList{"lcd", "classic"} << 2 << QStringList{"classic", "lcd"};
        QTest::newRow("mixed") << QStringList{"text", "notafont", "lcd", "garbage", "subfolder"}
                               << 2 << lcd;
        QTest::newRow("missing a symbol") << QStringList{"unresolved", "lcd"} << 1 << lcd;
    }
    void load()
    {
        QFETCH(QStringList, skins);
        QTemporaryDir program;
        QVERIFY(QDir().mkpath(program.filePath("skins")));
        for (int i = 0; i < skins.size(); ++i) {
            QVERIFY(place(program.filePath("skins"), skins[i], i));
            if (skins[i] == "unresolved" || skins[i] == "garbage")
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Skin .*/skins/" + skins[i] +
                                                                      "-\\d\\.so not loaded: "));
        }
        const QList<QObject*> plugins = td::loadFontPlugins(program.path());
        QTEST(int(plugins.size()), "loaded");
        QStringList fonts;
        for (QObject* plugin : plugins)
            if (td::FontPluginInterface* font = td::fontInterface(plugin))
                fonts << font->name();
        QTEST(fonts, "fonts");
    }

    // A skin that draws no digits gives way to the window's font rather than a blank window.
    void builtinDigits()
    {
        FakeFont blank("blank", true);
        QTest::ignoreMessage(QtWarningMsg, "Skin \"blank\": it draws no digits; timers show "
                                           "the built-in ones");
        const QImage image = td::renderForDisplay(
            {&blank}, "blank", TimeParts{-1, -1, -1, 5, -1, -1}, 2, 1.0, QFont("DejaVu Sans"));
        QImage blankImage(image.size(), image.format());
        blankImage.fill(Qt::transparent);
        QVERIFY(!image.isNull() && image != blankImage);
    }
};

TIDRA_TEST_MAIN(TestSkins)
#include "tst_skins.moc"
