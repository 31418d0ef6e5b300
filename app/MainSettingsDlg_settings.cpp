// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Prompts.h"
#include "common/SettingsTable.h"
#include "common/SoundFile.h"
#include "common/SoundPlayer.h"
#include "common/Spans.h"
#include "common/WrappedNote.h"
#include "storage/SettingsFile.h"
#include "ui_maindialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

namespace td {

namespace {

struct DayWidgets
{
    QCheckBox* enable;
    QTimeEdit* lunchBegin;
    QTimeEdit* lunchEnd;
};

std::array<DayWidgets, 7> dayWidgets(const Ui::MainDialog* ui)
{
    return {{{ui->daySunEnable, ui->daySunBeginLunch, ui->daySunEndLunch},
             {ui->dayMonEnable, ui->dayMonBeginLunch, ui->dayMonEndLunch},
             {ui->dayTueEnable, ui->dayTueBeginLunch, ui->dayTueEndLunch},
             {ui->dayWedEnable, ui->dayWedBeginLunch, ui->dayWedEndLunch},
             {ui->dayThuEnable, ui->dayThuBeginLunch, ui->dayThuEndLunch},
             {ui->dayFriEnable, ui->dayFriBeginLunch, ui->dayFriEndLunch},
             {ui->daySatEnable, ui->daySatBeginLunch, ui->daySatEndLunch}}};
}

/// Asks for a sound file, starting where the current one is (else in the
/// program's folder), and puts the choice into `field`.
void chooseSound(QWidget* parent, const QString& title, const QString& stored, QLineEdit* field)
{
    const QFileInfo current(resolveSoundPath(stored));
    const QString chosen = prompts::openFileName(
        parent, title,
        current.exists() ? current.absolutePath() : QCoreApplication::applicationDirPath(),
        soundFileFilter());
    if (!chosen.isEmpty())
        field->setText(relativeSoundPath(chosen));
}

/// The red note under a sound chooser: why its sound cannot be played, or
/// nothing. Without `look` the file is not opened (at start-up, when nobody
/// has touched the chooser yet).
void showSoundNote(QLabel* note, bool playing, const QString& stored, bool look)
{
    QString reason;
    if (playing && !stored.isEmpty()) {
        const QString path = resolveSoundPath(stored);
        reason = soundFileProblem(path, look);
        if (reason.isEmpty())
            reason = knownSoundProblem(path);
        if (reason.isEmpty())
            reason = knownSoundProblem(QString());
    }
    note->setText(reason.isEmpty()
                      ? QString()
                      : MainSettingsDlg::tr("This sound cannot be played: %1.").arg(reason));
    note->setVisible(!reason.isEmpty());
}

} // namespace

void MainSettingsDlg::connectSoundChoosers()
{
    for (QLabel* note : {ui->alarmSoundNote, ui->timerSoundNote, ui->remindChoicesNote})
        keepLinesTall(note);
    auto notesLooking = [this](bool look) {
        showSoundNote(ui->alarmSoundNote, ui->alarmPlaySound->isChecked(),
                      ui->alarmSoundFile->text(), look);
        showSoundNote(ui->timerSoundNote, ui->timerPlaySound->isChecked(),
                      ui->timerSoundFile->text(), look);
    };
    auto notes = [notesLooking]() { notesLooking(true); };
    // A file chosen or typed is opened once, a moment after the typing stops,
    // to learn whether it plays at all.
    auto* probeTimer = new QTimer(this);
    probeTimer->setSingleShot(true);
    probeTimer->setInterval(300);
    connect(probeTimer, &QTimer::timeout, this, [this]() {
        SoundPlayer* player = soundPlayer();
        for (const QLineEdit* edit : {ui->alarmSoundFile, ui->timerSoundFile}) {
            const QString path = resolveSoundPath(edit->text());
            if (player && edit->isEnabled() && !edit->text().isEmpty() &&
                soundFileProblem(path).isEmpty())
                player->probe(path, this, [path](const QString& problem) {
                    reportSoundProblem(path, problem);
                });
        }
    });
    for (QLineEdit* edit : {ui->alarmSoundFile, ui->timerSoundFile}) {
        connect(edit, &QLineEdit::textChanged, this, notes);
        connect(edit, &QLineEdit::textChanged, probeTimer, qOverload<>(&QTimer::start));
    }
    connect(ui->alarmPlaySound, &QCheckBox::toggled, this, notes);
    connect(ui->timerPlaySound, &QCheckBox::toggled, this, notes);
    connect(soundProblems(), &SoundProblems::changed, this, notes);
    notesLooking(false);
}

void MainSettingsDlg::connectSettingsWidgets()
{
    for (const settings::Entry& e : settings::table()) {
        QWidget* w = findChild<QWidget*>(e.widget);
        // The work page's boxes were connected before the page was filled.
        if (!w || ui->page_5->isAncestorOf(w))
            continue;
        if (auto* box = qobject_cast<QCheckBox*>(w))
            connect(box, &QCheckBox::stateChanged, this, &MainSettingsDlg::updateSettings);
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            connect(combo, &QComboBox::currentIndexChanged, this, &MainSettingsDlg::updateSettings);
        else if (auto* spin = qobject_cast<QSpinBox*>(w))
            connect(spin, &QSpinBox::valueChanged, this, &MainSettingsDlg::updateSettings);
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            connect(edit, &QLineEdit::textChanged, this, &MainSettingsDlg::updateSettings);
        else if (auto* time = qobject_cast<QTimeEdit*>(w))
            connect(time, &QTimeEdit::dateTimeChanged, this, &MainSettingsDlg::updateSettings);
    }
    // The form enables all four edits of a day that is switched on; its lunch
    // edits must still follow "Work with no lunch". The form's connection runs
    // after stateChanged, so the rule is applied once more behind it.
    for (const DayWidgets& day : dayWidgets(ui.get()))
        connect(day.enable, &QCheckBox::toggled, this, &MainSettingsDlg::updateLunchEdits);

    connect(ui->alarmSoundChagngeButton, &QPushButton::pressed, this,
            &MainSettingsDlg::changeAlarmFileName);
    connect(ui->timerSoundChagngeButton, &QPushButton::pressed, this,
            &MainSettingsDlg::changeTimerFileName);
    connect(ui->defaultSkinButton, &QPushButton::pressed, this,
            &MainSettingsDlg::changeDefaultFont);
    connectSoundChoosers();
    // Typed live, so a half-typed list is normal: only what is not understood
    // is named, and the menu keeps offering what is.
    const auto remindNote = [this] {
        QStringList bad;
        spans::parseList(ui->alarmRemindChoices->text(), &bad);
        ui->remindChoicesNote->setText(
            tr("Not understood: %1. Give spans such as 10m, 1h30m or 2d, separated by commas.")
                .arg(bad.join(QStringLiteral(", "))));
        ui->remindChoicesNote->setVisible(!bad.isEmpty());
    };
    connect(ui->alarmRemindChoices, &QLineEdit::textChanged, this, remindNote);
    remindNote();
}

void MainSettingsDlg::updateLunchEdits()
{
    const bool noLunch = ui->noLunchDay->isChecked();
    for (const DayWidgets& day : dayWidgets(ui.get())) {
        if (noLunch) {
            day.lunchBegin->setEnabled(false);
            day.lunchEnd->setEnabled(false);
        } else if (day.enable->isChecked()) {
            day.lunchBegin->setEnabled(true);
            day.lunchEnd->setEnabled(true);
        }
    }
}

void MainSettingsDlg::updateSettings()
{
    settings::readFromWidgets(*appSettings, this);
    updateLunchEdits();
    saveSettings(*appSettings);
    updateWorkingTimer(lunchTimer);
    updateWorkingTimer(dayEndTimer);
    updateWorkingTimer(holidayTimer);
    updateWorkingTimer(vacationTimer);
    emit settingsChanged();
}

void MainSettingsDlg::changeAlarmFileName()
{
    chooseSound(this, QStringLiteral("Select alarm sound file"), appSettings->alarmSoundFileName,
                ui->alarmSoundFile);
}

void MainSettingsDlg::changeTimerFileName()
{
    chooseSound(this, QStringLiteral("Select timer sound file"), appSettings->timerSoundFileName,
                ui->timerSoundFile);
}

} // namespace td
