// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/TestSupport.h"
#include "timers/BuiltinDigits.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

#include <QTemporaryDir>
#include <optional>

using td::TimeParts;

namespace {

// Digits 10 x 20 except the narrow "1", so a wrong digit shows in the width; caption widths
// straddle a one- and a two-digit number. Given `every`, each picture is that many device
// pixels instead (an empty size: an empty picture).
class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    explicit FakeFont(QString name, qreal ratio = 1.0, std::optional<QSize> every = {})
        : m_name(std::move(name)), m_ratio(ratio), m_every(every)
    {
    }
    QPixmap symbolPixmap(QString key) override
    {
        static const QHash<QString, QSize> sizes = {
            {"week", {30, 8}}, {"day", {14, 8}},  {"hour", {8, 8}},   {"min", {12, 8}},
            {"sec", {16, 8}},  {"msec", {24, 8}}, {"colon", {4, 20}}, {"slash", {6, 20}}};
        const QSize size =
            m_every.value_or(sizes.value(key, QSize(key == "1" ? 6 : 10, 20)) * m_ratio);
        if (size.isEmpty())
            return {};
        QPixmap p(size);
        p.fill(Qt::black);
        p.setDevicePixelRatio(m_ratio);
        return p;
    }
    QString name() override { return m_name; }
    QString title() override { return m_name.toUpper(); }

private:
    QString m_name;
    qreal m_ratio;
    std::optional<QSize> m_every;
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

/// Minutes alone: a left margin, the digit, a blank right margin.
const TimeParts minutes{-1, -1, -1, 5, -1, -1};

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
    // The first unit is unpadded, clock units after another get two digits, weeks and days
    // never; hundredths end without a separator. "week" (30) is wider than "7" (10), "hour"
    // (8) narrower than "04".
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

    // Names match whole and by case, the first of equal names wins; a missing default falls
    // back to the first font, never to a non-font. "1" and nine zeros make a 100-pixel image
    // (4 + 6 + 90), scaled by the font size (99 at size 2); a skin drawn at 2x yields the
    // same layout with twice the pixels.
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

    // Files in the skins folder, if there is one, and in the program's folder; the fonts that
    // load, by file name (the first is a new user's default). A plug-in without the interface
    // is loaded but no font; one missing a symbol, loaded lazily, would end the process on
    // first use; a font without digits is left out. Each refusal is named in the log.
    void load_data()
    {
        QTest::addColumn<bool>("skinsFolder");
        QTest::addColumn<QStringList>("skins");
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QStringList>("fonts");
        const QStringList none, lcd{"lcd"};
        QTest::newRow("by file name")
            << true << QStringList{"lcd", "classic"} << none << 2 << QStringList{"classic", "lcd"};
        QTest::newRow("no skins folder") << false << none << QStringList{"lcd", "text"} << 1 << lcd;
        QTest::newRow("mixed") << true
                               << QStringList{"text", "notafont", "lcd", "garbage", "subfolder"}
                               << none << 2 << lcd;
        QTest::newRow("missing a symbol")
            << true << QStringList{"unresolved", "lcd"} << none << 1 << lcd;
        QTest::newRow("empty pictures")
            << true << QStringList{"blankfont", "lcd"} << none << 1 << lcd;
    }
    void load()
    {
        QFETCH(bool, skinsFolder);
        QFETCH(QStringList, skins);
        QFETCH(QStringList, beside);
        static const QHash<QString, QString> logged{
            {"unresolved", "not loaded: "},
            {"garbage", "not loaded: "},
            {"blankfont", "not used: it gives an empty picture for"}};
        QTemporaryDir program;
        QVERIFY(!skinsFolder || QDir().mkpath(program.filePath("skins")));
        for (int i = 0; i < skins.size(); ++i) {
            QVERIFY(place(program.filePath("skins"), skins[i], i));
            if (logged.contains(skins[i]))
                QTest::ignoreMessage(QtWarningMsg,
                                     QRegularExpression("^Skin .*/skins/" + skins[i] +
                                                        "-\\d\\.so " + logged[skins[i]]));
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

    // At most 256 pixels a side and a pixel ratio of 4, told once per skin.
    void pictureCap_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("image"); // device-independent
        QTest::addColumn<qreal>("imageRatio");
        QTest::newRow("usual") << QSize(40, 48) << 2.0 << QSize(60, 24) << 2.0;
        QTest::newRow("8000 pixels") << QSize(8000, 8000) << 1.0 << QSize(768, 256) << 1.0;
        QTest::newRow("dense") << QSize(4000, 4000) << 20.0 << QSize(600, 200) << 4.0;
    }
    void pictureCap()
    {
        QFETCH(QSize, picture);
        QFETCH(qreal, ratio);
        FakeFont font(QTest::currentDataTag(), ratio, picture);
        if (picture.width() > 256)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Skin \".*\": pictures too "
                                                                  "large are scaled down"));
        QTest::failOnWarning(QRegularExpression("^Skin"));
        for (int tick = 0; tick < 2; ++tick) {
            const QImage image = td::renderTime(&font, minutes);
            QTEST(image.deviceIndependentSize().toSize(), "image");
            QTEST(image.devicePixelRatio(), "imageRatio");
        }
    }

    // Where no skin draws, the window's font does, laid out as a skin is.
    void builtinDigits()
    {
        FakeFont blank("blank", 1.0, QSize());
        QTest::ignoreMessage(QtWarningMsg, "Skin \"blank\": it draws no digits; timers show "
                                           "the built-in ones");
        const QFont font("DejaVu Sans");
        for (const QList<QObject*>& plugins : {QList<QObject*>{}, QList<QObject*>{&blank}}) {
            const QImage image = td::renderForDisplay(plugins, "blank", minutes, 2, 1.0, font);
            td::BuiltinDigits builtin(font);
            const QSizeF laidOut =
                td::renderTime(&builtin, minutes).deviceIndependentSize() * td::displayScale(2);
            QVERIFY(qAbs(image.width() - laidOut.width()) <= 1 &&
                    qAbs(image.height() - laidOut.height()) <= 1);
            QImage blankImage(image.size(), image.format());
            blankImage.fill(Qt::transparent);
            QVERIFY(image != blankImage);
        }
    }
};

TIDRA_TEST_MAIN(TestSkins)
#include "tst_skins.moc"
