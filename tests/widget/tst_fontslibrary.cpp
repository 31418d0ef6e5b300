#include "app/Clock.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/FontsLibrary.h"

#include "ui_fontsdialog.h"

namespace {

// Digits 8 x 16 in the font's own colour; every other picture 12 x 6.
class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    FakeFont(QString name, QColor colour) : fontName(std::move(name)), colour(colour) {}
    QPixmap symbolPixmap(QString key) override
    {
        QPixmap p(key.size() == 1 ? QSize(8, 16) : QSize(12, 6));
        p.fill(colour);
        return p;
    }
    QString name() override { return fontName; }
    QString title() override { return "Title of " + fontName; }

    QString fontName;
    QColor colour;
};

// Builds the plug-in list from a description like "a,-,b": a font per name, "-" for
// a plug-in without the font interface.
struct Plugins
{
    explicit Plugins(const QString& description)
    {
        int i = 0;
        for (const QString& name : description.split(',', Qt::SkipEmptyParts)) {
            QObject* o = name == "-" ? new QObject(&owner)
                                     : new FakeFont(name, QColor::fromHsv(40 * i++, 255, 200));
            o->setParent(&owner);
            list << o;
        }
    }
    QObject owner;
    QList<QObject*> list;
};

} // namespace

class TestFontsLibrary : public QObject
{
    Q_OBJECT

    static QImage shownSample(const td::FontsLibrary& dialog)
    {
        return dialog.ui->pixmapLabel->pixmap().toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
    }

private slots:
    void cleanup() { td::clock::reset(); }

    void preselection_data()
    {
        QTest::addColumn<QString>("plugins");
        QTest::addColumn<QString>("defaultSkin");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("selected");

        QTest::newRow("default is the second of three")
            << "a,b,c"
            << "b" << QStringList{"Title of a", "Title of b", "Title of c"} << 1 << "b";
        QTest::newRow("unknown default selects the first row")
            << "a,b,c"
            << "gone" << QStringList{"Title of a", "Title of b", "Title of c"} << 0 << "a";
        QTest::newRow("non-font plug-ins get no row and rows still match")
            << "-,a,-,b"
            << "b" << QStringList{"Title of a", "Title of b"} << 1 << "b";
        QTest::newRow("nothing loaded") << ""
                                        << "" << QStringList() << -1 << QString();
    }
    void preselection()
    {
        QFETCH(QString, plugins);
        QFETCH(QString, defaultSkin);
        QFETCH(QStringList, titles);
        QFETCH(int, row);
        QFETCH(QString, selected);
        Plugins p(plugins);
        td::FontsLibrary dialog(p.list, defaultSkin);
        QStringList shown;
        for (int i = 0; i < dialog.ui->fontsList->count(); ++i)
            shown << dialog.ui->fontsList->item(i)->text();
        QCOMPARE(shown, titles);
        QCOMPARE(dialog.ui->fontsList->currentRow(), row);
        QCOMPARE(dialog.selectedFontName(), selected);
        QCOMPARE(dialog.ui->pixmapLabel->pixmap().isNull(), row < 0);
    }

    void sampleFollowsTheRow()
    {
        td::clock::setFixed(QDateTime(QDate(2025, 6, 1), QTime(14, 5, 33)));
        Plugins p("-,a,b,c");
        td::FontsLibrary dialog(p.list, "b");
        td::TimeParts sample;
        sample.hours = 14;
        sample.minutes = 5;
        sample.captions = true;
        auto expected = [&](int plugin) {
            return td::renderTime(qobject_cast<td::FontPluginInterface*>(p.list[plugin]), sample)
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        };
        // Hour and minute with captions: margin, "14", colon, "05", blank slot.
        QCOMPARE(expected(2).size(), QSize(12 + 16 + 12 + 16 + 12, 6 + 16));
        QCOMPARE(shownSample(dialog), expected(2));

        // The sample shows the moment of selection.
        td::clock::advance(10 * 60 * 1000);
        dialog.ui->fontsList->setCurrentRow(2);
        sample.minutes = 15;
        QCOMPARE(dialog.selectedFontName(), QString("c"));
        QCOMPARE(shownSample(dialog), expected(3));
    }
};

TIDRA_TEST_MAIN(TestFontsLibrary)
#include "tst_fontslibrary.moc"
