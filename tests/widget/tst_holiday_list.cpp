#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "timers/TimerMsgDlg.h"
#include "ui_holidaydialog.h"
#include "ui_maindialog.h"
#include "work/VacationDlg.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTimeEdit>

using namespace td;

Q_DECLARE_METATYPE(td::HolidayRecord)

namespace {

const QDateTime mondayNoon(QDate(2026, 12, 7), QTime(12, 0));

/// Answers the next editor: fill it, then apply.
void answerEditor(std::function<void(Ui::HolidayDialog*)> fill)
{
    test::whenModal([fill](QWidget* w) {
        auto* editor = qobject_cast<VacationDlg*>(w);
        QVERIFY(editor);
        fill(editor->ui);
        QTest::mouseClick(editor->ui->applyButton, Qt::LeftButton);
    });
}

/// Brings `w` to the front of every stack of pages it lies in, and lays out.
void reveal(QWidget* w)
{
    for (QWidget* p = w; p->parentWidget(); p = p->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(p->parentWidget()))
            stack->setCurrentWidget(p);
    w->window()->show();
    w->window()->layout()->activate();
    QCoreApplication::processEvents();
}

} // namespace

class TestHolidayList : public QObject
{
    Q_OBJECT

    MainSettingsDlg* main = nullptr;
    QTableWidget* table() const { return main->ui->holidaysList; }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 0; r < table()->rowCount(); ++r)
            out << table()->item(r, c)->text();
        return out;
    }
    QStringList names() const
    {
        QStringList out;
        for (const HolidayRecord& h : appSettings->holidays)
            out << h.name;
        return out;
    }
    void setList(const QList<HolidayRecord>& list)
    {
        appSettings->holidays = list;
        main->updateHolidays();
    }

