// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/TimerMsgDlg.h"

#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Contrast.h"
#include "common/Placement.h"
#include "common/SharedPixmap.h"
#include "common/SoundPlayer.h"
#include "common/WakePlan.h"
#include "common/WallTimer.h"
#include "common/WindowPlacement.h"
#include "timers/DigitRenderer.h"
#include "timers/DigitView.h"
#include "timers/TimerDlg.h"
#include "timers/TimerMath.h"
#include "ui_timermsgdialog.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>

#include <algorithm>
#include <cstdlib>

namespace td {

namespace {

const AppSettings& settings()
{
    static const AppSettings defaults;
    return appSettings ? *appSettings : defaults;
}

wake::Unit smallestUnit(const TimeParts& p)
{
    return p.hundredths >= 0 ? wake::Unit::Hundredths
           : p.seconds >= 0  ? wake::Unit::Seconds
                             : wake::Unit::Minutes;
}

// The colour a skin draws its digits in: the mean of its solid pixels, so
// soft halos and unlit segments do not count.
QRgb inkOf(const DisplayLayout& picture)
{
    qint64 r = 0, g = 0, b = 0, n = 0;
    for (const PlacedPicture& p : picture.pictures) {
        const QImage image = p.image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(line[x]) < 200)
                    continue;
                r += qRed(line[x]);
                g += qGreen(line[x]);
                b += qBlue(line[x]);
                ++n;
            }
        }
    }
    return n ? qRgb(int(r / n), int(g / n), int(b / n)) : qRgb(0, 0, 0);
}

// A stopped timer shows zero in every unit.
timermath::Tick stoppedTick()
{
    return {timermath::TickAction::CountUp, TimeParts{0, 0, 0, 0, 0, 0}};
}

int nameLabelPointSize(int fontSize)
{
    return fontSize == 0 ? 8 : fontSize == 1 ? 11 : 14;
}

} // namespace

TimerMsgDlg::TimerMsgDlg(QWidget* parent)
    : QDialog(parent,
              selfPlacedFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)),
      ui(new Ui::TimerMsgDialog)
{
    setModal(false);
    ui->setupUi(this);
    ui->timeLabel->clear();

    tickTimer = new WallTimer(this);
    connect(tickTimer, &WallTimer::timeout, this, &TimerMsgDlg::updateTimer);

    dateTime = td::now();
    m_momentMsecs = dateTime.toMSecsSinceEpoch();
    countingDown = true;
    continueExpired = false;

    initializing = true;
    applyOpacity();
    initializing = false;

    // Pictures decoded once: every timer window's menu shows the same ones.
    const auto icon = [](const char* path) { return QIcon(sharedPixmap(QLatin1String(path))); };
    editAction = new QAction(icon(":/icons/Alarm.png"), tr("&Edit"), this);
    connect(editAction, &QAction::triggered, this, &TimerMsgDlg::editTimer);
    hideAction = new QAction(icon(":/icons/Symbol-Delete.png"), tr("&Hide"), this);
    connect(hideAction, &QAction::triggered, this, &TimerMsgDlg::hideByUser);
    resetAction = new QAction(icon(":/icons/Symbol-Refresh.png"), tr("&Reset"), this);
    connect(resetAction, &QAction::triggered, this, &TimerMsgDlg::resetStopwatch);
    menu = new QMenu(this);
    menu->addAction(editAction);
    menu->addAction(hideAction);
    menu->addSeparator();
    menu->addAction(resetAction);

    m_restartAction = menu->addAction(icon(":/icons/Symbol-Refresh.png"), tr("Res&tart"));
    m_restartAction->setObjectName(QStringLiteral("restartAction"));
    connect(m_restartAction, &QAction::triggered, this, [this] {
        if (m_model)
            m_model->restart(m_id);
    });
    m_pauseAction = menu->addAction(tr("&Pause"));
    m_pauseAction->setObjectName(QStringLiteral("pauseAction"));
    connect(m_pauseAction, &QAction::triggered, this, [this] {
        if (m_model)
            m_shown.paused() ? m_model->resume(m_id) : m_model->pause(m_id);
    });
    m_lapAction = menu->addAction(tr("&Lap"));
    m_lapAction->setObjectName(QStringLiteral("lapAction"));
    connect(m_lapAction, &QAction::triggered, this, [this] {
        if (m_model)
            m_model->lap(m_id);
    });
    m_lapsMenu = menu->addMenu(tr("Lap &times"));
    m_lapsMenu->setObjectName(QStringLiteral("lapsMenu"));
    updateCountActions();

    m_dragger = new WindowDragger(this, [this] {
        if (settings().timerActivateByClick) {
            activateWindow();
            setFocus();
        }
    });
    connect(m_dragger, &WindowDragger::dragEnded, this, &TimerMsgDlg::reportWindow);
}

