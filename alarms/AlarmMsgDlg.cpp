// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/AlarmMsgDlg.h"

#include "alarms/AlarmDlg.h"
#include "alarms/OtherDelayDlg.h"
#include "alarms/PopupRules.h"
#include "common/Accessibility.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/Random.h"
#include "common/SharedPixmap.h"
#include "common/Spans.h"
#include "common/WindowPlacement.h"
#include "ui_alarmmsgdialog2.h"

#include <QApplication>
#include <QBitmap>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMovie>
#include <QPixmapCache>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

namespace td {

namespace {

// What the pop-up reads when the main window has not made the settings record.
const AppSettings& settings()
{
    static const AppSettings defaults = [] {
        AppSettings s;
        s.alarmDisplayTime = 10;
        s.alarmShadeEffect = true;
        s.alarmShadeTime = 15;
        s.alarmSimpleForm = true;
        return s;
    }();
    return appSettings ? *appSettings : defaults;
}

/// A readable line length for messages, in average characters.
constexpr int lineChars = 60;
/// Message lines shown before the message scrolls.
constexpr int shownLines = 12;

} // namespace

AlarmMsgDlg::AlarmMsgDlg(AlarmModel* model, quint64 id, QWidget* parent)
    : QDialog(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_model(model), m_id(id)
{
    setAttribute(Qt::WA_DeleteOnClose);
    refresh();
    connect(this, &QDialog::finished, this, qOverload<int>(&AlarmMsgDlg::closed));

    const int n = int(random().bounded(10));
    m_animationFile = QStringLiteral(":/icons/gifs/clock_0%1_animado.gif")
                          .arg(10 * n + 1, 2, 10, QLatin1Char('0'));
}

void AlarmMsgDlg::ensurePopup()
{
    if (ui)
        return;
    ui = std::make_unique<Ui_AlarmMsgDialog2>();
    ui->setupUi(this);
    // The theme's own ground and text, so both suit each other in light and dark themes.
    setBackgroundRole(QPalette::Base);
    setAttribute(Qt::WA_ShowWithoutActivating);
    ui->animation->setPixmap(sharedPixmap(QStringLiteral(":/icons/gifs/clock_001_animado.gif")));
    // The name keeps its descenders whatever face the font matcher picks.
    ui->nameLabel->setMaximumHeight(
        std::max(ui->nameLabel->maximumHeight(), ui->nameLabel->fontMetrics().height()));
    ui->messageArea->viewport()->setAutoFillBackground(false);
    ui->messageContents->setAutoFillBackground(false);
    showTexts();
    updateStrings();

    connect(ui->closeButton, &QPushButton::pressed, this, &QWidget::hide);
    shadeTimer = new QTimer(this);
    connect(shadeTimer, &QTimer::timeout, this, &AlarmMsgDlg::shadeDown);

    auto* dragger = new WindowDragger(this, [this] { m_movedSincePress = false; });
    connect(dragger, &WindowDragger::moved, this, [this] {
        m_movedSincePress = true;
        emit alarmPositionChanged(this);
    });
    // A click that did not drag opens what a summary stands for.
    connect(dragger, &WindowDragger::dragEnded, this, [this] {
        if (m_kind == Kind::Summary && !m_movedSincePress)
            emit listRequested();
    });

    editAction = new QAction(tr("&Edit"), this);
    hideAction = new QAction(tr("&Hide"), this);
    delay5minAction = new QAction(tr("5 Minutes"), this);
    delay5minAction->setObjectName(QStringLiteral("delay5minAction"));
    delay1hourAction = new QAction(tr("1 Hour"), this);
    delay1dayAction = new QAction(tr("1 Day"), this);
    otherDelayAction = new QAction(tr("Other"), this);
    openListAction = new QAction(tr("&Open the alarm list"), this);
    connect(openListAction, &QAction::triggered, this, &AlarmMsgDlg::listRequested);
    connect(editAction, &QAction::triggered, this, &AlarmMsgDlg::editAlarm);
    connect(hideAction, &QAction::triggered, this, &QWidget::hide);
    connect(delay5minAction, &QAction::triggered, this, &AlarmMsgDlg::addDelay5min);
    connect(delay1hourAction, &QAction::triggered, this, &AlarmMsgDlg::addDelay1hour);
    connect(delay1dayAction, &QAction::triggered, this, &AlarmMsgDlg::addDelay1day);
    connect(otherDelayAction, &QAction::triggered, this, &AlarmMsgDlg::otherDelay);

    menu = new QMenu(this);
    menu->addAction(openListAction);
    menu->addAction(editAction);
    menu->addAction(hideAction);
    menu->addSeparator();
    remindMenu =
        menu->addMenu(QIcon(QStringLiteral(":/icons/HourGlass.png")), tr("&Remind later..."));
    fillRemindMenu();
    // The user's choices may change while a pop-up waits.
    connect(remindMenu, &QMenu::aboutToShow, this, &AlarmMsgDlg::fillRemindMenu);
    ui->menuButton->setMenu(menu);
    // Icons decode their images at once, so they come with the first opening.
    connect(menu, &QMenu::aboutToShow, this, &AlarmMsgDlg::setMenuIcons);
    // Queued: an action chosen from the menu runs first.
    connect(menu, &QMenu::aboutToHide, this, &AlarmMsgDlg::resumeAfterMenu, Qt::QueuedConnection);
    applyKind();
}

void AlarmMsgDlg::fillRemindMenu()
{
    QList<qint64> choices = spans::parseList(settings().alarmRemindChoices);
    if (choices.isEmpty())
        choices = {300, 3600, 86400};
    for (QAction* a : remindMenu->actions()) {
        remindMenu->removeAction(a);
        if (a->parent() == remindMenu)
            a->deleteLater();
    }
    // The usual three keep their actions, so their names and translations stay.
    const std::pair<qint64, QAction*> usual[] = {
        {300, delay5minAction}, {3600, delay1hourAction}, {86400, delay1dayAction}};
    for (const qint64 secs : std::as_const(choices)) {
        const auto it = std::find_if(std::begin(usual), std::end(usual),
                                     [secs](const auto& u) { return u.first == secs; });
        if (it != std::end(usual)) {
            remindMenu->addAction(it->second);
            continue;
        }
        QAction* a = remindMenu->addAction(spans::label(secs));
        connect(a, &QAction::triggered, this, [this, secs] { addDelay(int(secs)); });
    }
    remindMenu->addSeparator();
    remindMenu->addAction(otherDelayAction);
}

void AlarmMsgDlg::applyKind()
{
    if (!ui)
        return;
    openListAction->setVisible(m_kind == Kind::Summary);
    editAction->setVisible(m_kind == Kind::Alarm);
    remindMenu->menuAction()->setVisible(m_kind != Kind::Summary);
}

void AlarmMsgDlg::setKind(Kind kind)
{
    m_kind = kind;
    applyKind();
    showTexts();
}

void AlarmMsgDlg::setSummaryCount(int count)
{
    m_summaryCount = count;
    showTexts();
}

void AlarmMsgDlg::setMissedText(const QString& text)
{
    m_missedText = text;
    showTexts();
}

QString AlarmMsgDlg::soundNote(const QString& reason)
{
    return tr("No sound: %1.").arg(reason);
}

void AlarmMsgDlg::setSoundProblem(const QString& reason)
{
    m_soundProblem = reason.isEmpty() ? QString() : soundNote(reason);
    showTexts();
}

QString AlarmMsgDlg::shownName() const
{
    return m_kind == Kind::Summary ? tr("More alarms") : m_record.name;
}

void AlarmMsgDlg::showTexts()
{
    if (!ui)
        return;
    ui->nameLabel->setText(shownName());
    ui->nameLabel->setToolTip(QString());
    ui->textLabel->setText(
        m_kind == Kind::Summary
            ? tr("%Ln more alarm(s) went off. Click here to open the alarm list.", nullptr,
                 m_summaryCount)
            : wrappableText(m_record.message));
    const QString notes =
        QStringList{m_missedText, m_soundProblem}.filter(QRegularExpression(".")).join(u'\n');
    ui->dueLabel->setText(notes);
    ui->dueLabel->setVisible(!notes.isEmpty());
    // What a screen reader says when the pop-up appears: the alarm, then its message.
    setAccessibleName(tr("Alarm: %1").arg(shownName()));
    setAccessibleDescription(QString(ui->textLabel->text()).remove(QChar(0x200B)));
    // A showing pop-up takes its new size where it stands.
    if (isVisible())
        prepareSize();
}

void AlarmMsgDlg::parkInCorner()
{
    hide();
    m_parked = true;
}

void AlarmMsgDlg::setVisible(bool visible)
{
    if (visible) {
        ensurePopup();
        if (m_parked)
            prepareSize();
    }
    QDialog::setVisible(visible);
}

void AlarmMsgDlg::setMenuIcons()
{
    if (!editAction->icon().isNull())
        return;
    const QIcon clock(QStringLiteral(":/icons/Clock_light.png"));
    editAction->setIcon(QIcon(QStringLiteral(":/icons/Alert.png")));
    hideAction->setIcon(QIcon(QStringLiteral(":/icons/Symbol-Delete.png")));
    for (QAction* action : {delay5minAction, delay1hourAction, delay1dayAction, otherDelayAction})
        action->setIcon(clock);
    remindMenu->setIcon(QIcon(QStringLiteral(":/icons/HourGlass.png")));
}

AlarmMsgDlg::~AlarmMsgDlg() = default;

void AlarmMsgDlg::refresh()
{
    if (const Alarm* alarm = m_model ? m_model->find(m_id) : nullptr)
        m_record = alarm->record;
    showTexts();
}

void AlarmMsgDlg::addDelay(int seconds, RingShow show)
{
    if (m_model &&
        m_model->postpone(m_id, seconds, show) == AlarmModel::Postponed::NextComesFirst) {
        prompts::warning(this, tr("Alarm"),
                         tr("Cannot add such delay, because next scheduled alarm was planned "
                            "earlier"));
    }
}

void AlarmMsgDlg::addDelay5min()
{
    addDelay(300);
    hide();
}

void AlarmMsgDlg::addDelay5minByNotification()
{
    addDelay(300, RingShow::Notification);
}

void AlarmMsgDlg::addDelay1hour()
{
    addDelay(3600);
    hide();
}

void AlarmMsgDlg::addDelay1day()
{
    addDelay(86400);
    hide();
}

void AlarmMsgDlg::otherDelay()
{
    OtherDelayDlg dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        addDelay(int(dialog.value()));
    hide();
}

void AlarmMsgDlg::editAlarm()
{
    if (AlarmDlg::refusedAsCalendarAlarm(this, m_record)) {
        resumeAfterMenu();
        return;
    }
    AlarmDlg editor;
    editor.fillFrom(m_record);
    // The model may have let the alarm go while the editor was open.
    if (editor.exec() == QDialog::Accepted && m_model)
        m_model->replace(m_id, editor.result());
    resumeAfterMenu();
}

void AlarmMsgDlg::updateStrings()
{
    if (!ui)
        return;
    ui->label->setPixmap(sharedPixmap(QStringLiteral(":/icons/alarm_banner.png")));
    ui->menuButton->setToolTip(tr("Remind later, edit, and more"));
    ui->closeButton->setToolTip(tr("Close"));
    ui->animation->setAccessibleName(tr("Ringing clock"));
    nameIconButtons(this);
}

void AlarmMsgDlg::prepareSize()
{
    ensurePopup();
    const bool full = !settings().alarmSimpleForm;
    ui->label->setVisible(full);
    ui->animation->setVisible(full);
    const QSize before = size();
    ensurePolished();
    fitToDesktop();
    // A hidden window does not re-run its layouts when children change visibility.
    const auto relayout = [this] {
        ui->gridLayout->invalidate();
        ui->frame->updateGeometry();
        layout()->invalidate();
        layout()->activate();
        adjustSize();
    };
    relayout();
    // Whatever the estimate missed: never taller than the desktop.
    const int excess = height() - availableDesktop().height();
    if (excess > 0) {
        ui->messageArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        ui->messageArea->setFixedHeight(qMax(0, ui->messageArea->minimumHeight() - excess));
        relayout();
    }
    if (m_parked) {
        m_parked = false;
        const QRect desktop = availableDesktop();
        move(desktop.x() + desktop.width() - width(), desktop.y() + desktop.height() - height());
    } else if (size() != before && testAttribute(Qt::WA_Moved)) {
        move(pos() + QPoint(before.width() - width(), before.height() - height()));
    }
}

void AlarmMsgDlg::fitToDesktop()
{
    const QRect desktop = availableDesktop();
    QLabel* text = ui->textLabel;
    const QFontMetrics fm(text->font());
    const QFontMetrics nameFm(ui->nameLabel->font());
    const QMargins grid = ui->gridLayout->contentsMargins();
    const int spacing = ui->gridLayout->horizontalSpacing();
    int chromeWidth = grid.left() + grid.right() + 2 * ui->frame->frameWidth();
    if (!ui->animation->isHidden())
        chromeWidth += ui->animation->minimumWidth() + spacing;
    const int buttons =
        ui->menuButton->minimumWidth() + ui->closeButton->minimumWidth() + 2 * spacing;

    // The column is as wide as the message's longest line or the name, within
    // a readable line length and the desktop, and never narrower than the rule.
    // A summary keeps to the narrowest width, so it fits the place of any pop-up.
    const QString plain = QString(text->text()).remove(QChar(0x200B));
    int natural = 0;
    for (const QString& line : plain.split(u'\n'))
        natural = m_kind == Kind::Summary ? 0 : qMax(natural, fm.horizontalAdvance(line));
    natural += 2 * text->margin() + 2;
    const QString name = shownName();
    natural = qMax(natural, nameFm.horizontalAdvance(name) + buttons + 2);
    const int widest =
        qMax(0, qMin(fm.averageCharWidth() * lineChars, desktop.width() - chromeWidth));
    const int column = qMin(qMax(natural, ui->line->minimumWidth()), qMax(widest, 1));

    // Word wrap lets a word wider than the line run past its edge: it wraps
    // inside, with room for the ink of each line's last letter.
    const auto breakFor = [&](int width) {
        text->setText(breakLongWords(plain, width - 2 * text->margin(), [&fm](QStringView piece) {
            const QString s = piece.toString();
            return qMax(fm.horizontalAdvance(s), fm.boundingRect(s).right() + 1);
        }));
    };
    breakFor(column);

    const QString elided = nameFm.elidedText(name, Qt::ElideRight, column - buttons);
    ui->nameLabel->setText(elided);
    ui->nameLabel->setToolTip(elided != name ? name : QString());
    ui->dueLabel->setFixedWidth(column);
    ui->dueLabel->setFixedHeight(
        ui->dueLabel->text().isEmpty() ? 0 : ui->dueLabel->heightForWidth(column));

    const int textHeight = text->heightForWidth(column);
    const int tallest =
        qMin(shownLines * fm.lineSpacing() + 2 * text->margin(), desktop.height() / 2);
    const bool scroll = textHeight > tallest;
    if (scroll) // the scroll bar takes its width from the lines
        breakFor(column - ui->messageArea->verticalScrollBar()->sizeHint().width());
    ui->messageArea->setVerticalScrollBarPolicy(scroll ? Qt::ScrollBarAlwaysOn
                                                       : Qt::ScrollBarAlwaysOff);
    ui->messageArea->setFixedSize(column, scroll ? tallest : textHeight);
    ui->messageArea->setToolTip(QString());
}

void AlarmMsgDlg::showAlarm()
{
    prepareSize();
    opacity = 1.0;
    displayLeft = settings().alarmDisplayTime;
    setWindowOpacity(1.0);
    show();
    shadeTimer->start(displayLeft * 1000);
}

int AlarmMsgDlg::fadeStepMsecs() const
{
    return settings().alarmShadeTime * 10;
}

void AlarmMsgDlg::hideAndReset()
{
    if (shadeTimer)
        shadeTimer->stop();
    hide();
    opacity = 1.0;
}

void AlarmMsgDlg::shadeDown()
{
    ensurePopup();
    if (displayLeft > 0) {
        displayLeft = 0;
        if (settings().alarmShadeEffect)
            shadeTimer->start(fadeStepMsecs());
        else
            hideAndReset();
        return;
    }
    opacity -= 0.01;
    if (!mouseInside)
        setWindowOpacity(opacity);
    // Compared with a margin, so 80 steps of 0.01 from 1.0 end it despite rounding.
    if (opacity <= 0.2 + 1e-9)
        hideAndReset();
}

void AlarmMsgDlg::changedStayOnTop(bool mode)
{
    ensurePopup();
    if (mode) {
        setWindowOpacity(1.0);
        shadeTimer->stop();
    } else if (settings().alarmShadeEffect) {
        shadeTimer->start(fadeStepMsecs());
    } else {
        hideAndReset();
    }
}

void AlarmMsgDlg::closed(int)
{
    emit alarmFinished(this);
}

void AlarmMsgDlg::closed()
{
    emit alarmFinished(this);
}

void AlarmMsgDlg::animationUpdated(int)
{
    if (!movie)
        return;
    QPixmap frame = movie->currentPixmap();
    frame.setMask(frame.createHeuristicMask(true));
    ui->animation->setPixmap(frame);
}

void AlarmMsgDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hideAndReset();
        return;
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        openMenuFromKeyboard();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AlarmMsgDlg::enterEvent(QEnterEvent* event)
{
    QDialog::enterEvent(event);
    setWindowOpacity(1.0);
    setFocus();
    mouseInside = true;
    if (shadeTimer)
        shadeTimer->stop();
}

void AlarmMsgDlg::leaveEvent(QEvent* event)
{
    QDialog::leaveEvent(event);
    if (menu && (menu->isVisible() || remindMenu->isVisible()))
        return;
    resumeFading();
}

void AlarmMsgDlg::resumeFading()
{
    mouseInside = false;
    if (!isVisible() || !shadeTimer)
        return;
    setWindowOpacity(opacity);
    if (settings().alarmShadeEffect)
        shadeTimer->start(fadeStepMsecs());
    else
        hideAndReset();
}

void AlarmMsgDlg::resumeAfterMenu()
{
    // A dialog opened from the menu (editor, other delay) holds the pop-up
    // until it closes; the pointer back over the pop-up holds it as well.
    if (!isVisible() || !menu || menu->isVisible() || QApplication::activeModalWidget() ||
        frameGeometry().contains(QCursor::pos()))
        return;
    resumeFading();
}

void AlarmMsgDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        openMenuFromKeyboard();
        return;
    }
    ensurePopup();
    menu->popup(event->globalPos());
}