private slots:
    void initTestCase()
    {
        clock::setFixed(mondayNoon);
        main = new MainSettingsDlg;
        main->mainTimer->stop();
    }
    void cleanupTestCase()
    {
        delete main;
        clock::reset();
    }
    void init()
    {
        clock::setFixed(mondayNoon);
        main->ui->workTimerVacation->setChecked(true);
        setList({});
    }

    void tableRows_data()
    {
        QTest::addColumn<HolidayRecord>("record");
        QTest::addColumn<QString>("date");
        QTest::newRow("vacation") << HolidayRecord{"Sea", 1, QDate(2024, 8, 1), QDate(2024, 8, 14)}
                                  << "Aug 01 2024 - Aug 14 2024";
        // A passed holiday moves on; a passed vacation stays where it was.
        QTest::newRow("passed holiday")
            << HolidayRecord{"Spring", 0, QDate(2026, 3, 8), QDate(2026, 3, 8)} << "Mar 08 2027";
        QTest::newRow("leap day") << HolidayRecord{"Leap", 0, QDate(2024, 2, 29),
                                                   QDate(2024, 2, 29)}
                                  << "Feb 28 2027";
        QTest::newRow("undated") << HolidayRecord{"Lost", 0, QDate(), QDate()} << "";
    }
    void tableRows()
    {
        QFETCH(HolidayRecord, record);
        setList({record});
        QCOMPARE(table()->rowCount(), 1);
        QTableWidgetItem* type = table()->item(0, 0);
        QVERIFY(type->text().isEmpty());
        QVERIFY(!type->icon().isNull());
        const qint64 key = type->icon().cacheKey();
        QCOMPARE(table()->item(0, 1)->text(), record.name);
        QCOMPARE(table()->item(0, 1)->toolTip(), record.name);
        QTEST(table()->item(0, 2)->text(), "date");
        // Holidays and vacations carry different icons.
        setList({HolidayRecord{"x", 1 - record.type, QDate(2030, 1, 1), QDate(2030, 1, 1)}});
        QVERIFY(table()->item(0, 0)->icon().cacheKey() != key);
    }

    void addAppendsInOrder()
    {
        answerEditor([](Ui::HolidayDialog* ui) {
            ui->holidayDate->setDate(QDate(2000, 12, 25));
            ui->nameEdit->setText("Christmas");
        });
        main->addHoliday();
        answerEditor([](Ui::HolidayDialog* ui) {
            ui->holidayDate->setDate(QDate(2000, 1, 1));
            ui->nameEdit->setText("New Year");
        });
        main->addHoliday();
        answerEditor([](Ui::HolidayDialog* ui) {
            ui->holidayTypeCombo->setCurrentIndex(1);
            ui->startDate->setDate(QDate(2027, 8, 1));
            ui->endDate->setDate(QDate(2027, 8, 14));
            ui->nameEdit->setText("Sea");
        });
        main->addHoliday();
        QCOMPARE(names(), (QStringList{"Christmas", "New Year", "Sea"}));
        // Entered before its date this year it stays this year; after it, next year.
        QCOMPARE(column(2),
                 (QStringList{"Dec 25 2026", "Jan 01 2027", "Aug 01 2027 - Aug 14 2027"}));
        QCOMPARE(table()->currentRow(), 2);
        QCOMPARE(main->vacationTimer->dateTime, QDateTime(QDate(2027, 8, 1), QTime(0, 0)));
        QVERIFY(main->vacationTimer->isVisible());
        QCOMPARE(main->holidayTimer->dateTime, QDateTime(QDate(2026, 12, 12), QTime(0, 0)));
    }

    void deleteRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("current");
        QTest::newRow("middle") << 1 << QStringList{"A", "C"} << 1;
        QTest::newRow("last") << 2 << QStringList{"A", "B"} << 1;
    }
    void deleteRows()
    {
        QFETCH(int, row);
        setList({{"A", 0, QDate(2027, 1, 1), QDate(2027, 1, 1)},
                 {"B", 0, QDate(2027, 2, 1), QDate(2027, 2, 1)},
                 {"C", 1, QDate(2027, 3, 1), QDate(2027, 3, 5)}});
        table()->setCurrentCell(row, 1);
        QTest::mouseClick(main->ui->deleteHolidayButton, Qt::LeftButton);
        QTEST(names(), "left");
        QTEST(column(1), "left");
        QTEST(table()->currentRow(), "current");
    }

    void editKeepsRow()
    {
        setList({{"A", 0, QDate(2027, 1, 1), QDate(2027, 1, 1)},
                 {"B", 1, QDate(2027, 2, 1), QDate(2027, 2, 1).addDays(120)},
                 {"C", 0, QDate(2027, 3, 1), QDate(2027, 3, 1)}});
        table()->setCurrentCell(1, 1);
        answerEditor([](Ui::HolidayDialog* ui) { ui->nameEdit->setText("Long trip"); });
        // The clicked item is not used: the current row names the record.
        main->editHoliday(table()->item(0, 1));
        QCOMPARE(names(), (QStringList{"A", "Long trip", "C"}));
        // Only the name changed: the 120 days survive the editor.
        QCOMPARE(appSettings->holidays[1].endDate, QDate(2027, 2, 1).addDays(120));
        QCOMPARE(table()->currentRow(), 1);
    }

    // At the default font and at 150 % of it, no date is cut, a short name
    // shows whole, and no time in the timetable is clipped: the window grows.
    void readableAtLargeFont_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("default font") << 1.0;
        QTest::newRow("150 %") << 1.5;
    }
    void readableAtLargeFont()
    {
        QFETCH(qreal, scale);
        const QFont old = main->font();
        QFont font = old;
        font.setPointSizeF(old.pointSizeF() * scale);
        main->setFont(font);
        const auto restore = qScopeGuard([&] {
            main->setFont(old);
            main->hide();
        });
        setList({HolidayRecord{"Christmas", TypeHoliday, QDate(2026, 12, 25), QDate(2026, 12, 25)},
                 HolidayRecord{"Winter trip with the whole family", TypeVacation,
                               QDate(2027, 9, 28), QDate(2027, 12, 29)}});
        reveal(table());
        QHeaderView* header = table()->horizontalHeader();
        const QFontMetrics metrics(table()->font());
        // The longest date, and a short name, whole; no column off the view.
        QVERIFY(header->sectionSize(2) > metrics.horizontalAdvance(table()->item(1, 2)->text()));
        QVERIFY(header->sectionSize(1) > metrics.horizontalAdvance("Christmas"));
        QVERIFY(header->length() <= table()->viewport()->width());

        const QList<QTimeEdit*> times =
            main->ui->daySunBeginWork->parentWidget()->findChildren<QTimeEdit*>();
        QCOMPARE(times.size(), 28);
        reveal(times[0]);
        for (const QTimeEdit* edit : times) {
            const QLineEdit* text = edit->findChild<QLineEdit*>();
            QVERIFY2(edit->isVisible() &&
                         text->width() >= text->fontMetrics().horizontalAdvance("23:59"),
                     qPrintable(edit->objectName()));
        }
    }
};

TIDRA_TEST_MAIN(TestHolidayList)
#include "tst_holiday_list.moc"
