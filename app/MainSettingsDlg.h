// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"
#include "app/TrayClicks.h"
#include "common/WakePlan.h"
#include "common/WallTimer.h"
#include "timers/TimerModel.h"
#include "timers/TimerRecord.h"

#include <QDate>
#include <QDialog>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class QAction;
class QCalendarWidget;
class QListWidgetItem;
class QMenu;
class QTableWidgetItem;
class QTimeEdit;
class QTimer;

namespace Ui {
class MainDialog;
}

namespace td {

class AlarmMsgDlg;
class TimerLoader;
class TimerMsgDlg;

/// Tray click actions; the values are the item indexes of the click combo boxes.
enum TrayAction {
    ShowMainMenu = 0,
    ShowFastActionsMenu = 1,
    ShowSettingsDialog = 2,
    AddNewAlarm = 3,
    AddNewTimer = 4,
    NoTrayAction = 5
};

/// The settings window. It owns everything that lives while the program runs:
/// alarms, timers, the work windows, the plug-ins, the tray icon and its menus.
/// Declared once here; its members are defined by area in
/// MainSettingsDlg_<area>.cpp (alarms, timers, work, events, tray, ...).
class MainSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit MainSettingsDlg(QWidget* parent = nullptr);
    ~MainSettingsDlg() override;

    // --- shell (app/) ---
    void runTrayAction(int action, const QPoint& pos);
    /// Selects a navigation row (the page follows) and brings the window forward.
    void showPage(int row);
    /// Tray construction: the actions and both menus, then the hidden icon.
    void createTrayMenus();
    void createTrayIcon();
    /// Pops a tray menu up at a screen position and gives it the focus.
    void popupTrayMenu(QMenu* menu, const QPoint& pos);
    /// Every settings widget's change signal to updateSettings(), the
    /// choosers' buttons to their slots.
    void connectSettingsWidgets();
    /// The sound choosers' notes: why a chosen sound cannot be played.
    void connectSoundChoosers();
    /// Lunch edits follow "Work with no lunch" and the day boxes.
    void updateLunchEdits();
    /// First start: autostart entry, the start-with-system box, the welcome balloon.
    void welcomeFirstStart();
    /// The welcome balloon, shown once the tray icon is really visible:
    /// a message for an icon that is not yet docked would be lost.
    void showWelcomeWhenTrayVisible();
    /// A note for the user in a balloon, once the icon can show one
    /// (prompts::notice() comes here).
    void showNotice(const QString& text);
    QStringList pendingNotices;
    void startNoticeBalloon();
    /// Runs `show` once the tray icon is docked (polled by a timer called `name`).
    void whenTrayShowsBalloons(const QString& name, std::function<void()> show);
    /// The main tick, armed for the next moment anything can change; tests
    /// stop it and call updateMainTimer() directly.
    WallTimer* mainTimer = nullptr;
    QTimer* clickTimer = nullptr;
    QPoint clickPos;
    /// Which tray reports make single and double clicks.
    TrayClicks trayClicks;
    std::unique_ptr<Ui::MainDialog> ui;
    QSystemTrayIcon* trayIcon = nullptr;
    QMenu* mainMenu = nullptr;
    QMenu* fastMenu = nullptr;
    QAction* dateTimeAction = nullptr;
    QAction* alarmsAction = nullptr;
    QAction* timersAction = nullptr;
    QAction* workAction = nullptr;
    QAction* settingsAction = nullptr;
    QAction* alarmPopupsAction = nullptr;
    QAction* aboutAction = nullptr;
    QAction* quitAction = nullptr;
    QAction* addAlarmAction = nullptr;
    QAction* addTimerAction = nullptr;
    QAction* homeSiteAction = nullptr;

    // --- alarms (alarms/) ---
    /// The main tick's next wake, from what is pending and what can be seen.
    wake::Wake nextMainWake() const;
    /// Arms the main tick for nextMainWake(), or not at all.
    void armMainTimer();
    /// Something changed that may move a deadline: tick at once (the tick
    /// then chooses its next wake).
    void tickSoon();
    bool inMainTick = false;
    /// Row i of alarmsList shows alarms[i].
    QList<AlarmMsgDlg*> alarms;
    /// The alarm pop-up shown last of those still showing, or nullptr.
    AlarmMsgDlg* newestAlarmPopup() const;
    /// Pop-ups that belong to no list: finished timers and the summary of
    /// alarms beyond a screenful. They go once hidden with no reminder pending.
    QList<AlarmMsgDlg*> otherPopups;
    /// Takes such a pop-up in, parked in the corner.
    void adoptPopup(AlarmMsgDlg* popup);
    /// Shows (or adds to) the one pop-up that counts alarms left out.
    void showPopupSummary(int more);
    /// Places a hidden pop-up so it does not cover other visible pop-ups
    /// (listed or not) and lies fully on the desktop.
    void placeAlarm(AlarmMsgDlg* alarm);
    /// Moves a pop-up to the bottom-right corner of the available desktop.
    void cornerPlace(AlarmMsgDlg* alarm);
    /// Takes a new alarm object into the list (adding and loading share it):
    /// appends it and its row with the alarm icon, selects the row if asked,
    /// parks the pop-up in the corner, then connects alarmFinished,
    /// stringsChanged and settingsChanged.
    void adoptAlarm(AlarmMsgDlg* alarm, bool selectRow = true);

