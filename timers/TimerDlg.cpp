// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/TimerDlg.h"

#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/SoundChoice.h"
#include "common/TimeEdits.h"
#include "common/WindowPlacement.h"
#include "timers/TimerMath.h"
#include "ui_timerdialog.h"

#include <QComboBox>

namespace td {

TimerDlg::TimerDlg(QWidget* parent, bool workTimer)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::CustomizeWindowHint),
      ui(new Ui::TimerDialog)
{
    ui->setupUi(this);
    localizeTimeEdits(this);
    // Without a frame the editor would stay wherever it opened.
    new WindowDragger(this);
    activateWindow();

    // One hour ahead from the whole minute. Late in the evening that hour lies
    // tomorrow, and so does the proposed date.
    const QDateTime now = td::now();
    const QDateTime proposal =
        QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())).addSecs(3600);
    ui->timeTo->setTime(proposal.time());
    ui->dateTo->setDate(proposal.date());

    ui->timerName->setFocus();
    ui->frameFormat->hide();
    connect(ui->formatCustom, &QAbstractButton::toggled, ui->frameFormat, &QWidget::setVisible);
    connect(ui->modeTimer, &QAbstractButton::toggled, ui->continueExpired, &QWidget::setVisible);
    connect(ui->modeTimer, &QAbstractButton::toggled, ui->label_12, &QWidget::setVisible);
    connect(ui->modeTimer, &QAbstractButton::toggled, ui->timerType, &QWidget::setVisible);

    connect(ui->applyButton, &QAbstractButton::clicked, this, &TimerDlg::apply);
    connect(ui->cancelButton, &QAbstractButton::clicked, this, &TimerDlg::cancel);

    changeTimerType();
    connect(ui->timerType, &QComboBox::currentIndexChanged, this, &TimerDlg::changeTimerType);
    connect(ui->modeTimer, &QAbstractButton::toggled, this, &TimerDlg::changeTimerType);

    // The label leads to the choice itself, not the box around it.
    ui->soundLabel->setBuddy(ui->timerSound->combo);
    if (appSettings)
        ui->timerSound->setDefaultSound(appSettings->timerPlaySound,
                                        appSettings->timerSoundFileName);
    // Work windows ring the global sound; their records keep no sound of their own.
    ui->soundLabel->setVisible(!workTimer);
    ui->timerSound->setVisible(!workTimer);

    if (workTimer) {
        for (QWidget* w :
             {static_cast<QWidget*>(ui->timerName), static_cast<QWidget*>(ui->modeTimer),
              static_cast<QWidget*>(ui->modeStopwatch), static_cast<QWidget*>(ui->timerType),
              static_cast<QWidget*>(ui->dateTo), static_cast<QWidget*>(ui->timeTo),
              static_cast<QWidget*>(ui->continueExpired)})
            w->setEnabled(false);
        // The name field cannot take the focus now; the format is what can change.
        ui->formatShort->setFocus();
    }
}

TimerDlg::~TimerDlg() = default;

void TimerDlg::changeTimerType()
{
    const bool timer = ui->modeTimer->isChecked();
    const bool countFor = ui->timerType->currentIndex() == 1;
    ui->groupTimeTo->setVisible(timer && !countFor);
    ui->groupCountFor->setVisible(timer && countFor);
}

void TimerDlg::setTimerRecord(const TimerRecord& r)
{
    ui->timerName->setText(r.name);
    ui->continueExpired->setChecked(r.continueExpired);
    ui->weekFormat->setChecked(r.weekFormat);
    ui->dayFormat->setChecked(r.dayFormat);
    ui->hourFormat->setChecked(r.hourFormat);
    ui->minFormat->setChecked(r.minFormat);
    ui->secFormat->setChecked(r.secFormat);
    ui->msecFormat->setChecked(r.msecFormat);
    if (r.type == TypeTimer)
        ui->modeTimer->setChecked(true);
    else
        ui->modeStopwatch->setChecked(true);
    ui->dateTo->setDate(r.dateTime.date());
    ui->timeTo->setTime(r.dateTime.time());
    if (r.format == FormatCustom)
        ui->formatCustom->setChecked(true);
    else if (r.format == FormatFull)
        ui->formatFull->setChecked(true);
    ui->timerSound->setChoice(r.sound);
}

TimerRecord TimerDlg::timerRecord() const
{
    TimerRecord r;
    r.name = ui->timerName->text();
    r.type = ui->modeTimer->isChecked() ? TypeTimer : TypeStopwatch;
    r.continueExpired = ui->continueExpired->isChecked();
    r.format = ui->formatCustom->isChecked() ? FormatCustom
               : ui->formatFull->isChecked() ? FormatFull
                                             : FormatShort;
    r.msecFormat = ui->msecFormat->isChecked();
    r.secFormat = ui->secFormat->isChecked();
    r.minFormat = ui->minFormat->isChecked();
    r.hourFormat = ui->hourFormat->isChecked();
    r.dayFormat = ui->dayFormat->isChecked();
    r.weekFormat = ui->weekFormat->isChecked();
    r.sound = ui->timerSound->choice();

    const QDateTime now = td::now();
    if (r.type == TypeStopwatch)
        r.dateTime = now;
    else if (ui->timerType->currentIndex() == 1) {
        r.spanSecs = timermath::countForSecs(ui->weekFor->value(), ui->dayFor->value(),
                                             ui->hourFor->value(), ui->minFor->value());
        r.dateTime = timermath::spanEnd(now, r.spanSecs);
    } else
        // A time the clocks skip would give no moment at all; take the one after the gap.
        r.dateTime = localMoment(ui->dateTo->date(), ui->timeTo->time());
    return r;
}

void TimerDlg::apply()
{
    accept();
}

void TimerDlg::cancel()
{
    reject();
}

} // namespace td
