// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HolidayFeed.h"

#include "common/Clock.h"
#include "storage/ICalendar.h"
#include "storage/SafeWrite.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace td {

namespace {

bool isWebAddress(const QString& source)
{
    const QString scheme = QUrl(source).scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

HolidayFeed::HolidayFeed(const QString& copyPath, QObject* parent)
    : QObject(parent), m_copyPath(copyPath), m_daily(new QTimer(this))
{
    // Once a day is all a calendar of days off needs; a missed day is caught up at start.
    m_daily->setInterval(24 * 3600 * 1000);
    connect(m_daily, &QTimer::timeout, this, &HolidayFeed::refresh);
}

QString HolidayFeed::nameOf(const QString& source)
{
    const QUrl url(source);
    const QString path = isWebAddress(source) ? url.path() : source;
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? (isWebAddress(source) ? url.host() : source) : name;
}

void HolidayFeed::setSource(const QString& source)
{
    m_source = source.trimmed();
    if (m_pending)
        m_pending->abort();
    if (m_source.isEmpty()) {
        m_daily->stop();
        QFile::remove(m_copyPath);
        emit daysChanged({});
        return;
    }
    m_daily->start();
    refresh();
}

void HolidayFeed::start(const QString& source)
{
    m_source = source.trimmed();
    QFile copy(m_copyPath);
    if (m_source.isEmpty())
        return;
    if (copy.open(QIODevice::ReadOnly)) {
        const ical::HolidayImport in =
            ical::importHolidays(copy.read(ical::maxFileBytes + 1), nameOf(m_source), now().date());
        if (in.error.isEmpty())
            emit daysChanged(in.holidays);
    }
    m_daily->start();
    QTimer::singleShot(0, this, &HolidayFeed::refresh);
}

void HolidayFeed::refresh()
{
    if (m_source.isEmpty())
        return;
    if (!isWebAddress(m_source)) {
        const QString path = QUrl(m_source).isLocalFile() ? QUrl(m_source).toLocalFile() : m_source;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            emit failed(tr("%1 cannot be read: %2").arg(path, file.errorString()));
            return;
        }
        take(file.read(ical::maxFileBytes + 1));
        return;
    }
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    if (m_pending)
        return;
    QNetworkRequest request{QUrl(m_source)};
    request.setTransferTimeout(60 * 1000);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    m_pending = m_network->get(request);
    QNetworkReply* reply = m_pending;
    // A calendar larger than any a reader takes is stopped, not held in memory.
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > ical::maxFileBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

void HolidayFeed::finished(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply == m_pending)
        m_pending = nullptr;
    if (reply->error() != QNetworkReply::NoError) {
        emit failed(tr("%1 cannot be reached: %2").arg(m_source, reply->errorString()));
        return;
    }
    take(reply->read(ical::maxFileBytes + 1));
}

void HolidayFeed::take(const QByteArray& text)
{
    const ical::HolidayImport in = ical::importHolidays(text, nameOf(m_source), now().date());
    if (!in.error.isEmpty()) {
        emit failed(tr("The calendar %1 was not taken: %2").arg(m_source, in.error));
        return;
    }
    QString error;
    if (!files::saveFile(m_copyPath, text, &error))
        emit failed(tr("The copy of %1 cannot be kept: %2").arg(m_source, error));
    emit daysChanged(in.holidays);
}

} // namespace td
