// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AlarmPopups.h"

#include "alarms/AlarmMsgDlg.h"
#include "alarms/PopupRules.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/SoundFile.h"
#include "common/SoundPlayer.h"
#include "common/WindowPlacement.h"
#include "timers/TimerRecord.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QPointer>

// "fired" lines with the lateness of each alarm, for the benchmarks:
// QT_LOGGING_RULES="tidra.alarms.firing.info=true"
Q_LOGGING_CATEGORY(lcFiring, "tidra.alarms.firing", QtWarningMsg)

namespace td {

namespace {

AlarmBalloonHandler balloonHandler;

bool deleteSpent()
{
    return appSettings && appSettings->alarmDeleteExpired;
}

} // namespace

/// What one round shows: a screenful of pop-ups at most, in list order; the
/// alarms beyond are counted for one summary.
struct AlarmPopups::Round
{
    struct Popup
    {
        AlarmMsgDlg* popup;
        QString missed;
    };
    QList<Popup> popups;
    int popupsLeftOut = 0;
    int balloons = 0;
    int balloonsLeftOut = 0;
    bool sound = false;
    AlarmMsgDlg* soundOwner = nullptr; ///< the first that rang and is not silent
    QString soundChoice;               ///< its own sound: empty for the global one
    bool soundOwnerNotifies = false;
    struct Balloon
    {
        AlarmMsgDlg* popup;
        QString title;
        QString text;
    };
    /// Sent once the sound started, so that they can tell it cannot play.
    QList<Balloon> toSend;
};

AlarmPopups::AlarmPopups(AlarmModel& model, QWidget* parent)
    : QObject(parent), m_model(model), m_parent(parent), m_commands(new AlarmCommands(this))
{
    connect(m_commands, &AlarmCommands::problemToShow, this,
            [](const QString& text) { prompts::notice(text); });
    connect(&model, &AlarmModel::removed, this, [this](int, quint64 id) { forget(id); });
    // Where the user looks when nothing rings: the pop-up, once per problem.
    connect(soundProblems(), &SoundProblems::changed, this, [this](const QString& path) {
        const QString reason = knownSoundProblem(path);
        if (!m_soundShownBy || reason.isEmpty())
            return;
        if (m_soundShownBy->isVisible()) {
            m_soundShownBy->setSoundProblem(reason);
        } else if (m_soundBalloon.alarm == m_soundShownBy &&
                   nowMsecs() < m_soundBalloon.untilMsecs) {
            m_soundBalloon.note = AlarmMsgDlg::soundNote(reason);
            // Sent already: sent again, it replaces its notification.
            if (!m_ringing)
                balloon(m_soundBalloon.alarm, m_soundBalloon.title,
                        m_soundBalloon.text + u'\n' + m_soundBalloon.note);
        }
    });
    connect(&model, &AlarmModel::alarmChanged, this, [this](quint64 id) {
        if (AlarmMsgDlg* popup = existing(id))
            popup->refresh();
    });
}

AlarmPopups::~AlarmPopups()
{
    // Pop-ups without a parent window would outlive their alarms.
    qDeleteAll(m_popups);
    delete m_summary;
}

void AlarmPopups::setBalloonHandler(AlarmBalloonHandler handler)
{
    balloonHandler = std::move(handler);
}

AlarmMsgDlg* AlarmPopups::popup(quint64 id)
{
    if (AlarmMsgDlg* made = existing(id))
        return made;
    if (!m_model.find(id))
        return nullptr;
    auto* popup = new AlarmMsgDlg(&m_model, id, m_parent);
    popup->setObjectName(QStringLiteral("alarmPopup%1").arg(id));
    // Closed by the desktop (not hidden by the user): the alarm goes.
    connect(popup, &AlarmMsgDlg::alarmFinished, this, [this, id] { m_model.remove(id); });
    popup->parkInCorner();
    m_popups.insert(id, popup);
    return popup;
}

void AlarmPopups::forget(quint64 id)
{
    AlarmMsgDlg* popup = m_popups.take(id);
    if (!popup)
        return;
    disconnect(popup, nullptr, this, nullptr);
    popup->hide();
    popup->deleteLater();
}

void AlarmPopups::park(quint64 id)
{
    if (AlarmMsgDlg* popup = existing(id))
        popup->parkInCorner();
}

QList<AlarmMsgDlg*> AlarmPopups::ordered() const
{
    QList<AlarmMsgDlg*> all;
    all.reserve(m_popups.size() + 1);
    for (const Alarm& alarm : m_model.alarms()) {
        if (AlarmMsgDlg* popup = existing(alarm.id))
            all << popup;
    }
    // Then finished timers, oldest first, and the summary.
    QList<quint64> others;
    for (auto it = m_popups.cbegin(); it != m_popups.cend(); ++it) {
        if (m_model.rowOf(it.key()) < 0)
            others << it.key();
    }
    std::sort(others.begin(), others.end());
    for (quint64 id : std::as_const(others))
        all << existing(id);
    if (m_summary)
        all << m_summary;
    return all;
}

void AlarmPopups::prepareDue(qint64 untilMsecs)
{
    for (const Alarm& alarm : m_model.alarms()) {
        if (alarm.nextShowMsecs() > untilMsecs || existing(alarm.id))
            continue;
        if (AlarmMsgDlg* made = popup(alarm.id)) {
            made->prepareSize();
            made->winId();
        }
    }
}

AlarmMsgDlg* AlarmPopups::newest() const
{
    AlarmMsgDlg* newest = nullptr;
    for (AlarmMsgDlg* popup : ordered()) {
        if (popup->isVisible() && (!newest || popup->shownOrder() > newest->shownOrder()))
            newest = popup;
    }
    return newest;
}

void AlarmPopups::place(AlarmMsgDlg* popup)
{
    popup->prepareSize();
    // Every pop-up takes part, in list order: alarms, finished timers, the summary.
    QList<QRect> shown;
    for (const AlarmMsgDlg* other : ordered()) {
        if (other != popup && other->isVisible())
            shown << other->geometry();
    }
    popup->move(stackPopup(availableDesktop(), popup->size(), popup->pos(), shown));
}

void AlarmPopups::balloon(AlarmMsgDlg* alarm, const QString& title, const QString& text)
{
    // Seconds, as for the pop-up.
    const int msecs = (appSettings ? appSettings->alarmDisplayTime : 10) * 1000;
    if (balloonHandler)
        balloonHandler(alarm, title, text, msecs, false);
    else if (trayBalloon)
        trayBalloon(title, text, msecs);
}

void AlarmPopups::ring(const QList<Ring>& rings)
{
    const QDateTime current = now();
    Round round;
    for (const Ring& ring : rings) {
        AlarmMsgDlg* popup = this->popup(ring.id);
        if (!popup)
            continue;
        // The command marks the alarm's moment; a reminder does not run it again.
        const AlarmRecord record = m_model.find(ring.id)->record;
        if (!ring.reminder)
            m_commands->run(ring.id, record, ring.due);
        const QString missed = missedAlarmText(ring.due, current);
        if (ring.show == RingShow::Popup) {
            // One that still shows is left where it is and not restarted.
            if (popup->isHidden()) {
                if (round.popups.size() < maxShownPopups)
                    round.popups.append({popup, missed});
                else
                    ++round.popupsLeftOut;
            }
        } else {
            if (round.balloons < maxShownPopups) {
                ++round.balloons;
                const QString text = missed.isEmpty()           ? record.message
                                     : record.message.isEmpty() ? missed
                                                                : missed + u'\n' + record.message;
                round.toSend.append({popup, tr("Alarm: %1").arg(record.name), text});
            } else {
                ++round.balloonsLeftOut;
            }
            // No pop-up will be hidden to finish a spent alarm: it is done once told.
            QMetaObject::invokeMethod(
                &m_model,
                [model = QPointer<AlarmModel>(&m_model), id = ring.id] {
                    if (model)
                        model->setRinging(id, false, deleteSpent());
                },
                Qt::QueuedConnection);
        }
        // One sound for the round: that of the first alarm that is not silent.
        const QString choice = record.sound;
        if (ring.sound && choice != silentSoundChoice() && !round.soundOwner) {
            round.sound = true;
            round.soundOwner = popup;
            round.soundChoice = choice;
            round.soundOwnerNotifies = ring.show == RingShow::Notification;
        }
        if (ring.due.isValid())
            qCInfo(lcFiring, "fired due %lld late %lld ms", ring.due.toMSecsSinceEpoch(),
                   current.toMSecsSinceEpoch() - ring.due.toMSecsSinceEpoch());
    }
    showRound(round);
    m_soundBalloon = SoundBalloon();
    if (round.sound && appSettings)
        playRoundSound(round);
    for (const Round::Balloon& b : std::as_const(round.toSend)) {
        const bool noted = b.popup == m_soundBalloon.alarm && !m_soundBalloon.note.isEmpty();
        balloon(b.popup, b.title, noted ? b.text + u'\n' + m_soundBalloon.note : b.text);
    }
    if (round.balloonsLeftOut > 0)
        balloon(nullptr, tr("Alarms"), tr("and %Ln more alarm(s)", nullptr, round.balloonsLeftOut));
}

void AlarmPopups::playRoundSound(const Round& round)
{
    // A repeating sound ends with the first pop-up shown, or a notification;
    // an alarm left out of the screenful has nothing to close: it rings once.
    AlarmMsgDlg* owner = round.popups.isEmpty() ? round.soundOwner : round.popups.first().popup;
    const bool closes = owner && (owner->isVisible() || round.soundOwnerNotifies);
    m_soundShownBy = owner;
    if (round.soundOwnerNotifies && owner == round.soundOwner) {
        for (const Round::Balloon& b : round.toSend) {
            if (b.popup == owner)
                m_soundBalloon = {owner, b.title, b.text, QString(),
                                  nowMsecs() + appSettings->alarmDisplayTime * 1000};
        }
    }
    m_ringing = true;
    playChosenSound(round.soundChoice, appSettings->alarmPlaySound, appSettings->alarmSoundFileName,
                    appSettings->alarmRepeatSound && closes ? owner : nullptr);
    m_ringing = false;
}

void AlarmPopups::showRound(Round& round)
{
    if (round.popups.isEmpty())
        return;
    int shown = 0;
    for (const AlarmMsgDlg* popup : std::as_const(m_popups))
        shown += popup->isVisible() ? 1 : 0;
    const bool summaryShown = m_summary && m_summary->isVisible();
    shown += summaryShown ? 1 : 0;
    qsizetype room = qMax(0, maxShownPopups - shown);
    if (round.popups.size() + round.popupsLeftOut > room && !summaryShown)
        room = qMax<qsizetype>(0, room - 1); // the summary's place
    round.popupsLeftOut += int(qMax<qsizetype>(0, round.popups.size() - room));
    const bool mirror = balloonHandler && appSettings && appSettings->alarmAlsoNotify;
    for (qsizetype i = 0; i < qMin(room, round.popups.size()); ++i) {
        AlarmMsgDlg* popup = round.popups[i].popup;
        popup->setMissedText(round.popups[i].missed);
        place(popup);
        popup->showAlarm();
        // "Also send alarms to the notification area": the pop-up's copy there.
        if (mirror)
            balloonHandler(popup, QString(), QString(), appSettings->alarmDisplayTime * 1000, true);
    }
    if (round.popupsLeftOut > 0)
        showSummary(round.popupsLeftOut);
}

void AlarmPopups::showSummary(int more)
{
    if (m_summary && m_summary->isVisible()) {
        m_summary->setSummaryCount(m_summary->summaryCount() + more);
        m_summary->showAlarm(); // a fresh display period for the news
        return;
    }
    if (!m_summary) {
        m_summary = new AlarmMsgDlg(nullptr, 0, m_parent);
        m_summary->setObjectName(QStringLiteral("alarmSummary"));
        m_summary->setKind(AlarmMsgDlg::Kind::Summary);
        // Closing it for good only means it is made again next time.
        connect(m_summary, &QObject::destroyed, this, [this] { m_summary = nullptr; });
        connect(m_summary, &AlarmMsgDlg::listRequested, this, [this] {
            m_summary->hide();
            emit listRequested();
        });
        m_summary->parkInCorner();
    }
    m_summary->setSummaryCount(more);
    place(m_summary);
    m_summary->showAlarm();
}

void AlarmPopups::showTimerFinished(const TimerRecord& timer)
{
    AlarmRecord r;
    r.name = tr("Timer %1 finished").arg(timer.name);
    r.date = timer.dateTime.date();
    r.time = timer.dateTime.time();
    r.repeatMode = RepeatOnce;
    AlarmMsgDlg* shown = popup(m_model.addUnlisted(r));
    shown->setKind(AlarmMsgDlg::Kind::TimerFinished);
    place(shown);
    // No alarm sound: the timer plays its own.
    shown->showAlarm();
}

} // namespace td
