// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/HolidayRecord.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTime>
#include <array>

namespace td {

/// One weekday of the working timetable.
struct WorkDay
{
    bool enabled = false;
    QTime workBegin;
    QTime lunchBegin;
    QTime lunchEnd;
    QTime workEnd;
};

/// Every option of the program, the weekly timetable and the holiday list.
struct AppSettings
{
    int leftClick = 0;
    int doubleClick = 0;
    int middleClick = 0;
    bool startWithOS = false;
    bool showOnStartUp = false;
    int alarmDisplayTime = 0;
    bool alarmDisplayBaloon = false;
    bool alarmAlsoNotify = false; ///< mirror pop-ups in the desktop's notification area
    bool alarmShadeEffect = false;
    int alarmShadeTime = 0;
    bool alarmDeleteExpired = false;
    bool alarmPlaySound = false;
    QString alarmSoundFileName;
    bool alarmRepeatSound = false; ///< ring until the pop-up is closed
    bool alarmSimpleForm = false;
    QString alarmRemindChoices; ///< the "Remind later" spans, as spans::parseList() reads them
    bool timerActivateByClick = false;
    bool timerShowCaptions = false;
    bool timerShadeInactive = false;
    bool timerAlarmEnabled = false;
    int timerFontSize = 0;
    bool timerPlaySound = false;
    QString timerSoundFileName;
    QString timerDefaultSkin;
    std::array<WorkDay, 7> workDays{}; ///< index 0 = Sunday
    bool noLunch = false;
    QList<HolidayRecord> holidays;
    bool timeToLunch = false;
    bool timeToEndDay = false;
    bool hideTillLunch = false;
    bool timeToHoliday = false;
    bool timeToVacation = false;
};

/// The process-wide settings record, created by the main window.
extern AppSettings* appSettings;

/// A stored sound path (relative to the program's folder when possible) as a full path.
QString resolveSoundPath(const QString& stored);
/// A chosen file as it is stored: relative to the program's folder when possible.
QString relativeSoundPath(const QString& chosen);

} // namespace td
