// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/HolidayRecord.h"

#include <QList>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace td {

/// A subscribed calendar of days off: an .ics file or an http(s) address,
/// fetched at start and once a day. The last good copy is kept in the data
/// folder and stands while the calendar cannot be reached or read.
class HolidayFeed : public QObject
{
    Q_OBJECT
public:
    /// `copyPath`: where the last good copy is kept.
    HolidayFeed(const QString& copyPath, QObject* parent = nullptr);

    QString source() const { return m_source; }
    /// Follows `source` (empty: none; the copy is then removed) and fetches it.
    void setSource(const QString& source);
    /// At start: the days of the last good copy at once, the calendar itself
    /// from the event loop.
    void start(const QString& source);
    /// Fetches the calendar now.
    void refresh();
    /// The name the days are marked with: the file's or the address's last part.
    static QString nameOf(const QString& source);

signals:
    /// The calendar's days, replacing all it gave before.
    void daysChanged(const QList<td::HolidayRecord>& days);
    /// Fetching or reading failed; the days stay as they were.
    void failed(const QString& reason);

private:
    /// Takes a fetched calendar: its days, and a copy when it reads well.
    void take(const QByteArray& text);
    void finished(QNetworkReply* reply);

    QString m_copyPath;
    QString m_source;
    QNetworkAccessManager* m_network = nullptr;
    QNetworkReply* m_pending = nullptr;
    QTimer* m_daily = nullptr;
};

} // namespace td
