// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalendarSyncPage.h"

#include "app/CalendarSync.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

namespace td {

CalendarSyncPage::CalendarSyncPage(CalendarSync& sync, QWidget* parent)
    : QWidget(parent), m_sync(sync), m_server(new QLineEdit(this)), m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this)), m_find(new QPushButton(tr("&Find calendars"), this)),
      m_calendar(new QComboBox(this)), m_subscribed(new QListWidget(this)),
      m_use(new QPushButton(tr("&Save and sync"), this)), m_status(new QLabel(this))
{
    m_server->setObjectName(QStringLiteral("syncServer"));
    m_user->setObjectName(QStringLiteral("syncUser"));
    m_password->setObjectName(QStringLiteral("syncPassword"));
    m_find->setObjectName(QStringLiteral("syncFind"));
    m_calendar->setObjectName(QStringLiteral("syncCalendar"));
    m_subscribed->setObjectName(QStringLiteral("syncSubscribed"));
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
    auto* subscribedLabel =
        new QLabel(tr("Calendars whose reminders &ring here (read-only):"), this);
    subscribedLabel->setBuddy(m_subscribed);
    m_subscribed->setAccessibleName(subscribedLabel->text().remove(u'&'));
    form->addRow(subscribedLabel);
    form->addRow(m_subscribed);
    form->addRow(QString(), m_use);
    form->addRow(m_status);

    const CalendarSync::Account a = m_sync.account();
    m_server->setText(a.server);
    m_user->setText(a.user);
    if (!a.calendar.isEmpty())
        m_calendar->addItem(a.calendar, a.calendar);
    showCalendars(a.subscribed);
    const auto canUse = [this] {
        m_use->setEnabled(m_calendar->count() > 0 || m_subscribed->count() > 0 ||
                          m_server->text().trimmed().isEmpty());
    };
    canUse();
    connect(m_server, &QLineEdit::textChanged, this, canUse);
    connect(m_find, &QPushButton::clicked, this, &CalendarSyncPage::findCalendars);
    connect(m_calendar, &QComboBox::currentIndexChanged, this, &CalendarSyncPage::offerOthers);
    connect(m_use, &QPushButton::clicked, this, &CalendarSyncPage::useCalendar);
    connect(&m_sync, &CalendarSync::statusChanged, this, &CalendarSyncPage::showStatus);
    showStatus();
}

QList<QWidget*> CalendarSyncPage::focusOrder() const
{
    return {m_server, m_user, m_password, m_calendar, m_find, m_subscribed, m_use};
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
                        const QString own = self->m_sync.account().calendar;
                        self->m_calendar->clear();
                        // None is a choice: only subscribed calendars ring here.
                        self->m_calendar->addItem(tr("(none)"), QString());
                        for (const caldav::Calendar& c : found)
                            self->m_calendar->addItem(c.name, c.url.toString());
                        const int at = self->m_calendar->findData(
                            own.isEmpty() && !found.isEmpty() ? found.first().url.toString() : own);
                        self->m_calendar->setCurrentIndex(qMax(0, at));
                        self->showCalendars(found);
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
    CalendarSync::Account a{server,
                            m_user->text().trimmed(),
                            server.isEmpty() ? QString() : m_calendar->currentData().toString(),
                            {}};
    for (int i = 0; !server.isEmpty() && i < m_subscribed->count(); ++i) {
        const QListWidgetItem* item = m_subscribed->item(i);
        if (item->checkState() == Qt::Checked)
            a.subscribed << caldav::Calendar{QUrl(item->data(Qt::UserRole).toString()),
                                             item->text()};
    }
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

void CalendarSyncPage::showCalendars(const QList<caldav::Calendar>& calendars)
{
    QSet<QString> checked;
    for (const caldav::Calendar& c : m_sync.account().subscribed)
        checked << c.url.toString();
    m_subscribed->clear();
    for (const caldav::Calendar& c : calendars) {
        auto* item = new QListWidgetItem(c.name, m_subscribed);
        item->setData(Qt::UserRole, c.url.toString());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(c.url.toString()) ? Qt::Checked : Qt::Unchecked);
    }
    offerOthers();
}

void CalendarSyncPage::offerOthers()
{
    // The calendar Tidra writes to is its own, not also one to subscribe to.
    const QString own = m_calendar->currentData().toString();
    for (int i = 0; i < m_subscribed->count(); ++i) {
        QListWidgetItem* item = m_subscribed->item(i);
        const bool isOwn = item->data(Qt::UserRole).toString() == own;
        item->setFlags(isOwn ? item->flags() & ~Qt::ItemIsEnabled
                             : item->flags() | Qt::ItemIsEnabled);
        if (isOwn)
            item->setCheckState(Qt::Unchecked);
    }
}

void CalendarSyncPage::showStatus()
{
    m_status->setText(m_sync.status());
}

} // namespace td
