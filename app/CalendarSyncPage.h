// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace td {

class CalendarSync;

/// Settings, Calendars: the CalDAV account, the calendar Tidra's alarms go
/// to, and how the last sync went.
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
    void showStatus();

    CalendarSync& m_sync;
    QLineEdit* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QPushButton* m_find;
    QComboBox* m_calendar;
    QPushButton* m_use;
    QLabel* m_status;
};

} // namespace td