TimerMsgDlg::~TimerMsgDlg()
{
    tickTimer->stop();
}

bool TimerMsgDlg::dragging() const
{
    return m_dragger->dragging();
}

void TimerMsgDlg::setModel(TimerModel* model, TimerModel::Id id)
{
    m_model = model;
    m_id = id;
    m_shown = model->entry(id);
    load(m_shown.record, m_shown.state);
    updateCountActions();
}

QDateTime TimerMsgDlg::countedAt() const
{
    return m_model ? m_shown.countedAt(td::now()) : td::now();
}

void TimerMsgDlg::updateCountActions()
{
    const bool counts = m_model && !m_finished;
    m_pauseAction->setVisible(counts);
    m_pauseAction->setText(m_shown.paused() ? tr("Res&ume") : tr("&Pause"));
    m_restartAction->setVisible(m_model && m_shown.record.spanSecs > 0);
    m_lapAction->setVisible(m_model && m_shown.state == TimerState::CountingUp);
    m_lapAction->setEnabled(m_shown.laps.size() < TimerModel::maxLaps);
    m_lapsMenu->menuAction()->setVisible(m_model && !m_shown.laps.isEmpty());
    m_lapsMenu->clear();
    // The latest first: the one just taken is the one looked for.
    for (qsizetype i = m_shown.laps.size() - 1; i >= 0 && i >= m_shown.laps.size() - 20; --i) {
        const qint64 at = m_shown.laps.at(i);
        const qint64 previous = i > 0 ? m_shown.laps.at(i - 1) : 0;
        m_lapsMenu
            ->addAction(tr("Lap %1: %2 (+%3)")
                            .arg(i + 1)
                            .arg(timermath::lapText(at), timermath::lapText(at - previous)))
            ->setEnabled(false);
    }
}

void TimerMsgDlg::showEntry()
{
    if (!m_model)
        return;
    const TimerEntry e = m_model->entry(m_id);
    if (e.record == m_shown.record && e.state == m_shown.state && e.pausedAt == m_shown.pausedAt &&
        TimerEntry::sameLaps(e.laps, m_shown.laps))
        return;
    m_shown = e;
    load(e.record, e.state);
    updateCountActions();
}

void TimerMsgDlg::setTimerRecord(const TimerRecord& r)
{
    if (m_model) {
        m_model->replace(m_id, r);
        return;
    }
    // An end already passed counts up at once, without a finish sequence.
    const bool ahead = r.type == TypeTimer && !(r.dateTime < td::now());
    load(r, ahead ? TimerState::CountingDown : TimerState::CountingUp);
}

void TimerMsgDlg::load(const TimerRecord& r, TimerState state)
{
    m_running = false;
    tickTimer->stop();
    ui->nameLabel->setText(r.name);
    // Never drawn on the frameless window, but task switchers list it.
    setWindowTitle(r.name);
    countingDown = state == TimerState::CountingDown;
    m_finished = state == TimerState::Finished;
    dateTime = r.dateTime;
    continueExpired = r.continueExpired;
    DisplayFormat::operator=(r);
    ++m_generation;
    computeParts();
    display();
    m_running = !m_finished && !(m_model && m_shown.paused());
    scheduleTick();
}