    // --- timers (timers/) ---
    /// The user's timers; row i of timersList shows the model's timer i.
    TimerModel& timerModel() { return *m_timerModel; }
    const TimerModel& timerModel() const { return *m_timerModel; }
    /// The window of a timer, or nullptr while it is not made yet.
    TimerMsgDlg* timerWindow(TimerModel::Id id) const { return m_timerWindows.value(id); }
    /// Loaded plug-in root objects, in load order; not all implement the font interface.
    QList<QObject*> fontPlugins;
    /// The pop-up a finished countdown raises.
    void showTimerAlarm(const TimerRecord& record);
    /// Takes the window of a model's timer in: shown or hidden, ticking and
    /// connected. Used by openNewTimer() and the loader.
    void adoptTimer(TimerMsgDlg* timer, bool show);
    /// A timer the user just made, from the editor or the command line: its
    /// window opens where it covers no other window.
    TimerModel::Id openNewTimer(const TimerRecord& record);
    /// Makes the windows of the loaded timers a slice at a time; null once done.
    TimerLoader* timerLoader = nullptr;

    // --- work schedule (work/) ---
    TimerMsgDlg* lunchTimer = nullptr;
    TimerMsgDlg* dayEndTimer = nullptr;
    TimerMsgDlg* holidayTimer = nullptr;
    TimerMsgDlg* vacationTimer = nullptr;
    /// Creates and wires the four work windows (constructor steps for them).
    void createWorkWindows();
    /// The main tick's step that shows or hides the four work windows.
    void updateWorkingTimersVisibility();
    /// The date the work windows' targets were computed for.
    QDate workTargetsDate;

    // --- storage (storage/) ---
    bool settingsFolderCreated = false;
    /// Set once loadEvents() has read the files; nothing is written before.
    bool eventsLoaded = false;
    /// Runs saveEvents() a moment after scheduleSave().
    QTimer* saveTimer = nullptr;
    /// Writes the four event files; false (with the first reason in `error`)
    /// when any of them could not be written.
    bool writeEventFiles(QString* error = nullptr);
    /// The last save failed: the user was told, retryTimer tries again.
    bool saveFailing = false;
    QString lastSaveError;
    QTimer* retryTimer = nullptr;
    /// Files read only in part that could not be kept aside: never written.
    QStringList heldFiles;
    void keepPartlyRead(const QString& path);
    /// Saves before the program ends; after a failed save, asks whether to
    /// end anyway. True when the program may end.
    bool confirmQuit();

signals:
    void settingsChanged();
    void stringsChanged();

public slots:
    // shell
    void showDateTime();
    void showAlarms();
    void showTimers();
    void showWork();
    void showSettings();
    void showAbout();
    void mainListUp();
    void mainListDown();
    void apply();
    void cancel();
    void updateStrings();
    void homeSite();
    void emailUs();
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void singliLeftClick();
    void updateSettings();
    void changeAlarmFileName();
    void changeTimerFileName();

    // alarms
    void updateMainTimer();
    void addAlarm();
    void delAlarm();
    void editAlarm(QListWidgetItem* item);
    void alarmChanged(int row);
    void destroyAlarmMsg(td::AlarmMsgDlg* alarm);
    /// An alarm edited from its pop-up: its row, details and file follow.
    void alarmRecordChanged(td::AlarmMsgDlg* alarm);
    /// Raises the newest shown alarm pop-up and gives it the keyboard focus.
    void showAlarmPopups();

    // timers
    void loadPlugins();
    void changeDefaultFont();
    void addTimer();
    void delTimer();
    void editTimer(QListWidgetItem* item);
    void destroyTimerMsg(td::TimerMsgDlg* timer);
    void timerChanged(int row);

    // work schedule
    void updateWorkingTimer(td::TimerMsgDlg* window);
    void updateWorkingTimerVisibility(td::TimerMsgDlg* window);
    void addHoliday();
    void delHoliday();
    void editHoliday(QTableWidgetItem* item);
    void updateHolidays();

    // storage
    void loadEvents();
    void saveEvents();
    /// Something worth keeping changed: write the event files soon.
    void scheduleSave();

private:
    // The timers page and the windows follow the model.
    void timerAdded(TimerModel::Id id);
    void timerRemoved(TimerModel::Id id, qsizetype row);
    void timerEntryChanged(TimerModel::Id id);
    void timerFinished(TimerModel::Id id);
    TimerModel* m_timerModel = nullptr;
    QHash<TimerModel::Id, TimerMsgDlg*> m_timerWindows;

    /// What the alarm details pane shows, so the tick only touches widgets on a change.
    struct ShownAlarm
    {
        const AlarmMsgDlg* alarm = nullptr;
        bool valid = false;
        AlarmRecord record;
        qint64 nextMsecs = 0; // the shown next moment; 0 for none
        int nextState = -1; // -1 nothing shown yet, 0 disabled or no row, 1 next alarm, 2 finished
    };
    ShownAlarm shownAlarm;
    /// The moment the details pane's "Next alarm" line changes, in ms since
    /// the epoch; the largest qint64 while it shows no coming moment.
    qint64 shownNextAlarmMsecs() const;
};

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

/// The process-wide main window, set once by its constructor.
extern MainSettingsDlg* mainWindow;

} // namespace td
