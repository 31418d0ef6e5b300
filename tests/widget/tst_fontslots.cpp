#include "app/AppInfo.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"
#include "timers/FontsLibrary.h"

#include "ui_fontsdialog.h"
#include "ui_maindialog.h"

#include <QPushButton>
#include <QSettings>

namespace {

// Digits 8 x 16 in the font's own colour; every other picture 12 x 6.
class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    FakeFont(QString name, QColor colour = Qt::darkGreen)
        : fontName(std::move(name)), colour(colour)
    {
    }
    QPixmap symbolPixmap(QString key) override
    {
        QPixmap p(key.size() == 1 ? QSize(8, 16) : QSize(12, 6));
        p.fill(colour);
        return p;
    }
    QString name() override { return fontName; }
    QString title() override { return fontName.toUpper(); }
    QString fontName;
    QColor colour;
};

QString storedSkin()
{
    return QSettings(td::info::organizationName, td::info::applicationName)
        .value("timers/DefaultSkin", "<none>")
        .toString();
}

} // namespace

class TestFontSlots : public QObject
{
    Q_OBJECT

    td::MainSettingsDlg* main = nullptr;
    QObject fontOwner;

private slots:
    void initTestCase() { main = new td::MainSettingsDlg; }
    void cleanupTestCase()
    {
        delete main;
        td::clock::reset();
    }

    void changeDefaultFont_data()
    {
        QTest::addColumn<QString>("fonts"); // comma-separated names, "-" for a non-font
        QTest::addColumn<int>("preselected");
        QTest::addColumn<int>("pickRow"); // -1: keep the pre-selected row
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("stored"); // in the record, the label and the store

        QTest::newRow("non-fonts get no row") << "-,lcd,-,classic,dots" << 1 << 2 << true << "dots";
        QTest::newRow("unknown default: first row") << "lcd,dots" << 0 << -1 << true << "lcd";
        QTest::newRow("cancel changes nothing")
            << "lcd,classic,dots" << 1 << 2 << false << "classic";
        QTest::newRow("ok without fonts keeps the stored name")
            << "-" << -1 << -1 << true << "classic";
    }
    void changeDefaultFont()
    {
        QFETCH(QString, fonts);
        QFETCH(int, pickRow);
        QFETCH(bool, confirm);
        QFETCH(QString, stored);

        main->fontPlugins.clear();
        for (const QString& name : fonts.split(','))
            main->fontPlugins << (name == "-" ? new QObject(&fontOwner) : new FakeFont(name));
        for (QObject* o : main->fontPlugins)
            o->setParent(&fontOwner);
        td::appSettings->timerDefaultSkin = "classic";
        main->ui->skinName->setText("classic");
        td::saveSettings(*td::appSettings);

        QSignalSpy changed(main, &td::MainSettingsDlg::settingsChanged);
        int preselected = -2;
        td::test::whenModal([&](QWidget* w) {
            auto* library = qobject_cast<td::FontsLibrary*>(w);
            QVERIFY(library);
            preselected = library->ui->fontsList->currentRow();
            if (pickRow >= 0)
                library->ui->fontsList->setCurrentRow(pickRow);
            QTest::mouseClick(library->ui->buttonBox->button(confirm ? QDialogButtonBox::Ok
                                                                     : QDialogButtonBox::Cancel),
                              Qt::LeftButton);
        });
        main->changeDefaultFont();

        QTEST(preselected, "preselected");
        QCOMPARE(td::appSettings->timerDefaultSkin, stored);
        QCOMPARE(main->ui->skinName->text(), stored);
        QCOMPARE(storedSkin(), stored);
        QCOMPARE(changed.count(), stored == "classic" ? 0 : 1);
        main->fontPlugins.clear();
        qDeleteAll(fontOwner.children());
    }

    void sampleFollowsTheRow()
    {
        td::clock::setFixed(QDateTime(QDate(2025, 6, 1), QTime(14, 5, 33)));
        QObject notAFont;
        FakeFont a("a", Qt::red), b("b", Qt::blue);
        td::FontsLibrary dialog({&notAFont, &a, &b}, "b");
        td::TimeParts sample{-1, -1, 14, 5, -1, -1, true};
        auto shown = [&] {
            return dialog.ui->pixmapLabel->pixmap().toImage().convertToFormat(
                QImage::Format_ARGB32_Premultiplied);
        };
        auto expected = [&](FakeFont* font) {
            return td::renderTime(font, sample)
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        };
        QCOMPARE(shown(), expected(&b));
        // The sample shows the moment of selection.
        td::clock::advance(10 * 60 * 1000);
        dialog.ui->fontsList->setCurrentRow(0);
        sample.minutes = 15;
        QCOMPARE(dialog.selectedFontName(), QString("a"));
        QCOMPARE(shown(), expected(&a));
    }
};

TIDRA_TEST_MAIN(TestFontSlots)
#include "tst_fontslots.moc"
