// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"

#include "app/AlarmPopups.h"
#include "app/ClockWatch.h"
#include "app/ListKeys.h"
#include "app/NavigationDelegate.h"
#include "common/Accessibility.h"
#include "common/AppInfo.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/SettingsTable.h"
#include "common/TimeEdits.h"
#include "common/WallTimer.h"
#include "storage/Autostart.h"
#include "storage/EventStore.h"
#include "storage/SettingsFile.h"
#include "timers/TimerMsgDlg.h"
#include "ui_maindialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace td {

namespace {

/// The About page's banner with its subtitle in the user's language; a long
/// one is narrowed to fit the card.
QPixmap banner(const QString& subtitle)
{
    QPixmap card(QStringLiteral(":/icons/banner.png"));
    QPainter p(&card);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    const qreal room = card.deviceIndependentSize().width() - 86 - 12;
    const qreal width = QFontMetricsF(font).horizontalAdvance(subtitle);
    if (width > room)
        font.setPixelSize(qMax(8, int(13 * room / width)));
    p.setFont(font);
    p.setPen(QColor(0xF5, 0xF7, 0xFA));
    p.drawText(QPointF(86, 57), subtitle);
    return card;
}

} // namespace

MainSettingsDlg* mainWindow = nullptr;
AppSettings* appSettings = nullptr;

namespace {

constexpr Qt::WindowFlags dialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                        Qt::FramelessWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::CustomizeWindowHint;

} // namespace

