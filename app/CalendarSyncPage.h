// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "storage/CalDavClient.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace td {

class CalendarSync;

/// Settings, Sync: the CalDAV account, the calendar Tidra's alarms go to, the
/// calendars whose reminders ring here, and how the last sync went.
class CalendarSyncPage : public QWidget
{
    Q_OBJECT
public:
    explicit CalendarSyncPage(CalendarSync& sync, QWidget* parent = nullptr);
    /// The fields and buttons in the order Tab visits them.
    QList<QWidget*> focusOrder() const;

private:
    void findCalendars();
    void useCalendar();
    /// The calendars to subscribe to, those subscribed checked.
    void showCalendars(const QList<caldav::Calendar>& calendars);
    void offerOthers();
    void showStatus();

    CalendarSync& m_sync;
    QLineEdit* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QPushButton* m_find;
    QComboBox* m_calendar;
    QListWidget* m_subscribed;
    QPushButton* m_use;
    QLabel* m_status;
};

} // namespace td
