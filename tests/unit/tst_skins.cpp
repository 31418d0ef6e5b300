// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/TestSupport.h"
#include "timers/BuiltinDigits.h"
#include "timers/DigitRenderer.h"

#include <QTemporaryDir>

namespace {

/// A skin whose every picture is `size` device pixels at `ratio`; an empty size: empty pictures.
class SizedFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    SizedFont(QString name, QSize size, qreal ratio) : m_name(std::move(name))
    {
        if (size.isEmpty())
            return;
        m_picture = QPixmap(size);
        m_picture.fill(Qt::black);
        m_picture.setDevicePixelRatio(ratio);
    }
    QPixmap symbolPixmap(QString) override { return m_picture; }
    QString name() override { return m_name; }
    QString title() override { return m_name; }

private:
    QString m_name;
    QPixmap m_picture;
};

/// Minutes alone: a left margin, the digit, a blank right margin.
const td::TimeParts minutes = [] {
    td::TimeParts p;
    p.minutes = 5;
    return p;
}();

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
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
        SizedFont font(QTest::currentDataTag(), picture, ratio);
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

    // Named in the log with the reason: one without the interface stays
    // loaded, a font without digits is left out.
    void refusals_data()
    {
        QTest::addColumn<QString>("plugin");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("loaded");
        QTest::newRow("empty pictures") << "blankfont"
                                        << "it gives an empty picture for" << 0;
    }
    void refusals()
    {
        QFETCH(QString, plugin);
        QFETCH(QString, said);
        QTemporaryDir program;
        QVERIFY(QDir().mkpath(program.filePath("skins")) &&
                QFile::copy(TIDRA_BUILD_DIR "/testplugins/" + plugin + ".so",
                            program.filePath("skins/" + plugin + ".so")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Skin .*/skins/" + plugin +
                                                              "\\.so not used: " + said));
        QTEST(int(td::loadFontPlugins(program.path()).size()), "loaded");
    }

    // Where no skin draws, the window's font does, laid out as a skin is.
    void builtinDigits()
    {
        SizedFont blank("blank", QSize(), 1.0);
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