TimerRecord TimerMsgDlg::timerRecord() const
{
    if (m_model)
        return m_model->entry(m_id).record;
    TimerRecord r(ui->nameLabel->text(), countingDown ? TypeTimer : TypeStopwatch, dateTime,
                  continueExpired);
    r.DisplayFormat::operator=(*this);
    return r;
}

void TimerMsgDlg::scheduleTick()
{
    wake::TimerState state;
    state.running = m_running;
    state.visible = isVisible();
    state.countingDown = countingDown;
    state.momentValid = dateTime.isValid();
    state.moment = m_momentMsecs;
    state.unit = smallestUnit(m_parts);
    const qint64 at = wake::timerWake(state, td::nowMsecs());
    if (at == wake::Never)
        tickTimer->stop();
    else
        tickTimer->startAt(at);
}

void TimerMsgDlg::start()
{
    m_running = !m_finished && !(m_model && m_shown.paused());
    // The counted time went on meanwhile: show where it stands now.
    if (isVisible())
        updateTimer();
    else
        scheduleTick();
}

void TimerMsgDlg::stop()
{
    if (m_model) {
        m_model->stop(m_id);
        return;
    }
    m_running = false;
    scheduleTick();
    dateTime = td::now();
    m_momentMsecs = dateTime.toMSecsSinceEpoch();
}

void TimerMsgDlg::pause()
{
    m_running = false;
    scheduleTick();
}

void TimerMsgDlg::resume()
{
    start();
}

void TimerMsgDlg::tooglePausePlay()
{
    m_running ? pause() : start();
}

void TimerMsgDlg::resetStopwatch()
{
    if (m_model) {
        m_model->reset(m_id);
        return;
    }
    dateTime = td::now();
    start();
}

void TimerMsgDlg::updateSettings()
{
    applyOpacity();
    // A stopped timer gets no more ticks, so new looks must reach it here.
    display();
}

void TimerMsgDlg::setPos(const QPoint& centre)
{
    moveCentreTo(this, centre);
    if (!isVisible())
        m_hiddenCentre = centre;
    if (m_model)
        m_model->move(m_id, getPos());
    else
        m_reportedCentre = getPos();
}

QPoint TimerMsgDlg::getPos()
{
    if (!isVisible() && m_hiddenCentre)
        return *m_hiddenCentre;
    return centreOf(this);
}

void TimerMsgDlg::applyOpacity()
{
    setWindowOpacity(settings().timerShadeInactive && !isActiveWindow() ? 0.5 : 1.0);
}

void TimerMsgDlg::updateTimer()
{
    const QDateTime current = countedAt();
    const qint64 nowMsecs = current.toMSecsSinceEpoch();
    // Turned into absolute time on every tick, so a new time zone is followed.
    m_momentMsecs = dateTime.isValid() ? dateTime.toMSecsSinceEpoch() : 0;
    const timermath::Tick t = m_finished
                                  ? stoppedTick()
                                  : timermath::tick(dateTime, m_momentMsecs, current, nowMsecs,
                                                    countingDown, timermath::dayUnits(*this));
    if (t.action == timermath::TickAction::Finish && m_model) {
        // The model decides; its signals bring the new state to this window.
        m_model->finishDue();
        if (countingDown)
            pause();
        return;
    }
    if (t.action == timermath::TickAction::Finish && finish())
        return;
    m_parts = timermath::applyFormat(t.counts, *this, settings().timerShowCaptions);
    m_hasParts = true;
    display();
    scheduleTick();
}

void TimerMsgDlg::computeParts()
{
    m_momentMsecs = dateTime.isValid() ? dateTime.toMSecsSinceEpoch() : 0;
    const timermath::Tick t = m_finished ? stoppedTick()
                                         : timermath::tick(dateTime, countedAt(), countingDown,
                                                           timermath::dayUnits(*this));
    m_parts = timermath::applyFormat(t.counts, *this, settings().timerShowCaptions);
    m_hasParts = true;
}

void TimerMsgDlg::announceFinish()
{
    const AppSettings& s = settings();
    const TimerRecord record = timerRecord();
    playChosenSound(record.sound, s.timerPlaySound, s.timerSoundFileName);
    if (s.timerAlarmEnabled)
        emit alarmDue(record);
    emit directionChanged(this);
}

