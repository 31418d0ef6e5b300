// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceCommands.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "storage/Autostart.h"
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
    template <typename T = QWidget> T* get(const QString& name) { return w->findChild<T*>(name); }

private slots:
    void init() { td::test::clearUserData(); }
    void cleanup()
    {
        w.reset();
        td::clock::reset();
    }

    void firstStartShowsDefaults()
    {
        start();
        QCOMPARE(w->ui->leftClickActionCombo->currentText(), QString("Show Fast Actions Menu"));
        QCOMPARE(w->ui->alarmDisplayTime->value(), 10);
        QCOMPARE(w->ui->alarmSoundFile->text(), QString("oldphone.wav"));
        QCOMPARE(w->ui->timerFontSize->currentText(), QString("Normal"));
        QVERIFY(!w->ui->alarmAlsoNotify->isChecked() && !w->ui->alarmRepeatSound->isChecked());
        const QString days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        for (int d = 0; d < 7; ++d) {
            const bool working = d >= 1 && d <= 5;
            QCOMPARE(get<QCheckBox>("day" + days[d] + "Enable")->isChecked(), working);
            QCOMPARE(get<QTimeEdit>("day" + days[d] + "BeginWork")->time(), QTime(9, 0));
            QCOMPARE(get<QTimeEdit>("day" + days[d] + "EndWork")->time(), QTime(18, 0));
            QCOMPARE(get("day" + days[d] + "EndWork")->isEnabled(), working);
        }
    }

    void storedValuesAreRepairedByTheirWidgets()
    {
        store().setValue("alarms/ShadeTime", 100);
        store().setValue("work/TueLunchEndTime", "half past");
        start();
        QCOMPARE(store().value("alarms/ShadeTime").toString(), "59");        // clamped
        QCOMPARE(store().value("work/TueLunchEndTime").toString(), "14:00"); // the form's
    }

    void everyChangeIsStoredAtOnce()
    {
        start();
        QSignalSpy changed(w.get(), &td::MainSettingsDlg::settingsChanged);
        w->ui->middleClickActionCombo->setCurrentIndex(3);
        w->ui->dayThuBeginLunch->setTime(QTime(12, 30));
        w->ui->workTimerVacation->setChecked(true);
        w->ui->alarmAlsoNotify->setChecked(true);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(store().value("tray/middleClick").toInt(), 3);
        QCOMPARE(store().value("work/ThuLunchBeginTime").toString(), QString("12:30"));
        QVERIFY(store().value("work/TimeToVacation").toBool());
        QVERIFY(store().value("alarms/AlsoNotify").toBool());
    }

    void formEnablingRules_data()
    {
        QTest::addColumn<QString>("steps"); // check boxes set in turn: name=0|1
        QTest::addColumn<QString>("want");  // widgets enabled (+) or not (-)
        const auto row = [](const char* steps, const char* want) {
            QTest::addRow("%s: %s", steps, want) << QString(steps) << QString(want);
        };
        row("alarmDisplayBaloon=0 alarmShadeEffect=1", "+alarmShadeTime +alarmAlsoNotify");
        row("alarmDisplayBaloon=0 alarmShadeEffect=0", "-alarmShadeTime");
        // Balloons go to the notification area anyway, and do not fade.
        row("alarmShadeEffect=1 alarmDisplayBaloon=1",
            "-alarmShadeEffect -shadeTimeLabel -alarmAlsoNotify");
        row("alarmPlaySound=1", "+alarmSoundChagngeButton +alarmRepeatSound");
        row("alarmPlaySound=0", "-alarmSoundChagngeButton -alarmRepeatSound");
        row("workTimerToDayEnd=0", "-workTimerNoDayEndTillLunch");
        row("noLunchDay=1 noLunchDay=0", "+dayWedBeginLunch +dayWedEndLunch +dayWedEndWork");
        row("noLunchDay=1 noLunchDay=0", "-daySatBeginLunch -daySatEndLunch -daySatBeginWork");
        row("noLunchDay=1 daySunEnable=1", "-daySunBeginLunch -daySunEndLunch +daySunBeginWork");
        row("dayThuEnable=0", "-dayThuBeginLunch -dayThuEndLunch -dayThuBeginWork -dayThuEndWork");
    }
    void formEnablingRules()
    {
        QFETCH(QString, steps);
        QFETCH(QString, want);
        start();
        for (const QString& step : steps.split(' '))
            get<QCheckBox>(step.section('=', 0, 0))->setChecked(step.endsWith("=1"));
        for (const QString& widget : want.split(' '))
            QVERIFY2(get(widget.mid(1))->isEnabled() == widget.startsWith('+'), qPrintable(widget));
    }

    void commandsOfTheRunningProgram()
    {
        start();
        td::clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 20)));
        const auto run = [this](const QStringList& words) {
            const td::protocol::Reply r = td::runInstanceCommand(*w, {words[0], words.mid(1)});
            return QString::number(r.code) + ' ' + r.out + r.err;
        };
        QCOMPARE(run({"alarm", "+25m", "Tea"}), "0 Alarm \"Tea\" is set for 2026-12-07 10:25.\n");
        QCOMPARE(run({"timer", "90s", "Egg"}),
                 "0 Timer \"Egg\" counts down to 2026-12-07 10:01:50.\n");
        QCOMPARE(run({"alarm", "2026-12-07 09:00"}), "1 Alarm can not be placed in the past.");
        QCOMPARE(run({"list"}), "0 alarm\tTea\t2026-12-07 10:25\tPlay once\n"
                                "timer\tEgg\tcounting down\t2026-12-07 10:01:50\tshown\n");
        QCOMPARE(run({"format-disk"}), "1 Unknown command \"format-disk\".");
    }

    void startWithSystemWritesAndRemovesTheEntry()
    {
        start();
        w->ui->startWithOS->setChecked(true);
        QVERIFY(td::Autostart::exists() && td::appSettings->startWithOS);
        w->ui->startWithOS->setChecked(false);
        QVERIFY(!td::Autostart::exists() && !td::appSettings->startWithOS);
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
        start();
        td::test::PromptRecorder prompts;
        QString folder, filter;
        td::prompts::setOpenFileHandler(
            [&](QWidget*, const QString&, const QString& d, const QString& f) {
                folder = d;
                filter = f;
                return chosen;
            });
        QTest::mouseClick(get<QPushButton>(which + "SoundChagngeButton"), Qt::LeftButton);
        QCOMPARE(folder, QCoreApplication::applicationDirPath());
        QVERIFY2(filter.startsWith("Sounds (*.wav *.ogg *.oga *.mp3 *.flac)"), qPrintable(filter));
        QTEST(store().value(which + "s/SoundFileName").toString(), "stored");
        QTEST(get<QLineEdit>(which + "SoundFile")->text(), "stored");
    }

    void soundNotes_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("play");
        QTest::addColumn<QString>("problem"); // what opening the file says, or the output's
        QTest::addColumn<QString>("note");    // after "This sound cannot be played: "
        const QString ok = TIDRA_SOURCE_DIR "/resources/oldphone.wav";
        const QString missing = "/nonexistent/ring.ogg";
        const auto row = [](const char* name, const char* which, const QString& file, bool play,
                            const char* problem, const char* note) {
            QTest::newRow(name) << which << file << play << problem << note;
        };
        row("plays", "alarm", ok, true, "", "");
        row("missing", "alarm", missing, true, "", "the file does not exist.");
        row("timer: missing", "timer", missing, true, "", "the file does not exist.");
        row("a folder", "alarm", TIDRA_SOURCE_DIR, true, "", "it is a folder.");
        row("not a sound", "timer", TIDRA_SOURCE_DIR "/README.md", true, "",
            "it is not a WAV, OGG, MP3 or FLAC sound.");
        row("cannot be decoded", "alarm", ok, true, "Could not open file", "Could not open file.");
        row("no audio output", "timer", ok, true, "output:no audio output", "no audio output.");
        row("sound off: no note", "alarm", missing, false, "", "");
    }
    void soundNotes()
    {
        QFETCH(QString, which);
        QFETCH(QString, file);
        QFETCH(QString, problem);
        QFETCH(QString, note);
        start();
        td::test::FakeSoundPlayer player;
        if (problem.startsWith("output:"))
            td::reportSoundProblem(QString(), problem.mid(7));
        else
            player.problems[file] = problem;
        auto* label = get<QLabel>(which + "SoundNote");
        QFETCH(bool, play);
        get<QCheckBox>(which + "PlaySound")->setChecked(play);
        get<QLineEdit>(which + "SoundFile")->setText(file);
        // A sound that looks right is opened a moment after it was chosen.
        QTRY_COMPARE(label->text(), note.isEmpty() ? note : "This sound cannot be played: " + note);
        QCOMPARE(label->isHidden(), note.isEmpty());
        QCOMPARE(player.played, QStringList());
        td::reportSoundProblem(QString(), QString());
        td::reportSoundProblem(file, QString());
    }
};

TIDRA_TEST_MAIN(TestSettingsPage)
#include "tst_mainwindow_settings.moc"
