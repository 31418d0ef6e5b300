#include "app/AppSettings.h"
#include "app/Autostart.h"
#include "app/MainSettingsDlg.h"
#include "tests/common/TestSupport.h"
#include "ui_maindialog.h"

#include <QDir>
#include <QLabel>
#include <QSettings>
#include <memory>

class TestSettingsPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<td::MainSettingsDlg> w;

    static QSettings store() { return QSettings("Morvane", "Tidra"); }
    void start() { w = std::make_unique<td::MainSettingsDlg>(); }
    QTimeEdit* edit(const QString& name) { return w->findChild<QTimeEdit*>(name); }
    QCheckBox* box(const QString& name) { return w->findChild<QCheckBox*>(name); }

private slots:
    void init() { td::test::clearUserData(); }
    void cleanup() { w.reset(); }

    void firstStartShowsDefaults()
    {
        start();
        QCOMPARE(w->ui->leftClickActionCombo->currentText(), QString("Show Fast Actions Menu"));
        QCOMPARE(w->ui->alarmDisplayTime->value(), 10);
        QCOMPARE(w->ui->alarmSoundFile->text(), QString("oldphone.wav"));
        QCOMPARE(w->ui->timerFontSize->currentText(), QString("Normal"));
        const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        for (int d = 0; d < 7; ++d) {
            const QString p = QString("day") + days[d];
            const bool working = d >= 1 && d <= 5;
            QCOMPARE(box(p + "Enable")->isChecked(), working);
            QCOMPARE(edit(p + "BeginWork")->time(), QTime(9, 0));
            QCOMPARE(edit(p + "EndWork")->time(), QTime(18, 0));
            QCOMPARE(edit(p + "EndWork")->isEnabled(), working);
        }
    }

    void storedValuesAreRepairedByTheirWidgets_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("afterStart");
        QTest::newRow("shade time clamped") << "alarms/ShadeTime" << QVariant(100) << "59";
        QTest::newRow("broken time keeps the form's")
            << "work/TueLunchEndTime" << QVariant("half past") << "14:00";
    }
    void storedValuesAreRepairedByTheirWidgets()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QString, afterStart);
        store().setValue(key, stored);
        start();
        QCOMPARE(store().value(key).toString(), afterStart);
    }

    void everyChangeIsStoredAtOnce()
    {
        start();
        QSignalSpy changed(w.get(), &td::MainSettingsDlg::settingsChanged);
        w->ui->middleClickActionCombo->setCurrentIndex(3);
        w->ui->dayThuBeginLunch->setTime(QTime(12, 30));
        w->ui->workTimerVacation->setChecked(true);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(store().value("tray/middleClick").toInt(), 3);
        QCOMPARE(store().value("work/ThuLunchBeginTime").toString(), QString("12:30"));
        QCOMPARE(store().value("work/TimeToVacation").toBool(), true);
    }

    void formEnablingRules()
    {
        start();
        auto* ui = w->ui;
        ui->alarmDisplayBaloon->setChecked(false);
        ui->alarmShadeEffect->setChecked(true);
        QVERIFY(ui->alarmShadeTime->isEnabled());
        ui->alarmShadeEffect->setChecked(false);
        QVERIFY(!ui->alarmShadeTime->isEnabled());
        ui->alarmShadeEffect->setChecked(true);
        ui->alarmDisplayBaloon->setChecked(true);
        QVERIFY(!ui->alarmShadeEffect->isEnabled());
        QVERIFY(!ui->shadeTimeLabel->isEnabled());
        ui->alarmDisplayBaloon->setChecked(false);
        QVERIFY(ui->alarmShadeEffect->isEnabled());

        QVERIFY(ui->alarmAlsoNotify->isEnabled());
        ui->alarmDisplayBaloon->setChecked(true); // balloons go to the notification area anyway
        QVERIFY(!ui->alarmAlsoNotify->isEnabled());

        QVERIFY(ui->alarmRepeatSound->isEnabled());
        ui->alarmPlaySound->setChecked(false);
        QVERIFY(!ui->alarmSoundChagngeButton->isEnabled());
        QVERIFY(!ui->alarmRepeatSound->isEnabled());

        ui->workTimerToDayEnd->setChecked(false);
        QVERIFY(!ui->workTimerNoDayEndTillLunch->isEnabled());
    }

    void lunchEditsFollowNoLunchAndDays_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("day");
        QTest::addColumn<bool>("lunchEnabled");
        QTest::addColumn<bool>("workEnabled");
        QTest::newRow("lunch back: working day")
            << QStringList{"noLunch", "lunch"} << "Wed" << true << true;
        QTest::newRow("lunch back: day off stays off")
            << QStringList{"noLunch", "lunch"} << "Sat" << false << false;
        QTest::newRow("day switched on with no lunch")
            << QStringList{"noLunch", "Sun on"} << "Sun" << false << true;
        QTest::newRow("day switched off") << QStringList{"Thu off"} << "Thu" << false << false;
    }
    void lunchEditsFollowNoLunchAndDays()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, day);
        QFETCH(bool, lunchEnabled);
        QFETCH(bool, workEnabled);
        start();
        for (const QString& step : steps) {
            if (step == "noLunch" || step == "lunch")
                w->ui->noLunchDay->setChecked(step == "noLunch");
            else
                box("day" + step.left(3) + "Enable")->setChecked(step.endsWith(" on"));
        }
        const QString p = "day" + day;
        QCOMPARE(edit(p + "BeginLunch")->isEnabled(), lunchEnabled);
        QCOMPARE(edit(p + "EndLunch")->isEnabled(), lunchEnabled);
        QCOMPARE(edit(p + "BeginWork")->isEnabled(), workEnabled);
        QCOMPARE(edit(p + "EndWork")->isEnabled(), workEnabled);
    }

    void startWithSystemWritesAndRemovesTheEntry()
    {
        start();
        w->ui->startWithOS->setChecked(true);
        QVERIFY(td::Autostart::exists());
        QVERIFY(td::appSettings->startWithOS);
        w->ui->startWithOS->setChecked(false);
        QVERIFY(!td::Autostart::exists());
        QVERIFY(!td::appSettings->startWithOS);
        // The box shows the entry, not a stored key.
        w.reset();
        QVERIFY(td::Autostart::write("/usr/bin/tidra"));
        start();
        QVERIFY(w->ui->startWithOS->isChecked());
    }

    void soundChoosers_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");
        const QString dir = QCoreApplication::applicationDirPath();
        QTest::newRow("timer: subfolder")
            << "timer" << dir + "/sounds/ring.wav" << QDir::toNativeSeparators("sounds/ring.wav");
        QTest::newRow("alarm: cancelled") << "alarm" << QString() << "oldphone.wav";
    }
    void soundChoosers()
    {
        QFETCH(QString, which);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        start();
        td::test::PromptRecorder prompts;
        QString folder;
        QString filter;
        td::prompts::setOpenFileHandler(
            [&](QWidget*, const QString&, const QString& d, const QString& f) {
                folder = d;
                filter = f;
                return chosen;
            });
        QPushButton* button =
            which == "alarm" ? w->ui->alarmSoundChagngeButton : w->ui->timerSoundChagngeButton;
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(folder, QCoreApplication::applicationDirPath());
        QVERIFY2(filter.startsWith("Sounds (*.wav *.ogg *.oga *.mp3 *.flac)"), qPrintable(filter));
        QCOMPARE(store().value(which + "s/SoundFileName").toString(), stored);
        QCOMPARE(w->findChild<QLineEdit*>(which + "SoundFile")->text(), stored);
    }

    void soundNotes_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("play");
        QTest::addColumn<QString>("problem"); // what opening the file says, or the output's
        QTest::addColumn<QString>("note");
        const QString ok = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        const QString cannot = "This sound cannot be played: ";
        QTest::newRow("plays") << "alarm" << ok << true << ""
                               << "";
        QTest::newRow("missing") << "alarm"
                                 << "/nonexistent/ring.ogg" << true << ""
                                 << cannot + "the file does not exist.";
        QTest::newRow("timer: missing")
            << "timer"
            << "/nonexistent/ring.ogg" << true << "" << cannot + "the file does not exist.";
        QTest::newRow("a folder") << "alarm" << TIDRA_SOURCE_DIR << true << ""
                                  << cannot + "it is a folder.";
        QTest::newRow("not a sound") << "timer" << TIDRA_SOURCE_DIR "/README.md" << true << ""
                                     << cannot + "it is not a WAV, OGG, MP3 or FLAC sound.";
        QTest::newRow("cannot be decoded")
            << "alarm" << ok << true << "Could not open file" << cannot + "Could not open file.";
        QTest::newRow("no audio output")
            << "timer" << ok << true << "output:no audio output" << cannot + "no audio output.";
        QTest::newRow("sound off: no note") << "alarm"
                                            << "/nonexistent/ring.ogg" << false << ""
                                            << "";
    }
    void soundNotes()
    {
        QFETCH(QString, which);
        QFETCH(QString, file);
        QFETCH(bool, play);
        QFETCH(QString, problem);
        QFETCH(QString, note);
        start();
        td::test::FakeSoundPlayer player;
        if (problem.startsWith("output:"))
            td::reportSoundProblem(QString(), problem.mid(7));
        else
            player.problems[file] = problem;
        auto* label = w->findChild<QLabel*>(which + "SoundNote");
        w->findChild<QCheckBox*>(which + "PlaySound")->setChecked(play);
        w->findChild<QLineEdit*>(which + "SoundFile")->setText(file);
        // A sound that looks right is opened a moment after it was chosen.
        QTRY_COMPARE(label->text(), note);
        QCOMPARE(label->isHidden(), note.isEmpty());
        QCOMPARE(player.played, QStringList());
        td::reportSoundProblem(QString(), QString());
        td::reportSoundProblem(file, QString());
    }
};

TIDRA_TEST_MAIN(TestSettingsPage)
#include "tst_mainwindow_settings.moc"
