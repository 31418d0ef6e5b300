#include "alarms/AlarmMsgDlg.h"
#include "alarms/OtherDelayDlg.h"
#include "app/AppSettings.h"
#include "app/Clock.h"
#include "app/WindowPlacement.h"
#include "tests/common/TestSupport.h"
#include "ui_alarmmsgdialog2.h"
#include "ui_otherdelaydialog.h"

#include <QEnterEvent>
#include <QMenu>
#include <QMovie>
#include <QSignalSpy>
#include <QTimer>

using td::AlarmMsgDlg;
using td::AlarmRecord;

namespace {

QDateTime at(int h, int mi, int s = 0)
{
    return QDateTime(QDate(2024, 5, 6), QTime(h, mi, s));
}

AlarmRecord hourly(const QDateTime& base)
{
    AlarmRecord r;
    r.enabled = true;
    r.name = "Stand up";
    r.message = "Stretch\nand walk";
    r.date = base.date();
    r.time = base.time();
    r.repeatMode = td::RepeatEvery;
    r.repeatRange = 1;
    r.repeatMeasure = td::Hours;
    return r;
}

AlarmRecord once(const QDateTime& base)
{
    AlarmRecord r = hourly(base);
    r.repeatMode = td::RepeatOnce;
    return r;
}

void enter(QWidget* w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(w, &e);
}

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

class TestAlarmPopup : public QObject
{
    Q_OBJECT

    td::AppSettings settings;

private slots:
    void init()
    {
        settings = td::AppSettings();
        settings.alarmDisplayTime = 10;
        settings.alarmShadeEffect = true;
        settings.alarmShadeTime = 15;
        settings.alarmSimpleForm = false;
        td::appSettings = &settings;
        td::clock::setFixed(at(10, 0, 0));
    }
    void cleanup()
    {
        td::appSettings = nullptr;
        td::clock::reset();
    }

