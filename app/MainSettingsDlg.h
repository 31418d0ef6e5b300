// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmModel.h"
#include "alarms/AlarmRecord.h"
#include "app/TrayClicks.h"
#include "common/HolidayRecord.h"
#include "common/LastDeletion.h"
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
#include <array>
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

class AlarmModel;
class AlarmMsgDlg;
class AlarmPopups;
class CalendarSync;
class HolidayFeed;
class EventStore;
class TimerLoader;
class TimerMsgDlg;
class UndoButton;

/// Tray click actions; the values are the item indexes of the click combo boxes.
enum TrayAction {
    ShowMainMenu = 0,
    ShowFastActionsMenu = 1,
    ShowSettingsDialog = 2,
    AddNewAlarm = 3,
    AddNewTimer = 4,
    NoTrayAction = 5
};

/// The settings window: pages, lists and the tray. It shows the model of the
/// user's time (alarms, timers) and sends what the user does to it; the
/// store saves. Declared once here; its members are defined by area in
/// MainSettingsDlg_<area>.cpp (alarms, timers, work, tray, ...).
class MainSettingsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit MainSettingsDlg(QWidget* parent = nullptr);
    ~MainSettingsDlg() override;

    AlarmModel& alarmModel() { return *m_alarms; }
    AlarmPopups& alarmPopups() { return *m_popups; }
    EventStore& store() { return *m_store; }
    CalendarSync& calendarSync() { return *m_sync; }
    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
    /// The loaded plug-in root objects, in load order.
    const QList<QObject*>& plugins() const { return fontPlugins; }
    /// The lunch, day-end, holiday and vacation windows.
    std::array<TimerMsgDlg*, 4> workWindows() const
    {
        return {lunchTimer, dayEndTimer, holidayTimer, vacationTimer};
    }

    void runTrayAction(int action, const QPoint& pos);
    /// Selects a navigation row (the page follows) and brings the window forward.
    void showPage(int row);
    /// A note for the user in a balloon, once the icon can show one
    /// (prompts::notice() comes here).
    void showNotice(const QString& text);
    /// The user's timers; row i of timersList shows the model's timer i.
    TimerModel& timerModel() { return *m_timerModel; }
    const TimerModel& timerModel() const { return *m_timerModel; }
    /// The window of a timer, or nullptr while it is not made yet.
    TimerMsgDlg* timerWindow(TimerModel::Id id) const { return m_timerWindows.value(id); }
    /// A timer the user just made, from the editor or the command line: its
    /// window opens where it covers no other window.
    TimerModel::Id openNewTimer(const TimerRecord& record);
    /// Saves before the program ends; after a failed save, asks whether to
    /// end anyway. True when the program may end.
    bool confirmQuit();

signals:
    void settingsChanged();
    void stringsChanged();
    /// The holiday list changed.
    void holidaysChanged();

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
    void quit();

    // alarms
    void updateMainTimer();
    /// Something changed that may move a deadline: tick at once (the tick
    /// then chooses its next wake).
    void tickSoon();
    void addAlarm();
    void delAlarm();
    /// The Alarms page's iCalendar buttons: a file chooser, then a report.
    void exportAlarms();
    void importAlarms();
    void editAlarm(QListWidgetItem* item);
    void alarmChanged(int row);
    void destroyAlarmMsg(td::AlarmMsgDlg* alarm);
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
    /// The pop-up a finished countdown raises.
    void showTimerAlarm(const td::TimerRecord& record);

    // work schedule
    void updateWorkingTimer(td::TimerMsgDlg* window);
    void updateWorkingTimerVisibility(td::TimerMsgDlg* window);
    void addHoliday();
    void delHoliday();
    /// Adds the all-day events of an iCalendar file to the user's own days.
    void importHolidays();
    /// Asks for the calendar of days off to follow (empty: none).
    void subscribeHolidays();
    /// Replaces the days of the subscribed calendar.
    void takeFeedHolidays(const QList<td::HolidayRecord>& days);
    void editHoliday(QTableWidgetItem* item);
    void updateHolidays();
    /// Puts the last deleted holiday back at its row.
    void undoHolidayDeletion();

    // storage
    void saveEvents();

