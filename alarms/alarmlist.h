#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

class QCalendarWidget;
class QTimeEdit;

namespace td {

class AlarmMsgDlg;
class MainSettingsDlg;

/// Brings the list row of an alarm in step with its record (its name), e.g.
/// after the alarm was edited from its pop-up.
void refreshAlarmRow(AlarmMsgDlg* alarm);

/// The moment the details pane's "Next alarm" line of `owner` changes, in ms
/// since the epoch; the largest qint64 while it shows no coming moment.
qint64 shownNextAlarmMsecs(const MainSettingsDlg* owner);

/// Where alarms shown as balloon messages go: by default the main window's
/// tray icon; the program sends them to the desktop's notification area, tests
/// record them. `mirror` is set when the pop-up shows as well ("Also send
/// alarms to the notification area") and no tray balloon is wanted.
using AlarmBalloonHandler = std::function<void(AlarmMsgDlg* alarm, const QString& title,
                                               const QString& text, int msecs, bool mirror)>;
void setAlarmBalloonHandler(AlarmBalloonHandler handler); // empty: the tray icon again

/// Lets the date-and-time page catch up with the clock the moment it appears:
/// the main tick only updates it while it can be seen.
void followDateAndTime(QTimeEdit* clock, QCalendarWidget* calendar);

} // namespace td