    void builtOnlyWhenNeeded()
    {
        AlarmMsgDlg a(hourly(at(11, 0)));
        QVERIFY(!a.hasPopup());
        QVERIFY(a.findChildren<QObject*>().isEmpty());
        QVERIFY(a.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(a.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(a.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(a.animationFile().contains(QRegularExpression("clock_0[0-9]1_animado\\.gif$")));
        QVERIFY(QFile::exists(a.animationFile()));
        // Postponing and renaming need no widgets.
        td::test::PromptRecorder prompts;
        a.addDelay(300);
        AlarmRecord r = a.alarm();
        r.name = "Renamed";
        a.setAlarm(r);
        a.hide();
        QVERIFY(!a.hasPopup());
        QCOMPARE(a.delayedTime(), at(10, 5));
        a.show();
        QVERIFY(a.hasPopup());
        QCOMPARE(a.findChild<QLabel*>("nameLabel")->text(), QString("Renamed"));
        QCOMPARE(a.findChild<QLabel*>("textLabel")->text(), QString("Stretch\nand walk"));
        QStringList top;
        for (QAction* act : a.menu->actions())
            top << (act->isSeparator() ? "-" : act->text());
        QCOMPARE(top, (QStringList{"&Edit", "&Hide", "-", "&Remind later..."}));
        QStringList sub;
        for (QAction* act : a.remindMenu->actions())
            sub << (act->isSeparator() ? "-" : act->text());
        QCOMPARE(sub, (QStringList{"5 Minutes", "1 Hour", "1 Day", "-", "Other"}));
        QCOMPARE(a.findChild<QPushButton*>("menuButton")->menu(), a.menu);
    }

    void parkedPopupTakesCornerWithRealSize_data()
    {
        QTest::addColumn<bool>("simple");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("builtBefore");
        QTest::newRow("compact, never built") << true << "Hi" << false;
        QTest::newRow("full, long, never built")
            << false << QString(120, 'x') + "\n2\n3\n4" << false;
        QTest::newRow("full, shown and dragged before") << false << "Hi" << true;
    }
    void parkedPopupTakesCornerWithRealSize()
    {
        QFETCH(bool, simple);
        QFETCH(QString, message);
        QFETCH(bool, builtBefore);
        settings.alarmSimpleForm = simple;
        AlarmRecord r = hourly(at(11, 0));
        r.message = message;
        AlarmMsgDlg a(r);
        if (builtBefore) {
            a.showAlarm();
            a.move(40, 50);
        }
        a.parkInCorner();
        QVERIFY(a.isHidden());
        QCOMPARE(a.hasPopup(), builtBefore);
        a.showAlarm();
        const QRect d = td::availableDesktop();
        QCOMPARE(a.geometry().bottomRight(), d.bottomRight());
        QVERIFY(!a.parkedInCorner());
        // Shown at the size it was placed with.
        const QSize prepared = a.size();
        QCoreApplication::processEvents();
        QCOMPARE(a.size(), prepared);
    }

    void fadeTimings_data()
    {
        QTest::addColumn<int>("displayTime");
        QTest::addColumn<int>("shadeTime");
        QTest::newRow("defaults") << 10 << 15;
        QTest::newRow("long") << 180 << 59;
    }
    void fadeTimings()
    {
        QFETCH(int, displayTime);
        QFETCH(int, shadeTime);
        settings.alarmDisplayTime = displayTime;
        settings.alarmShadeTime = shadeTime;
        AlarmMsgDlg a(hourly(at(11, 0)));
        a.showAlarm();
        QVERIFY(a.isVisible());
        QVERIFY(a.shadeTimer->isActive());
        QCOMPARE(a.shadeTimer->interval(), displayTime * 1000);
        a.shadeDown(); // display period over
        QCOMPARE(a.shadeTimer->interval(), shadeTime * 10);
        int steps = 0;
        while (a.isVisible() && steps < 1000) {
            a.shadeDown();
            ++steps;
        }
        QCOMPARE(steps, AlarmMsgDlg::FadeSteps);
        QVERIFY(!a.shadeTimer->isActive());
        QCOMPARE(a.opacity, 1.0);
    }

    void hoverPausesFade_data()
    {
        QTest::addColumn<bool>("shade");
        QTest::addColumn<bool>("displayOver");
        QTest::newRow("fading") << true << true;
        QTest::newRow("during display") << true << false;
        QTest::newRow("no shade effect") << false << false;
    }
    void hoverPausesFade()
    {
        QFETCH(bool, shade);
        QFETCH(bool, displayOver);
        settings.alarmShadeEffect = shade;
        AlarmMsgDlg a(hourly(at(11, 0)));
        a.showAlarm();
        if (displayOver) {
            for (int i = 0; i < 31; ++i)
                a.shadeDown();
            QVERIFY(a.opacity < 0.75);
        }
        enter(&a);
        QVERIFY(a.mouseInside);
        QVERIFY(!a.shadeTimer->isActive());
        QCOMPARE(a.windowOpacity(), 1.0);
        leave(&a);
        QVERIFY(!a.mouseInside);
        QCOMPARE(a.isVisible(), shade);
        if (shade) {
            // Leaving cuts the display period short: the fade goes on at once.
            QVERIFY(a.shadeTimer->isActive());
            QCOMPARE(a.shadeTimer->interval(), 150);
        }
    }

    void hideKeys_data()
    {
        QTest::addColumn<int>("how"); // 0 Escape, 1 close button, 2 Return and A
        QTest::addColumn<bool>("hidden");
        QTest::newRow("escape") << 0 << true;
        QTest::newRow("close button") << 1 << true;
        QTest::newRow("other keys") << 2 << false;
    }
    void hideKeys()
    {
        QFETCH(int, how);
        QFETCH(bool, hidden);
        AlarmMsgDlg a(hourly(at(11, 0)));
        QSignalSpy finished(&a, &AlarmMsgDlg::alarmFinished);
        a.showAlarm();
        if (how == 0) {
            QTest::keyClick(&a, Qt::Key_Escape);
        } else if (how == 1) {
            QTest::mousePress(a.findChild<QPushButton*>("closeButton"), Qt::LeftButton);
        } else {
            QTest::keyClick(&a, Qt::Key_Return);
            QTest::keyClick(&a, Qt::Key_A);
        }
        QCOMPARE(a.isHidden(), hidden);
        QCOMPARE(a.shadeTimer->isActive(), !hidden);
        QCOMPARE(finished.count(), 0);
    }

    void hidingSpentAlarm_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("deleteExpired");
        QTest::addColumn<bool>("reminder");
        QTest::addColumn<int>("finished");
        QTest::newRow("spent, delete") << false << true << false << 1;
        QTest::newRow("spent, keep") << false << false << false << 0;
        QTest::newRow("active, delete") << true << true << false << 0;
        QTest::newRow("spent, reminder pending") << false << true << true << 0;
    }
    void hidingSpentAlarm()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, deleteExpired);
        QFETCH(bool, reminder);
        QFETCH(int, finished);
        settings.alarmDeleteExpired = deleteExpired;
        AlarmRecord r = once(at(9, 0));
        r.enabled = enabled;
        AlarmMsgDlg a(r);
        td::test::PromptRecorder prompts;
        QSignalSpy spy(&a, &AlarmMsgDlg::alarmFinished);
        a.showAlarm();
        if (reminder)
            a.addDelay5min();
        else
            a.hide();
        QVERIFY(a.isHidden());
        QCOMPARE(spy.count(), finished);
        QVERIFY(prompts.prompts.isEmpty());
        if (finished)
            QCOMPARE(spy.first().first().value<AlarmMsgDlg*>(), &a);
    }

