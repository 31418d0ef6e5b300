// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmDlg.h"

#include "alarms/AlarmCommands.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/SoundChoice.h"
#include "common/TimeEdits.h"
#include "common/WindowPlacement.h"
#include "common/WrappedNote.h"
#include "ui_alarmdialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace td {

namespace {
QTime wholeMinute(const QTime& t)
{
    return QTime(t.hour(), t.minute());
}

/// The login name the commands run under.
QString userName()
{
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        const QString user = qEnvironmentVariable(name);
        if (!user.isEmpty())
            return user;
    }
    return QDir::home().dirName();
}

/// Whether the program can be started: a path to an executable file, or a
/// name found on the PATH.
bool programExists(const QString& program)
{
    if (program.contains(u'/') || program.contains(u'\\')) {
        const QFileInfo info(QDir::home().absoluteFilePath(program));
        return info.isFile() && info.isExecutable();
    }
    return !QStandardPaths::findExecutable(program).isEmpty();
}
} // namespace

AlarmDlg::AlarmDlg()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::CustomizeWindowHint),
      ui(new Ui_AlarmDialog)
{
    ui->setupUi(this);
    localizeTimeEdits(this);
    setWindowModality(Qt::NonModal);
    // Without a frame there is no title bar to grab.
    new WindowDragger(this);
    activateWindow();

    const QDateTime proposal = now().addSecs(3600);
    ui->alarmDate->setDate(proposal.date());
    ui->alarmTime->setTime(wholeMinute(proposal.time()));

    connect(ui->alarmMode, &QComboBox::currentIndexChanged, this, &AlarmDlg::repeatModeChanged);
    ui->stackedWidget->hide();
    ui->alarmName->setFocus();
    connect(ui->applyButton, &QPushButton::clicked, this, &AlarmDlg::apply);
    connect(ui->cancelButton, &QPushButton::clicked, this, &AlarmDlg::cancel);
    connect(ui->alarmEnabled, &QCheckBox::toggled, this, &AlarmDlg::setFieldsEnabled);

    // The label leads to the choice itself, not the box around it.
    ui->soundLabel->setBuddy(ui->alarmSound->combo);
    if (appSettings)
        ui->alarmSound->setDefaultSound(appSettings->alarmPlaySound,
                                        appSettings->alarmSoundFileName);
    ui->commandNote->setText(
        tr("Runs as user %1 when the alarm rings (not when it reminds again), directly and "
           "without a shell: quotes group words; pipes, redirections and $VARIABLES are not "
           "understood. It finds the alarm in TIDRA_ALARM_NAME, TIDRA_ALARM_MESSAGE and "
           "TIDRA_ALARM_TIME and is ended after a minute.")
            .arg(userName()));
    keepLinesTall(ui->commandNote);
    connect(ui->chooseCommand, &QPushButton::clicked, this, &AlarmDlg::chooseProgram);
}

AlarmDlg::~AlarmDlg() = default;

void AlarmDlg::setFieldsEnabled(bool on)
{
    for (QWidget* w :
         {static_cast<QWidget*>(ui->alarmName), static_cast<QWidget*>(ui->alarmDate),
          static_cast<QWidget*>(ui->alarmTime), static_cast<QWidget*>(ui->stackedWidget),
          static_cast<QWidget*>(ui->alarmMessage), static_cast<QWidget*>(ui->alarmMode),
          static_cast<QWidget*>(ui->alarmSound), static_cast<QWidget*>(ui->alarmCommand),
          static_cast<QWidget*>(ui->chooseCommand)})
        w->setEnabled(on);
}

bool AlarmDlg::refusedAsCalendarAlarm(QWidget* parent, const AlarmRecord& record)
{
    if (record.calendar.isEmpty())
        return false;
    prompts::warning(parent, tr("Alarm"),
                     tr("This alarm comes from the calendar \"%1\" and changes only with it.")
                         .arg(record.calendar));
    return true;
}

void AlarmDlg::fillFrom(const AlarmRecord& record)
{
    m_record = record;
    ui->alarmEnabled->setChecked(record.enabled);
    setFieldsEnabled(record.enabled);
    ui->alarmName->setText(record.name);
    if (record.date.isValid())
        ui->alarmDate->setDate(record.date);
    if (record.time.isValid())
        ui->alarmTime->setTime(record.time);
    const int mode = (record.repeatMode >= RepeatOnce && record.repeatMode <= RepeatDayOfWeek)
                         ? record.repeatMode
                         : RepeatOnce;
    ui->alarmMode->setCurrentIndex(mode);
    repeatModeChanged(mode); // also when the index did not change
    if (mode == RepeatEvery) {
        ui->repeatRange->setValue(record.repeatRange);
        ui->repeatMeasure->setCurrentIndex(qBound(0, record.repeatMeasure, 5));
    } else if (mode == RepeatDayOfWeek) {
        QCheckBox* boxes[] = {ui->alarmDay0, ui->alarmDay1, ui->alarmDay2, ui->alarmDay3,
                              ui->alarmDay4, ui->alarmDay5, ui->alarmDay6};
        for (int d = 0; d < 7; ++d)
            boxes[d]->setChecked(record.days[d]);
    }
    ui->alarmMessage->setPlainText(record.message);
    ui->alarmSound->setChoice(record.sound);
    ui->alarmCommand->setText(commandLineText(record.command));
}

