#include "app/AppInfo.h"
#include "app/AppSettings.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "timers/FontPluginInterface.h"
#include "timers/FontsLibrary.h"

#include "ui_fontsdialog.h"
#include "ui_maindialog.h"

#include <QPushButton>
#include <QSettings>

namespace {

class FakeFont : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_INTERFACES(td::FontPluginInterface)

public:
    explicit FakeFont(QString name) : fontName(std::move(name)) {}
    QPixmap symbolPixmap(QString) override
    {
        QPixmap p(8, 16);
        p.fill(Qt::darkGreen);
        return p;
    }
    QString name() override { return fontName; }
    QString title() override { return fontName.toUpper(); }
    QString fontName;
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
    void initTestCase()
    {
        main = new td::MainSettingsDlg;
        QVERIFY(main->ui);
    }
    void cleanupTestCase() { delete main; }

    void changeDefaultFont_data()
    {
        QTest::addColumn<QString>("fonts"); // comma-separated names, "-" for a non-font
        QTest::addColumn<int>("pickRow");   // -1: keep the pre-selected row
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("stored"); // in the record, the label and the store
        QTest::addColumn<int>("emitted");

        QTest::newRow("ok stores the chosen font")
            << "-,lcd,classic,dots" << 2 << true << "dots" << 1;
        QTest::newRow("cancel changes nothing")
            << "lcd,classic,dots" << 2 << false << "classic" << 0;
        QTest::newRow("ok without fonts keeps the stored name")
            << "-" << -1 << true << "classic" << 0;
    }
    void changeDefaultFont()
    {
        QFETCH(QString, fonts);
        QFETCH(int, pickRow);
        QFETCH(bool, confirm);
        QFETCH(QString, stored);
        QFETCH(int, emitted);

        QList<QObject*> plugins;
        for (const QString& name : fonts.split(',')) {
            plugins << (name == "-" ? new QObject(&fontOwner) : new FakeFont(name));
            plugins.last()->setParent(&fontOwner);
        }
        main->fontPlugins = plugins;
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

        const int classicRow =
            fonts.split(',').filter(QRegularExpression("^[^-]")).indexOf("classic");
        QCOMPARE(preselected, classicRow);
        QCOMPARE(td::appSettings->timerDefaultSkin, stored);
        QCOMPARE(main->ui->skinName->text(), stored);
        QCOMPARE(storedSkin(), stored);
        QCOMPARE(changed.count(), emitted);

        main->fontPlugins.clear();
        qDeleteAll(fontOwner.children());
    }
};

TIDRA_TEST_MAIN(TestFontSlots)
#include "tst_fontslots.moc"