bool TimerMsgDlg::finish()
{
    const quint64 generation = m_generation;
    announceFinish();
    // A work window gets its next target from the signal; stopping now would
    // freeze the countdown that was just started.
    if (generation != m_generation)
        return true;
    if (!continueExpired)
        m_running = false;
    countingDown = false;
    scheduleTick();
    return false;
}

void TimerMsgDlg::display()
{
    const AppSettings& s = settings();
    const int pointSize = nameLabelPointSize(s.timerFontSize);
    if (pointSize != m_nameSize) {
        QFont f = ui->nameLabel->font();
        f.setPointSize(pointSize);
        ui->nameLabel->setFont(f);
        m_nameSize = pointSize;
    }
    // Looked at on every tick, set only when it changes.
    if (resetAction->isEnabled() == countingDown)
        resetAction->setEnabled(!countingDown);

    // Hidden windows keep counting but draw nothing until they are shown.
    if (!isVisible() || !m_hasParts)
        return;
    TimeParts parts = m_parts;
    parts.captions = format == FormatCustom || s.timerShowCaptions;
    static const QList<QObject*> noPlugins;
    const QList<QObject*>& plugins = s_plugins ? *s_plugins : noPlugins;
    if (m_pictureValid && parts == m_shownParts && s.timerDefaultSkin == m_shownSkin &&
        s.timerFontSize == m_shownFontSize && plugins.size() == m_shownPlugins)
        return;

    const bool newSkin =
        !m_pictureValid || s.timerDefaultSkin != m_shownSkin || plugins.size() != m_shownPlugins;
    // The view repaints only the cells whose picture changed.
    const DisplayLayout layout =
        layoutForDisplay(plugins, s.timerDefaultSkin, parts, s.timerFontSize, 0, font());
    if (newSkin || !m_faceValid)
        updateFace(layout);
    ++m_renders;
    m_pictureValid = true;
    m_shownParts = parts;
    m_shownSkin = s.timerDefaultSkin;
    m_shownFontSize = s.timerFontSize;
    m_shownPlugins = plugins.size();
    // An empty picture (nothing to show) leaves no empty line below the name.
    ui->timeLabel->setVisible(!layout.isNull());
    ui->timeLabel->setPicture(layout);
    // The picture has no text a screen reader could read: it gets the time in words.
    if (QAccessible::isActive())
        ui->timeLabel->setAccessibleName(timermath::spokenParts(parts));
}

void TimerMsgDlg::reportWindow()
{
    if (!m_model) {
        // Only the centre is kept: a resize around it or a show is no change.
        const QPoint centre = getPos();
        if (centre != m_reportedCentre) {
            m_reportedCentre = centre;
            emit changed();
        }
        return;
    }
    // settleSize() shows the window unseen: that is no change of the user's.
    if (testAttribute(Qt::WA_DontShowOnScreen))
        return;
    m_model->setVisible(m_id, isVisible());
    m_model->move(m_id, getPos());
}

void TimerMsgDlg::setVisible(bool visible)
{
    // Draw before the window appears, so it opens at its final size.
    if (visible && !isVisible()) {
        // A hidden stopwatch has not ticked meanwhile.
        computeParts();
        QDialog::setVisible(true);
        display();
        if (m_hiddenCentre) {
            // Only now is its real size known: with it, the window comes back
            // onto the desktop around the centre it was given while hidden.
            layout()->activate();
            moveCentreTo(this, onScreenCentre(*m_hiddenCentre, size()));
            m_hiddenCentre.reset();
        }
        scheduleTick();
        if (m_model)
            reportWindow();
        return;
    }
    if (!visible && isVisible())
        m_hiddenCentre = centreOf(this);
    QDialog::setVisible(visible);
    scheduleTick();
    if (m_model)
        reportWindow();
}

