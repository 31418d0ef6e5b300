// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalendarSyncPage.h"

#include "app/CalendarSync.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace td {

CalendarSyncPage::CalendarSyncPage(CalendarSync& sync, QWidget* parent)
    : QWidget(parent), m_sync(sync), m_server(new QLineEdit(this)), m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this)), m_find(new QPushButton(tr("&Find calendars"), this)),
      m_calendar(new QComboBox(this)), m_use(new QPushButton(tr("&Sync with this calendar"), this)),
      m_status(new QLabel(this))
{
    m_server->setObjectName(QStringLiteral("syncServer"));
    m_user->setObjectName(QStringLiteral("syncUser"));
    m_password->setObjectName(QStringLiteral("syncPassword"));
    m_find->setObjectName(QStringLiteral("syncFind"));
    m_calendar->setObjectName(QStringLiteral("syncCalendar"));
    m_use->setObjectName(QStringLiteral("syncUse"));
    m_status->setObjectName(QStringLiteral("syncStatus"));
    m_server->setPlaceholderText(QStringLiteral("https://example.org/dav/"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(tr("kept in the desktop's keyring"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout(this);
    form->addRow(tr("Ser&ver (CalDAV):"), m_server);
    form->addRow(tr("&User name:"), m_user);
    form->addRow(tr("&Password:"), m_password);
    auto* choice = new QHBoxLayout;
    choice->addWidget(m_calendar, 1);
    choice->addWidget(m_find);
    auto* calendarLabel = new QLabel(tr("Calendar for Tidra's a&larms:"), this);
    calendarLabel->setBuddy(m_calendar);
    form->addRow(calendarLabel, choice);
    form->addRow(QString(), m_use);
    form->addRow(m_status);

    const CalendarSync::Account a = m_sync.account();
    m_server->setText(a.server);
    m_user->setText(a.user);
    if (!a.calendar.isEmpty())
        m_calendar->addItem(a.calendar, a.calendar);
    const auto canUse = [this] {
        m_use->setEnabled(m_calendar->count() > 0 || m_server->text().trimmed().isEmpty());
    };
    canUse();
    connect(m_server, &QLineEdit::textChanged, this, canUse);
    connect(m_find, &QPushButton::clicked, this, &CalendarSyncPage::findCalendars);
    connect(m_use, &QPushButton::clicked, this, &CalendarSyncPage::useCalendar);
    connect(&m_sync, &CalendarSync::statusChanged, this, &CalendarSyncPage::showStatus);
    showStatus();
}

QList<QWidget*> CalendarSyncPage::focusOrder() const
{
    return {m_server, m_user, m_password, m_calendar, m_find, m_use};
}

void CalendarSyncPage::findCalendars()
{
    m_find->setEnabled(false);
    m_status->setText(tr("Looking for calendars…"));
    const QPointer<CalendarSyncPage> self(this);
    m_sync.discover(m_server->text().trimmed(), m_user->text().trimmed(), m_password->text(),
                    [self](const QString& error, const QList<caldav::Calendar>& found) {
                        if (!self)
                            return;
                        self->m_find->setEnabled(true);
                        if (!error.isEmpty()) {
                            self->m_status->setText(error);
                            return;
                        }
                        self->m_calendar->clear();
                        for (const caldav::Calendar& c : found)
                            self->m_calendar->addItem(c.name, c.url.toString());
                        self->m_use->setEnabled(!found.isEmpty());
                        self->m_status->setText(
                            found.isEmpty() ? tr("The server holds no calendar for events.")
                                            : tr("Choose the calendar for Tidra's alarms."));
                    });
}

void CalendarSyncPage::useCalendar()
{
    // An empty server address ends the sync.
    const QString server = m_server->text().trimmed();
    const CalendarSync::Account a{server, m_user->text().trimmed(),
                                  server.isEmpty() ? QString()
                                                   : m_calendar->currentData().toString()};
    const QPointer<CalendarSyncPage> self(this);
    m_sync.setAccount(a, m_password->text(), [self](bool ok, const QString& report) {
        if (!self)
            return;
        if (ok)
            self->m_password->clear();
        else
            self->m_status->setText(report);
    });
}

void CalendarSyncPage::showStatus()
{
    m_status->setText(m_sync.status());
}

} // namespace td