private:
    friend class TimerLoader;

    // --- shell ---
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
    void startNoticeBalloon();
    /// Runs `show` once the tray icon is docked (polled by a timer called `name`).
    void whenTrayShowsBalloons(const QString& name, std::function<void()> show);
    /// The tray icon's tooltip: what comes next.
    void updateTrayToolTip();

    QStringList pendingNotices;
    /// The main tick, armed for the next moment anything can change.
    WallTimer* mainTimer = nullptr;
    /// Builds the next alarm's pop-up a moment ahead: building one on time
    /// put it on the screen tens of milliseconds late.
    WallTimer* popupTimer = nullptr;
    static constexpr qint64 PreparePopupMsecs = 2000;
    QTimer* clickTimer = nullptr;
    QPoint clickPos;
    /// Which tray reports make single and double clicks.
    TrayClicks trayClicks;
    std::unique_ptr<Ui::MainDialog> ui;
    QSystemTrayIcon* m_trayIcon = nullptr;
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

    // --- undo of deletions ---
    /// The pages' Undo buttons, beside their delete buttons.
    void connectUndo();
    void nameUndoButtons();
    /// Shows the holidays' Undo, or hides it and forgets the deletion.
    void offerHolidayUndo(bool offered);
    UndoButton* alarmUndoButton = nullptr;
    UndoButton* timerUndoButton = nullptr;
    UndoButton* holidayUndoButton = nullptr;
    /// Holidays live in the settings record, which has no model of its own.
    LastDeletion<HolidayRecord> deletedHoliday;

    // --- alarms ---
    /// The main tick's next wake, from what is pending and what can be seen.
    wake::Wake nextMainWake() const;
    /// Arms the main tick for nextMainWake(), or not at all.
    void armMainTimer();
    /// The list and details follow the model.
    void connectAlarmModel();
    bool inMainTick = false;
    AlarmModel* m_alarms = nullptr;
    AlarmPopups* m_popups = nullptr;

    // --- timers ---
    /// Takes the window of a model's timer in: shown or hidden, ticking and
    /// connected. Used by openNewTimer() and the loader.
    void adoptTimer(TimerMsgDlg* timer, bool show);
    /// Makes the window of a timer the model holds, where the entry says, shown
    /// or hidden as it says; nothing when it has one. Used by the loader and undo.
    void openTimerWindow(TimerModel::Id id);
    // The timers page and the windows follow the model.
    void timerAdded(TimerModel::Id id);
    void timerRemoved(TimerModel::Id id, qsizetype row);
    void timerEntryChanged(TimerModel::Id id);
    void timerFinished(TimerModel::Id id);
    TimerModel* m_timerModel = nullptr;
    QHash<TimerModel::Id, TimerMsgDlg*> m_timerWindows;
    /// Loaded plug-in root objects, in load order; not all implement the font interface.
    QList<QObject*> fontPlugins;
    /// Makes the windows of the loaded timers a slice at a time; null once done.
    TimerLoader* timerLoader = nullptr;

    // --- work schedule ---
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

    // --- storage ---
    EventStore* m_store = nullptr;
    /// The subscribed calendar of days off; made when the files are loaded.
    HolidayFeed* m_feed = nullptr;
    void startHolidayFeed();
    /// The alarms kept in step with a CalDAV calendar, and their settings tab.
    CalendarSync* m_sync = nullptr;
    void startCalendarSync();
    /// Reads the event files into the model and the windows.
    void loadEvents();

    /// What the alarm details pane shows, so the tick only touches widgets on a change.
    struct ShownAlarm
    {
        quint64 id = 0;
        bool valid = false;
        AlarmRecord record;
        Reminder reminder;
        qint64 nextMsecs = 0; // the shown next moment; 0 for none
        int nextState = -1; // -1 nothing shown yet, 0 disabled or no row, 1 next alarm, 2 finished
    };
    ShownAlarm shownAlarm;
    /// The moment the details pane's "Next alarm" line changes, in ms since
    /// the epoch; the largest qint64 while it shows no coming moment.
    qint64 shownNextAlarmMsecs() const;
};

/// Lets the date-and-time page catch up with the clock the moment it appears:
/// the main tick only updates it while it can be seen.
void followDateAndTime(QTimeEdit* clock, QCalendarWidget* calendar);

/// The process-wide main window, set once by its constructor.
extern MainSettingsDlg* mainWindow;

} // namespace td