MainSettingsDlg::MainSettingsDlg(QWidget* parent)
    : QDialog(parent, dialogFlags), m_timerModel(new TimerModel(this))
{
    if (mainWindow) {
        prompts::critical(nullptr, tr("Error"),
                          tr("Only one instance of Tidra!!! can be run at the same time!"));
        return;
    }
    mainWindow = this;
    prompts::setNoticeSink([this](const QString& text) { showNotice(text); });
    if (!appSettings)
        appSettings = new AppSettings;

    loadPlugins();
    TimerMsgDlg::setFontPlugins(&fontPlugins);
    loadSettings(*appSettings, fontPlugins);
    createTrayMenus();
    createTrayIcon();

    ui = std::make_unique<Ui::MainDialog>();
    ui->setupUi(this);
    ringFocusedFlatButtons(this);
    localizeTimeEdits(this);
    followDateAndTime(ui->currentTime, ui->calendar);
    NavigationDelegate::install(ui->mainList);

    mainTimer = new WallTimer(this);
    mainTimer->setObjectName(QStringLiteral("mainTimer"));
    connect(mainTimer, &WallTimer::timeout, this, &MainSettingsDlg::updateMainTimer);
    popupTimer = new WallTimer(this);
    connect(popupTimer, &WallTimer::timeout, this,
            [this] { m_popups->prepareDue(nowMsecs() + PreparePopupMsecs); });
    // A set clock or a resume wakes every wall-clock timer, the main tick among them.
    connect(new ClockWatch(this), &ClockWatch::changed, this, &wallclock::clockChanged);

    clickTimer = new QTimer(this);
    clickTimer->setObjectName(QStringLiteral("clickTimer"));
    connect(clickTimer, &QTimer::timeout, this, &MainSettingsDlg::singliLeftClick);

    connect(ui->mainListUpButton, &QPushButton::pressed, this, &MainSettingsDlg::mainListUp);
    connect(ui->mainListDownButton, &QPushButton::pressed, this, &MainSettingsDlg::mainListDown);
    connect(ui->alarmAddButton, &QPushButton::clicked, this, &MainSettingsDlg::addAlarm);
    connect(ui->alarmDelButton, &QPushButton::clicked, this, &MainSettingsDlg::delAlarm);
    connect(ui->alarmExportButton, &QPushButton::clicked, this, &MainSettingsDlg::exportAlarms);
    connect(ui->alarmImportButton, &QPushButton::clicked, this, &MainSettingsDlg::importAlarms);
    connect(ui->holidayImportButton, &QPushButton::clicked, this, &MainSettingsDlg::importHolidays);
    connect(ui->holidaySubscribeButton, &QPushButton::clicked, this,
            &MainSettingsDlg::subscribeHolidays);
    connect(ui->alarmsList, &QListWidget::itemDoubleClicked, this, &MainSettingsDlg::editAlarm);
    connect(ui->alarmsList, &QListWidget::currentRowChanged, this, &MainSettingsDlg::alarmChanged);
    connect(ui->timerAddButton, &QPushButton::clicked, this, &MainSettingsDlg::addTimer);
    connect(ui->timerDelButton, &QPushButton::clicked, this, &MainSettingsDlg::delTimer);
    connect(ui->timersList, &QListWidget::itemDoubleClicked, this, &MainSettingsDlg::editTimer);
    connect(ui->addHolidayButton, &QPushButton::clicked, this, &MainSettingsDlg::addHoliday);
    connect(ui->deleteHolidayButton, &QPushButton::clicked, this, &MainSettingsDlg::delHoliday);
    connect(ui->holidaysList, &QTableWidget::itemDoubleClicked, this,
            &MainSettingsDlg::editHoliday);
    connect(ui->timersList, &QListWidget::currentRowChanged, this, &MainSettingsDlg::timerChanged);
    connect(m_timerModel, &TimerModel::timerAdded, this, &MainSettingsDlg::timerAdded);
    connect(m_timerModel, &TimerModel::timerRemoved, this, &MainSettingsDlg::timerRemoved);
    connect(m_timerModel, &TimerModel::timerChanged, this, &MainSettingsDlg::timerEntryChanged);
    connect(m_timerModel, &TimerModel::timerFinished, this, &MainSettingsDlg::timerFinished);
    connect(ui->closeButton, &QPushButton::clicked, this, &MainSettingsDlg::apply);
    connect(ui->emailButton, &QPushButton::clicked, this, &MainSettingsDlg::emailUs);
    connect(ui->webPageButton, &QPushButton::clicked, this, &MainSettingsDlg::homeSite);
    installListKeys(
        ui->alarmsList, [this] { editAlarm(ui->alarmsList->currentItem()); },
        [this] { delAlarm(); });
    installListKeys(
        ui->timersList, [this] { editTimer(ui->timersList->currentItem()); },
        [this] { delTimer(); });
    installListKeys(
        ui->holidaysList, [this] { editHoliday(ui->holidaysList->currentItem()); },
        [this] { delHoliday(); });

    settings::putIntoWidgets(*appSettings, this);

    for (QCheckBox* box :
         {ui->workTimerToLunch, ui->workTimerToDayEnd, ui->workTimerNoDayEndTillLunch,
          ui->workTimerHoliday, ui->workTimerVacation})
        connect(box, &QCheckBox::stateChanged, this, &MainSettingsDlg::updateSettings);

    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MainSettingsDlg::trayIconActivated);

    connect(this, &MainSettingsDlg::stringsChanged, this, &MainSettingsDlg::updateStrings);
    updateStrings();

    connectSettingsWidgets();

    if (appSettings->showOnStartUp)
        show();

    createWorkWindows();

    m_alarms = new AlarmModel(this);
    m_popups = new AlarmPopups(*m_alarms, this);
    m_popups->trayBalloon = [this](const QString& title, const QString& text, int msecs) {
        m_trayIcon->showMessage(title, text, QSystemTrayIcon::Warning, msecs);
    };
    m_store = new EventStore(*m_alarms, this, this);
    connectAlarmModel();
    connectUndo();
    loadEvents();

    updateSettings();

    if (m_store->folderCreated())
        welcomeFirstStart();

    for (TimerMsgDlg* w : {lunchTimer, dayEndTimer, holidayTimer, vacationTimer})
        w->initializing = false;

    // The first tick as soon as the event loop runs: alarms missed while the
    // program was not running fire, the work windows take their places.
    connect(this, &MainSettingsDlg::settingsChanged, this, &MainSettingsDlg::tickSoon);
    tickSoon();
}

