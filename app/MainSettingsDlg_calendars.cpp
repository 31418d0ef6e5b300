// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalendarSync.h"
#include "app/CalendarSyncPage.h"
#include "app/CalendarTransfer.h"
#include "app/ClockWatch.h"
#include "app/HolidayFeed.h"
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "storage/EventStore.h"
#include "storage/ICalendar.h"
#include "ui_maindialog.h"

#include <QFile>
#include <QInputDialog>
#include <QSettings>

namespace td {

namespace {

const char* const feedKey = "work/HolidayCalendar";

QString calendarFilter()
{
    return QCoreApplication::translate("MainDialog", "iCalendar files (*.ics);;All files (*)");
}

} // namespace

void MainSettingsDlg::exportAlarms()
{
    const QString path = prompts::saveFileName(this, tr("Export alarms"),
                                               QStringLiteral("Tidra.ics"), calendarFilter());
    if (path.isEmpty())
        return;
    const transfer::Outcome o = transfer::exportAlarms(*m_alarms, path);
    prompts::message(this, o.ok ? prompts::Kind::Information : prompts::Kind::Warning,
                     tr("Export alarms"), o.report.trimmed());
}

void MainSettingsDlg::importAlarms()
{
    const QString path =
        prompts::openFileName(this, tr("Import alarms"), QString(), calendarFilter());
    if (path.isEmpty())
        return;
    const transfer::Outcome o = transfer::importAlarms(*m_alarms, *m_store, path);
    prompts::message(this, o.ok ? prompts::Kind::Information : prompts::Kind::Warning,
                     tr("Import alarms"), o.report.trimmed());
}

void MainSettingsDlg::importHolidays()
{
    const QString path =
        prompts::openFileName(this, tr("Import holidays"), QString(), calendarFilter());
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompts::warning(this, tr("Import holidays"),
                         tr("Tidra could not read %1: %2.").arg(path, file.errorString()));
        return;
    }
    const ical::HolidayImport in =
        ical::importHolidays(file.read(ical::maxFileBytes + 1), QString(), now().date());
    if (!in.error.isEmpty()) {
        prompts::warning(this, tr("Import holidays"),
                         tr("Nothing was imported from %1: %2").arg(path, in.error));
        return;
    }
    // The user's own days: a day that does not come back every year is kept
    // as a one-day vacation, which the work-schedule file can hold.
    int added = 0;
    for (HolidayRecord h : in.holidays) {
        if (!h.yearly)
            h.type = TypeVacation;
        h.yearly = true;
        if (!appSettings->holidays.contains(h)) {
            appSettings->holidays << h;
            ++added;
        }
    }
    QString report = tr("%n day(s) off imported from %1.", nullptr, added).arg(path);
    for (const ical::LeftOut& l : in.leftOut)
        report += u'\n' + tr("Left out \"%1\": %2.").arg(l.summary, l.reason);
    updateHolidays();
    emit holidaysChanged();
    prompts::message(this, prompts::Kind::Information, tr("Import holidays"), report);
}

void MainSettingsDlg::subscribeHolidays()
{
    bool ok = false;
    const QString source = QInputDialog::getText(
        this, tr("Calendar of days off"),
        tr("An .ics file or an http(s) address, refreshed every day; empty for none:"),
        QLineEdit::Normal, m_feed->source(), &ok);
    if (!ok)
        return;
    QSettings("Morvane", "Tidra").setValue(QLatin1String(feedKey), source.trimmed());
    m_feed->setSource(source);
}

void MainSettingsDlg::takeFeedHolidays(const QList<HolidayRecord>& days)
{
    QList<HolidayRecord>& all = appSettings->holidays;
    all.erase(std::remove_if(all.begin(), all.end(),
                             [](const HolidayRecord& h) { return !h.calendar.isEmpty(); }),
              all.end());
    all += days;
    updateHolidays();
    emit holidaysChanged();
}

void MainSettingsDlg::startHolidayFeed()
{
    m_feed =
        new HolidayFeed(EventStore::dataFolder() + QStringLiteral("/HolidayCalendar.ics"), this);
    connect(m_feed, &HolidayFeed::daysChanged, this, &MainSettingsDlg::takeFeedHolidays);
    connect(m_feed, &HolidayFeed::failed, this,
            [](const QString& reason) { prompts::notice(reason); });
    const QString source =
        QSettings("Morvane", "Tidra").value(QLatin1String(feedKey)).toString().trimmed();
    if (!source.isEmpty())
        m_feed->start(source);
}

void MainSettingsDlg::startCalendarSync()
{
    m_sync = new CalendarSync(*m_alarms, *m_store, this);
    connect(new ClockWatch(this), &ClockWatch::changed, m_sync, &CalendarSync::resumed);
    connect(m_sync, &CalendarSync::statusChanged, this, &MainSettingsDlg::updateTrayToolTip);
    auto* page = new CalendarSyncPage(*m_sync, this);
    ui->tabWidget->addTab(page, tr("S&ync"));
    // A page made after the form comes before the window's Close button, not after it.
    QWidget* previous = ui->closeButton->previousInFocusChain();
    for (QWidget* w : page->focusOrder()) {
        setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, ui->closeButton);
    m_sync->start();
}

} // namespace td