void AlarmMsgDlg::openMenuFromKeyboard()
{
    ensurePopup();
    // Where the mouse would open it: under the menu button.
    menu->popup(ui->menuButton->mapToGlobal(QPoint(0, ui->menuButton->height())));
}

void AlarmMsgDlg::takeFocus()
{
    if (!isVisible())
        return;
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

void AlarmMsgDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    static quint64 shows = 0;
    if (!event->spontaneous()) {
        m_shownOrder = ++shows;
        reportRinging(true);
    }
    if (!ui || ui->animation->isHidden())
        return;
    if (!movie) {
        movie = new QMovie(m_animationFile, QByteArray(), this);
        connect(movie, &QMovie::frameChanged, this, &AlarmMsgDlg::animationUpdated);
    }
    // A missing animation leaves the form's clock picture in place.
    if (movie->isValid())
        movie->start();
}

void AlarmMsgDlg::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (movie)
        movie->stop();
    if (shadeTimer)
        shadeTimer->stop();
    opacity = 1.0;
    setWindowOpacity(1.0);
    // Spontaneous hides come from the desktop (another workspace), not the user.
    if (!event->spontaneous())
        reportRinging(false);
}

void AlarmMsgDlg::reportRinging(bool ringing)
{
    // Queued: the model may let the alarm go, and this pop-up with it.
    if (m_model)
        QMetaObject::invokeMethod(
            m_model,
            [model = QPointer<AlarmModel>(m_model), id = m_id, ringing] {
                if (model)
                    model->setRinging(id, ringing, settings().alarmDeleteExpired);
            },
            Qt::QueuedConnection);
}

} // namespace td