    void remindLater_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("action"); // 0: 5 min, 1: 1 hour, 2: 1 day
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("reminder"); // null: refused
        const int h = td::Hours, d = td::Days;
        QTest::newRow("5 minutes, seconds dropped") << h << 0 << at(10, 0, 40) << at(10, 5);
        QTest::newRow("1 hour equals next: refused") << h << 1 << at(10, 0, 0) << QDateTime();
        QTest::newRow("1 day: refused") << h << 2 << at(10, 0, 40) << QDateTime();
        QTest::newRow("5 minutes near the next") << h << 0 << at(10, 54, 59) << at(10, 59);
        QTest::newRow("5 minutes too late") << h << 0 << at(10, 55, 0) << QDateTime();
        QTest::newRow("daily, 1 day right at firing") << d << 2 << at(10, 0, 0) << QDateTime();
        QTest::newRow("daily, 1 hour") << d << 1 << at(10, 0, 1) << at(11, 0);
        QTest::newRow("daily, 1 hour too late") << d << 1 << at(9, 0).addDays(1) << QDateTime();
    }
    void remindLater()
    {
        QFETCH(int, unit);
        QFETCH(int, action);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, reminder);
        // An alarm that fired at 10:00 has its base at its next occurrence.
        AlarmRecord r = hourly(unit == td::Hours ? at(11, 0) : at(10, 0).addDays(1));
        r.repeatMeasure = unit;
        AlarmMsgDlg a(r);
        td::test::PromptRecorder prompts;
        QSignalSpy changed(&a, &AlarmMsgDlg::alarmDelayChanged);
        td::clock::setFixed(now);
        a.showAlarm();
        const qint64 seconds[] = {300, 3600, 86400};
        QAction* actions[] = {a.delay5minAction, a.delay1hourAction, a.delay1dayAction};
        actions[action]->trigger();
        QVERIFY(a.isHidden());
        QCOMPARE(a.delayedTime(), reminder);
        if (reminder.isValid()) {
            QCOMPARE(a.delay(), seconds[action]);
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.first().first().toLongLong(), seconds[action]);
            QVERIFY(prompts.prompts.isEmpty());
            QCOMPARE(a.reminderMsecs(), reminder.toMSecsSinceEpoch());
            QCOMPARE(a.fireMsecs(), alarmMoment(r).toMSecsSinceEpoch() + seconds[action] * 1000);
        } else {
            QCOMPARE(a.delay(), 0);
            QCOMPARE(changed.count(), 0);
            QCOMPARE(prompts.titles(), QStringList{"Alarm"});
            QCOMPARE(prompts.prompts.first().text,
                     QString("Cannot add such delay, because next scheduled alarm was planned "
                             "earlier"));
            QCOMPARE(a.reminderMsecs(), AlarmMsgDlg::Never);
        }
    }

    void delaysReplaceAndReset()
    {
        AlarmMsgDlg a(hourly(at(11, 0)));
        a.addDelay(300);
        a.addDelay(600);
        QCOMPARE(a.delay(), 600);
        QCOMPARE(a.delayedTime(), at(10, 10));
        a.resetDelay();
        QCOMPARE(a.delay(), 0);
        QVERIFY(!a.delayedTime().isValid());
        QCOMPARE(a.fireMsecs(), at(11, 0).toMSecsSinceEpoch());
        // setDelay checks nothing and keeps the seconds.
        QSignalSpy changed(&a, &AlarmMsgDlg::alarmDelayChanged);
        td::clock::setFixed(at(10, 0, 30));
        a.setDelay(86400);
        QCOMPARE(a.delayedTime(), at(10, 0, 30).addDays(1));
        QCOMPARE(changed.count(), 1);
    }

    void otherDelayValue_data()
    {
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("unit");
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("1 minute") << 1 << 0 << qint64(60);
        QTest::newRow("3 days") << 3 << 2 << qint64(259200);
        QTest::newRow("999 weeks") << 999 << 3 << qint64(604195200);
        QTest::newRow("above range clamps") << 5000 << 3 << qint64(604195200);
    }
    void otherDelayValue()
    {
        QFETCH(int, amount);
        QFETCH(int, unit);
        QFETCH(qint64, seconds);
        td::OtherDelayDlg d;
        QCOMPARE(d.windowTitle(), QString("Dialog"));
        QCOMPARE(d.ui->valueBox->value(), 1);
        QCOMPARE(d.ui->valueType->currentText(), QString("Minutes"));
        d.ui->valueBox->setValue(amount);
        d.ui->valueType->setCurrentIndex(unit);
        QCOMPARE(d.value(), seconds);
    }

    void otherDelayAppliesAndHides_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void otherDelayAppliesAndHides()
    {
        QFETCH(bool, accept);
        AlarmRecord r = once(at(9, 59));
        r.enabled = false;
        AlarmMsgDlg a(r);
        a.showAlarm();
        td::test::whenModal([accept](QWidget* w) {
            auto* d = qobject_cast<td::OtherDelayDlg*>(w);
            QVERIFY(d);
            d->ui->valueBox->setValue(2);
            d->ui->valueType->setCurrentIndex(1);
            accept ? d->accept() : d->reject();
        });
        a.otherDelay();
        QVERIFY(a.isHidden());
        QCOMPARE(a.delay(), accept ? 7200 : 0);
    }

    void compactFormHidesBannerAndClock_data()
    {
        QTest::addColumn<bool>("simple");
        QTest::newRow("compact") << true;
        QTest::newRow("full") << false;
    }
    void compactFormHidesBannerAndClock()
    {
        QFETCH(bool, simple);
        settings.alarmSimpleForm = simple;
        AlarmMsgDlg a(hourly(at(11, 0)));
        a.showAlarm();
        QCOMPARE(a.findChild<QLabel*>("label")->isVisible(), !simple);
        QCOMPARE(a.findChild<QLabel*>("animation")->isVisible(), !simple);
        // The clock only runs while it can be seen.
        QCOMPARE(a.movie != nullptr && a.movie->state() == QMovie::Running, !simple);
        a.hide();
        QVERIFY(!a.movie || a.movie->state() != QMovie::Running);
    }

    void formSwitchKeepsCorner_data()
    {
        QTest::addColumn<bool>("firstSimple");
        QTest::newRow("compact to full") << true;
        QTest::newRow("full to compact") << false;
    }
    void formSwitchKeepsCorner()
    {
        QFETCH(bool, firstSimple);
        settings.alarmSimpleForm = !firstSimple;
        AlarmMsgDlg reference(hourly(at(11, 0)));
        reference.prepareSize();
        settings.alarmSimpleForm = firstSimple;
        AlarmMsgDlg a(hourly(at(11, 0)));
        a.prepareSize();
        a.showAlarm();
        QCoreApplication::processEvents();
        a.hide();
        a.move(QPoint(500, 400) - QPoint(a.width(), a.height()));
        settings.alarmSimpleForm = !firstSimple;
        a.prepareSize();
        QCOMPARE(a.size(), reference.size());
        QCOMPARE(a.geometry().bottomRight(), QPoint(499, 399));
    }
};

TIDRA_TEST_MAIN(TestAlarmPopup)
#include "tst_alarmpopup.moc"