AlarmRecord AlarmDlg::result() const
{
    // What the editor has no widget for (the uid) stays as it was.
    AlarmRecord r = m_record;
    r.days = {};
    r.repeatRange = 0;
    r.repeatMeasure = 0;
    r.enabled = ui->alarmEnabled->isChecked();
    r.name = ui->alarmName->text();
    r.date = ui->alarmDate->date();
    r.time = wholeMinute(ui->alarmTime->time());
    r.repeatMode = ui->alarmMode->currentIndex();
    if (r.repeatMode == RepeatEvery) {
        r.repeatRange = ui->repeatRange->value();
        r.repeatMeasure = ui->repeatMeasure->currentIndex();
    } else if (r.repeatMode == RepeatDayOfWeek) {
        const QCheckBox* boxes[] = {ui->alarmDay0, ui->alarmDay1, ui->alarmDay2, ui->alarmDay3,
                                    ui->alarmDay4, ui->alarmDay5, ui->alarmDay6};
        for (int d = 0; d < 7; ++d)
            r.days[d] = boxes[d]->isChecked();
    }
    r.message = ui->alarmMessage->toPlainText();
    r.sound = ui->alarmSound->choice();
    r.command = QProcess::splitCommand(ui->alarmCommand->text());
    return r;
}

void AlarmDlg::repeatModeChanged(int mode)
{
    if (mode <= RepeatOnce) {
        ui->stackedWidget->hide();
        return;
    }
    ui->stackedWidget->show();
    ui->stackedWidget->setCurrentIndex(mode - 1);
}

void AlarmDlg::apply()
{
    if (!ui->alarmEnabled->isChecked()) {
        accept(); // a disabled alarm is not validated
        return;
    }
    // A name of blanks shows as nothing in the list and the pop-up.
    if (ui->alarmName->text().trimmed().isEmpty()) {
        prompts::warning(
            this, QCoreApplication::translate("AlarmDialog", "Empty name"),
            QCoreApplication::translate("AlarmDialog",
                                        "Alarm can not be unnamed.\nPlease write alarm's name."));
        ui->alarmName->setFocus();
        return;
    }
    const AlarmRecord r = result();
    if (!r.command.isEmpty() && !programExists(r.command.constFirst())) {
        prompts::warning(this, tr("No such program"),
                         tr("The program \"%1\" cannot be found or is not executable.\n"
                            "Please choose the program to run.")
                             .arg(r.command.constFirst()));
        ui->alarmCommand->setFocus();
        return;
    }
    if (alarmMoment(r) < now()) {
        prompts::warning(
            this, QCoreApplication::translate("AlarmDialog", "Back in time!"),
            QCoreApplication::translate(
                "AlarmDialog",
                "Alarm can not be placed in the past.\nPlease enter date and time in the future."));
        ui->alarmDate->setFocus();
        return;
    }
    if (r.repeatMode == RepeatDayOfWeek &&
        std::none_of(r.days.begin(), r.days.end(), [](bool d) { return d; })) {
        prompts::warning(this, QCoreApplication::translate("AlarmDialog", "Play once"),
                         QCoreApplication::translate(
                             "AlarmDialog",
                             "No one day of week is selected, repeat mode will be set to 'Once'"));
        ui->alarmMode->setCurrentIndex(RepeatOnce);
        return;
    }
    accept();
}

void AlarmDlg::chooseProgram()
{
    QStringList command = QProcess::splitCommand(ui->alarmCommand->text());
    const QString current = command.isEmpty() ? QString() : command.constFirst();
    const QString start =
        current.contains(u'/') ? QFileInfo(current).absolutePath() : QDir::homePath();
    const QString chosen =
        prompts::openFileName(this, tr("Choose the program to run"), start, QString());
    if (chosen.isEmpty())
        return;
    // The arguments typed so far stay.
    if (command.isEmpty())
        command << chosen;
    else
        command[0] = chosen;
    ui->alarmCommand->setText(commandLineText(command));
}

void AlarmDlg::cancel()
{
    reject();
}

} // namespace td
