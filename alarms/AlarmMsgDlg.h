// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/SharedPixmap.h"

#include "alarms/AlarmRecord.h"

#include <QDateTime>
#include <QDialog>
#include <QPixmap>
#include <limits>
#include <memory>

class QAction;
class QMenu;
class QMovie;
class QTimer;
class Ui_AlarmMsgDialog2;

namespace td {

/// One alarm: its record, its postponement, and the small frameless pop-up
/// that shows it when it fires. The pop-up stays hidden until the main tick
/// places it and calls showAlarm(). Most alarms never fire in a session, so
/// the pop-up's widgets, menus and timers are only built when it is first
/// sized or shown; until then the pointers below are null.
class AlarmMsgDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr qint64 Never = std::numeric_limits<qint64>::max();
    /// Number of fade steps from full opacity until the pop-up hides.
    static constexpr int FadeSteps = 80;

    /// What a pop-up stands for: a listed alarm; a finished timer, whose
    /// record belongs to no list, so it offers no editing; or the summary of
    /// the alarms that fired while a screenful of pop-ups was showing.
    enum class Kind { Alarm, TimerFinished, Summary };

    explicit AlarmMsgDlg(const AlarmRecord& record, QWidget* parent = nullptr);
    ~AlarmMsgDlg() override;

    AlarmRecord alarm() const { return m_record; }
    /// Replaces the record and refreshes the name and message labels.
    void setAlarm(const AlarmRecord& record);
    /// The tick's rewrite after firing: the record and the exact next moment,
    /// which a stored date and time cannot tell apart in the repeated DST hour.
    void moveOn(const AlarmRecord& record, const QDateTime& next);
    bool alarmEnabled() const { return m_record.enabled; }

    QDateTime delayedTime() const { return m_delayedTime; }
    qint64 delay() const { return m_delay; }
    /// Postpones by `seconds` if the reminder comes before the next occurrence;
    /// warns otherwise. A spent alarm has no next occurrence and no limit.
    void addDelay(int seconds);

    /// Base moment plus postponement, in ms since the epoch; Never for records
    /// that cannot fire. Kept up to date so the tick compares integers only.
    qint64 fireMsecs() const { return m_fireMsecs; }
    /// The reminder moment in ms since the epoch; Never when none is pending.
    qint64 reminderMsecs() const { return m_reminderMsecs; }

    /// Shows the pop-up at its current place and starts the display period.
    void showAlarm();
    /// Shows or hides the banner and clock as "alarms/SimpleForm" says and takes
    /// the resulting size without showing the window. A size change keeps the
    /// bottom-right corner where it was.
    void prepareSize();
    /// A spent alarm with "alarms/DeleteExpired" set and no pending reminder
    /// asks to be removed: emits alarmFinished.
    void finishIfSpent();
    /// The note above the message that the alarm comes late; empty: none.
    void setMissedText(const QString& text);
    QString missedText() const { return m_missedText; }
    void setKind(Kind kind);
    Kind kind() const { return m_kind; }
    /// A summary's count of the alarms it stands for.
    void setSummaryCount(int count);
    int summaryCount() const { return m_summaryCount; }
    /// The clock animation chosen for this pop-up.
    QString animationFile() const { return m_animationFile; }

    /// Builds the pop-up's widgets if they do not exist yet.
    void ensurePopup();
    bool hasPopup() const { return ui != nullptr; }
    /// Hides the pop-up and has it go to the bottom-right corner of the
    /// desktop the next time it is sized, when its real size is known.
    void parkInCorner();
    bool parkedInCorner() const { return m_parked; }

    void setVisible(bool visible) override;
    /// Grows with every showing, so the newest shown pop-up has the largest.
    quint64 shownOrder() const { return m_shownOrder; }
    /// Raises a shown pop-up and gives it the keyboard focus; it never takes
    /// the focus by itself when it appears.
    void takeFocus();

    std::unique_ptr<Ui_AlarmMsgDialog2> ui;
    QTimer* shadeTimer = nullptr;
    int displayLeft = 0;
    double opacity = 1.0;
    bool mouseInside = false;
    QMovie* movie = nullptr; ///< created on first show
    QMenu* menu = nullptr;
    QMenu* remindMenu = nullptr;
    QAction* editAction = nullptr;
    QAction* hideAction = nullptr;
    QAction* delay5minAction = nullptr;
    QAction* delay1hourAction = nullptr;
    QAction* delay1dayAction = nullptr;
    QAction* otherDelayAction = nullptr;
    QAction* openListAction = nullptr; ///< summaries only

signals:
    void alarmFinished(td::AlarmMsgDlg* alarm);
    void alarmPositionChanged(td::AlarmMsgDlg* alarm);
    void alarmDelayChanged(qint64 seconds);
    /// fireMsecs() or reminderMsecs() changed.
    void momentChanged();
    /// A summary was clicked: the user wants the alarm list.
    void listRequested();
    /// The record was edited from the pop-up itself.
    void recordChanged(td::AlarmMsgDlg* alarm);

public slots:
    void updateStrings();
    void updateSettings();
    void setDelay(qint64 seconds);
    void resetDelay();
    void editAlarm();
    void delayAlarm();
    void addDelay5min();
    void addDelay1hour();
    void addDelay1day();
    void otherDelay();
    void changedStayOnTop(bool mode);
    void closed(int);
    void closed();
    void shadeDown();
    void animationUpdated(int frame);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void hideAndReset();
    void openMenuFromKeyboard();
    QString shownName() const;
    void showTexts();
    void fitToDesktop();
    void applyKind();
    /// After the menu closed with the pointer elsewhere, the display period
    /// and fade go on as if the pointer had left.
    void resumeAfterMenu();
    void resumeFading();
    void setMenuIcons();
    void updateFireMoment(const QDateTime& base);
    int fadeStepMsecs() const;

    AlarmRecord m_record;
    qint64 m_delay = 0;
    QDateTime m_delayedTime;
    qint64 m_baseMsecs = Never;
    qint64 m_fireMsecs = Never;
    qint64 m_reminderMsecs = Never;
    QString m_animationFile;
    bool m_parked = false;
    quint64 m_shownOrder = 0;
    bool m_movedSincePress = false;
    QString m_missedText;
    Kind m_kind = Kind::Alarm;
    int m_summaryCount = 0;
};

} // namespace td
