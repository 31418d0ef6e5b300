// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CalendarTransfer.h"

#include "alarms/AlarmModel.h"
#include "common/Clock.h"
#include "storage/EventStore.h"
#include "storage/ICalendar.h"
#include "storage/SafeWrite.h"

#include <QCoreApplication>
#include <QFile>
#include <QUuid>

namespace td::transfer {

namespace {

QString tr(const char* text, int n = -1)
{
    return QCoreApplication::translate("td::transfer", text, nullptr, n);
}

QString leftOutLines(const QList<ical::LeftOut>& leftOut)
{
    QString out;
    for (const ical::LeftOut& l : leftOut)
        out += tr("Left out \"%1\": %2.").arg(l.summary, l.reason) + u'\n';
    return out;
}

} // namespace

Outcome exportAlarms(AlarmModel& alarms, const QString& path)
{
    QList<AlarmRecord> records;
    const QList<Alarm> listed = alarms.alarms();
    for (const Alarm& a : listed) {
        AlarmRecord r = a.record;
        if (r.uid.isEmpty()) {
            r.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
            alarms.setUid(a.id, r.uid);
        }
        records << r;
    }
    const ical::Export e = ical::exportAlarms(records, now());
    Outcome out;
    const int written = int(records.size() - e.leftOut.size());
    if (path == QLatin1String("-")) {
        out.ok = true;
        out.text = e.text;
        out.report = leftOutLines(e.leftOut);
        return out;
    }
    QString error;
    if (!files::saveFile(path, e.text, &error, {})) {
        out.report = tr("Tidra could not write %1: %2.").arg(path, error) + u'\n';
        return out;
    }
    out.ok = true;
    out.report =
        QCoreApplication::translate("td::transfer", "%n alarm(s) written to %1.", nullptr, written)
            .arg(path) +
        u'\n' + leftOutLines(e.leftOut);
    return out;
}

Outcome importAlarms(AlarmModel& alarms, EventStore& store, const QString& path)
{
    Outcome out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.report = tr("Tidra could not read %1: %2.").arg(path, file.errorString()) + u'\n';
        return out;
    }
    // One byte past the limit tells the reader the file is too large.
    const QByteArray text = file.read(ical::maxFileBytes + 1);
    QSet<QString> uids;
    for (const Alarm& a : alarms.alarms())
        uids << a.record.uid;
    const ical::AlarmImport in = ical::importAlarms(text, now(), uids);
    if (!in.error.isEmpty()) {
        out.report = tr("Nothing was imported from %1: %2").arg(path, in.error) + u'\n';
        return out;
    }
    if (alarms.count() + in.alarms.size() > AlarmModel::maxAlarms) {
        out.report = AlarmModel::fullMessage() + u'\n';
        return out;
    }
    QList<quint64> added;
    for (const AlarmRecord& r : in.alarms)
        added << alarms.add(r);
    QString error;
    if (!added.isEmpty() && !store.commit(&error)) {
        for (quint64 id : added)
            alarms.remove(id);
        out.report = tr("Tidra could not save the imported alarms: %1.").arg(error) + u'\n';
        return out;
    }
    out.ok = true;
    out.report = QCoreApplication::translate("td::transfer", "%n alarm(s) imported from %1.",
                                             nullptr, int(added.size()))
                     .arg(path) +
                 u'\n';
    if (in.known > 0)
        out.report += QCoreApplication::translate("td::transfer", "%n event(s) were there already.",
                                                  nullptr, in.known) +
                      u'\n';
    out.report += leftOutLines(in.leftOut);
    return out;
}

} // namespace td::transfer
