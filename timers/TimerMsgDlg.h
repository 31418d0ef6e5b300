// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/WallTimer.h"
#include "timers/DigitRenderer.h"
#include "timers/TimerModel.h"
#include "timers/TimerRecord.h"

#include <QDateTime>
#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace Ui {
class TimerMsgDialog;
}

namespace td {

class WindowDragger;

/// The small floating window of one timer: it shows an entry of the timer
/// model and sends the user's actions there. Without a model (the four work
/// countdowns) it keeps its own timer.
class TimerMsgDlg : public QDialog, public DisplayFormat
{
    Q_OBJECT

public:
    explicit TimerMsgDlg(QWidget* parent = nullptr);
    ~TimerMsgDlg() override;

    /// Shows timer `id` of `model` from now on.
    void setModel(TimerModel* model, TimerModel::Id id);
    TimerModel::Id timerId() const { return m_id; }
    /// Shows what the model holds for this window's timer, when that changed.
    void showEntry();
    /// The model finished this window's countdown: the sound and the pop-up.
    void announceFinish();

    /// With a model, the record goes there as an edit would.
    void setTimerRecord(const TimerRecord& record);
    TimerRecord timerRecord() const;

    void setVisible(bool visible) override;
    /// A hidden window takes the size it will have when shown, without
    /// appearing; a centre it was given while hidden stays as it was.
    void settleSize();

    /// The counts the window shows (or would show, hidden).
    const TimeParts& parts() const { return m_parts; }
    /// Times the picture was rebuilt; a tick that changes nothing visible does not.
    int renderCount() const { return m_renders; }
    /// Counting (not paused or stopped). A shown window that counts ticks when
    /// its picture changes; a hidden one only wakes for the end of its countdown.
    bool running() const { return m_running; }
    /// Stopped for good: shows 0:00:00 until reset or edited.
    bool finished() const { return m_finished; }
    bool dragging() const;
    /// The window shows the theme's colours swapped, for a skin whose digits
    /// would not stand out on the theme's ground.
    bool faceSwapped() const { return m_faceSwapped; }
    /// The loaded skins every timer window draws with (the main window's list).
    static void setFontPlugins(const QList<QObject*>* plugins) { s_plugins = plugins; }

    std::unique_ptr<Ui::TimerMsgDialog> ui;
    WallTimer* tickTimer;
    QAction* editAction;
    QAction* hideAction;
    QAction* resetAction;
    QMenu* menu;

    QDateTime dateTime;
    bool countingDown = true;
    bool continueExpired = false;

    /// While set, a change of size keeps the top-left corner instead of the centre.
    bool initializing = true;
    bool workTimer = false;

signals:
    void directionChanged(td::TimerMsgDlg* timer);
    void timerHidden(td::TimerMsgDlg* timer);
    /// Without a model: the window's centre changed.
    void changed();
    /// A countdown finished and the settings ask for its pop-up.
    void alarmDue(const td::TimerRecord& record);

public slots:
    void start();
    void stop();
    void pause();
    void resume();
    void tooglePausePlay();
    void resetStopwatch();
    void updateSettings();
    void setPos(const QPoint& centre);
    QPoint getPos();
    void updateTimer();
    void editTimer();

protected:
    bool event(QEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    static inline const QList<QObject*>* s_plugins = nullptr;
    void applyOpacity();
    /// The parts for the current moment without running the finish sequence.
    void computeParts();
    /// Display steps; the picture is rebuilt only when something visible changed.
    void display();
    /// Shows a timer in a state; the window counts unless it finished.
    void load(const TimerRecord& record, TimerState state);
    /// Without a model: returns true when a listener loaded a new record meanwhile.
    bool finish();
    /// The window's place or visibility changed: the model or the listeners hear of it.
    void reportWindow();
    void hideByUser();
    /// Picks the window's colours for the skin's picture (see faceSwapped()).
    void updateFace(const DisplayLayout& picture);
    /// Arms `tickTimer` for the next change of what is shown, or stops it.
    void scheduleTick();
    /// The moment the count stands at: now, or where the model paused it.
    QDateTime countedAt() const;
    /// The model-only entries of the menu follow the entry shown.
    void updateCountActions();

    // Actions on the model's entry; work windows have none of them.
    QAction* m_pauseAction;
    QAction* m_restartAction;
    QAction* m_lapAction;
    QMenu* m_lapsMenu;

    QPointer<TimerModel> m_model;
    TimerModel::Id m_id = 0;
    /// What the window shows of the model's entry.
    TimerEntry m_shown;
    bool m_finished = false;
    WindowDragger* m_dragger;
    TimeParts m_parts;
    bool m_hasParts = false;
    // What the picture on screen was made from.
    bool m_pictureValid = false;
    bool m_faceValid = false;
    bool m_faceSwapped = false;
    TimeParts m_shownParts;
    QString m_shownSkin;
    int m_shownFontSize = -1;
    qsizetype m_shownPlugins = -1;
    int m_nameSize = -1;
    int m_renders = 0;
    quint64 m_generation = 0;
    bool m_running = false;
    // Where a hidden window belongs. Its size may change unseen (the layout
    // settles only on the first show), so its geometry cannot tell.
    std::optional<QPoint> m_hiddenCentre;
    // Without a model: the centre last reported (or given), so only a real move is news.
    std::optional<QPoint> m_reportedCentre;
    // The moment in ms since the epoch, turned from local time by each tick
    // (so a new time zone is followed) and used to arm the next one.
    qint64 m_momentMsecs = 0;
};

} // namespace td