void TimerMsgDlg::settleSize()
{
    if (isVisible())
        return;
    const std::optional<QPoint> centre = m_hiddenCentre;
    setAttribute(Qt::WA_DontShowOnScreen, true);
    show();
    // The time drawn on showing counts: without it the size is the name's alone.
    layout()->activate();
    hide();
    setAttribute(Qt::WA_DontShowOnScreen, false);
    if (centre)
        setPos(*centre);
}

void TimerMsgDlg::editTimer()
{
    TimerDlg editor(parentWidget(), workTimer);
    editor.setTimerRecord(timerRecord());
    if (editor.exec() == QDialog::Accepted) {
        setTimerRecord(editor.timerRecord());
        start();
    }
}

void TimerMsgDlg::hideByUser()
{
    hide();
    reportWindow();
}

void TimerMsgDlg::updateFace(const DisplayLayout& picture)
{
    m_faceValid = true;
    // Skins bring their own colours for a clear ground: where the theme's
    // ground hides them (dark digits in a dark theme), the window takes the
    // theme's text colour as its ground and its ground colour for the name.
    const QPalette theme = QApplication::palette(this);
    const QRgb ground = theme.color(QPalette::Window).rgb();
    const QRgb text = theme.color(QPalette::WindowText).rgb();
    const bool swap = !picture.isNull() && contrast::swapForInk(inkOf(picture), ground, text);
    if (swap == m_faceSwapped)
        return;
    m_faceSwapped = swap;
    QPalette face;
    if (swap) {
        face = theme;
        face.setColor(QPalette::Window, text);
        face.setColor(QPalette::WindowText, ground);
    }
    setPalette(face);
}

bool TimerMsgDlg::event(QEvent* e)
{
    if (e->type() == QEvent::ApplicationPaletteChange) {
        m_faceValid = false;
        m_pictureValid = false;
        display();
    }
    if (e->type() == QEvent::ActivationChange)
        applyOpacity();
    return QDialog::event(e);
}

void TimerMsgDlg::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        editTimer();
    QDialog::mouseDoubleClickEvent(e);
}

void TimerMsgDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        hideByUser();
        emit timerHidden(this);
        return;
    }
    QDialog::keyPressEvent(e);
}

void TimerMsgDlg::enterEvent(QEnterEvent* e)
{
    if (!settings().timerActivateByClick) {
        activateWindow();
        setFocus();
    }
    QDialog::enterEvent(e);
}

void TimerMsgDlg::moveEvent(QMoveEvent* e)
{
    QDialog::moveEvent(e);
    const QRect area = availableDesktop();
    int x = pos().x();
    int y = pos().y();
    if (std::abs(x) < 2)
        x = 0;
    if (std::abs(y) < 2)
        y = 0;
    if (std::abs(x + width() - area.width()) < 2)
        x = area.width() - width();
    if (std::abs(y + height() - area.height()) < 2)
        y = area.height() - height();
    if (QPoint(x, y) != pos())
        move(x, y);
    // Whoever moved it (a drag, the window manager, keyboard moving), the new
    // place is worth keeping; saves are debounced and skip unchanged files.
    if (isVisible() && !initializing)
        reportWindow();
}

void TimerMsgDlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    const QSize old = e->oldSize();
    if (old.width() < 0 || old.height() < 0 || initializing)
        return;
    // Halves truncated one by one, as the centre itself is taken: halving the
    // difference would move the centre a pixel whenever one size is odd.
    const int dx = old.width() / 2 - e->size().width() / 2;
    const int dy = old.height() / 2 - e->size().height() / 2;
    if (!dx && !dy)
        return;
    QPoint p = pos() + QPoint(dx, dy);
    // Growing around its centre must not push a window that was wholly on
    // the desktop (say, snapped to an edge) partly off it.
    const QRect area = availableDesktop();
    if (area.contains(QRect(pos(), old)) && width() <= area.width() && height() <= area.height()) {
        p.setX(std::clamp(p.x(), area.left(), area.left() + area.width() - width()));
        p.setY(std::clamp(p.y(), area.top(), area.top() + area.height() - height()));
    }
    move(p);
}

void TimerMsgDlg::contextMenuEvent(QContextMenuEvent* e)
{
    menu->popup(e->globalPos());
}

} // namespace td