MainSettingsDlg::~MainSettingsDlg()
{
    if (mainWindow != this)
        return;
    saveEvents();
    settings::readFromWidgets(*appSettings, this);
    saveSettings(*appSettings);
    // The windows and lists this window owns go with it after this body has
    // run; nothing they report on the way out may reach a half-destroyed window.
    for (QObject* child : children())
        disconnect(child, nullptr, this, nullptr);
    ui.reset();
    TimerMsgDlg::setFontPlugins(nullptr);
    prompts::setNoticeSink({});
    mainWindow = nullptr;
}

namespace {

// The strip opens at its top, its first entries whole: Qt would scroll just far
// enough to show a lower page's entry and cut the one above it in half.
void showStripTop(QListWidget* strip)
{
    strip->doItemsLayout();
    strip->scrollToTop();
}

} // namespace

void MainSettingsDlg::showPage(int row)
{
    ui->mainList->setCurrentRow(row);
    show();
    showStripTop(ui->mainList);
    raise();
    activateWindow();
    // Keys work at once on the page asked for: its first field has the focus.
    QWidget* page = ui->stack->currentWidget();
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            break;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void MainSettingsDlg::showDateTime()
{
    showPage(0);
}

void MainSettingsDlg::showAlarms()
{
    showPage(1);
}

void MainSettingsDlg::showTimers()
{
    showPage(2);
}

void MainSettingsDlg::showWork()
{
    showPage(3);
}

void MainSettingsDlg::showSettings()
{
    showPage(4);
}

void MainSettingsDlg::showAbout()
{
    showPage(5);
}

void MainSettingsDlg::mainListUp()
{
    QScrollBar* bar = ui->mainList->verticalScrollBar();
    bar->setValue(bar->value() - bar->singleStep());
}

void MainSettingsDlg::mainListDown()
{
    QScrollBar* bar = ui->mainList->verticalScrollBar();
    bar->setValue(bar->value() + bar->singleStep());
}

void MainSettingsDlg::apply()
{
    hide();
}

void MainSettingsDlg::cancel()
{
    hide();
}

void MainSettingsDlg::updateStrings()
{
    ui->labelBanner->setPixmap(banner(tr("TIME MANAGER", "the subtitle under the name")));
    ui->labelBanner->setAccessibleName(tr("Tidra!!! Time Manager"));
    ui->alarmSoundFile->setAccessibleName(tr("Alarm sound file"));
    ui->timerSoundFile->setAccessibleName(tr("Timer sound file"));
    // The calendar's own arrows come without a name.
    if (auto* back =
            ui->calendar->findChild<QAbstractButton*>(QStringLiteral("qt_calendar_prevmonth")))
        back->setAccessibleName(tr("Previous month"));
    if (auto* on =
            ui->calendar->findChild<QAbstractButton*>(QStringLiteral("qt_calendar_nextmonth")))
        on->setAccessibleName(tr("Next month"));
    nameIconButtons(this);
    nameUndoButtons();
    ui->versionLabel->setText(tr("Version %1.%2.%3")
                                  .arg(info::versionMajor, 0, 10)
                                  .arg(info::versionMinor, 0, 10)
                                  .arg(QString::fromLatin1(info::versionPatch)));
}

void MainSettingsDlg::homeSite()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(info::homePage), QUrl::TolerantMode));
}

void MainSettingsDlg::emailUs()
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(QString::fromLatin1(info::contactEmail));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral("Tidra!!! Time Manager"));
    url.setQuery(query);
    QDesktopServices::openUrl(url);
}

void MainSettingsDlg::welcomeFirstStart()
{
    Autostart::write(QCoreApplication::applicationFilePath());
    appSettings->startWithOS = true;
    ui->startWithOS->setChecked(true);
    showWelcomeWhenTrayVisible();
}

} // namespace td
