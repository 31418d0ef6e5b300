// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmCommands.h"
#include "alarms/AlarmModel.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

namespace td {

class AlarmMsgDlg;
struct TimerRecord;

/// Where alarms shown as balloon messages go: the desktop's notification
/// area in the program, a recording in tests; empty: the tray's own balloon.
/// `mirror` is set when the pop-up shows as well ("Also send alarms to the
/// notification area") and no tray balloon is wanted. `alarm` is null for the
/// summary of the alarms left out.
using AlarmBalloonHandler = std::function<void(AlarmMsgDlg* alarm, const QString& title,
                                               const QString& text, int msecs, bool mirror)>;

/// What rings reaches the user through: a screenful of pop-ups at most (the
/// rest counted in one summary), notifications or balloons, and the sound.
class AlarmPopups : public QObject, public AlarmOutput
{
    Q_OBJECT
public:
    /// Pop-ups are made as children of `parent` when they first ring.
    AlarmPopups(AlarmModel& model, QWidget* parent);
    ~AlarmPopups() override;

    void ring(const QList<Ring>& rings) override;

    /// The alarm's pop-up, made (hidden) on first use; null for no such alarm.
    AlarmMsgDlg* popup(quint64 id);
    /// Builds the pop-ups of alarms due by `untilMsecs`, hidden, window and
    /// all, so that at their moment they only have to appear.
    void prepareDue(qint64 untilMsecs);
    /// The one that exists already, or null.
    AlarmMsgDlg* existing(quint64 id) const { return m_popups.value(id); }
    /// The pop-up shown last of those still showing, or null.
    AlarmMsgDlg* newest() const;
    /// The pop-up a finished countdown raises; it can be put off, not edited.
    void showTimerFinished(const TimerRecord& timer);
    /// An edited alarm's pop-up goes back to the corner, hidden.
    void park(quint64 id);

    static void setBalloonHandler(AlarmBalloonHandler handler);
    /// Runs the commands of the alarms that ring.
    AlarmCommands& commands() { return *m_commands; }
    /// Without a balloon handler: the tray's balloon.
    std::function<void(const QString& title, const QString& text, int msecs)> trayBalloon;

signals:
    /// The summary was clicked: the user wants the alarm list.
    void listRequested();

private:
    struct Round;
    /// Pop-ups in list order: alarms, finished timers, the summary.
    QList<AlarmMsgDlg*> ordered() const;
    void place(AlarmMsgDlg* popup);
    void showRound(Round& round);
    /// The round's one sound; its owner tells why it cannot play.
    void playRoundSound(const Round& round);
    void showSummary(int more);
    void balloon(AlarmMsgDlg* alarm, const QString& title, const QString& text);
    void forget(quint64 id);

    AlarmModel& m_model;
    QWidget* m_parent;
    QHash<quint64, AlarmMsgDlg*> m_popups;
    AlarmMsgDlg* m_summary = nullptr;
    AlarmCommands* m_commands;
    /// The pop-up whose round's sound plays now: it tells why, if it cannot.
    QPointer<AlarmMsgDlg> m_soundShownBy;
    /// The same for a round shown as notifications: the one whose sound plays
    /// gets the note in its body while it can still be seen.
    struct SoundBalloon
    {
        QPointer<AlarmMsgDlg> alarm;
        QString title;
        QString text;
        QString note;
        qint64 untilMsecs = 0;
    };
    SoundBalloon m_soundBalloon;
    /// Within ring(): a note found now goes into the notification still to be sent.
    bool m_ringing = false;
};

} // namespace td
