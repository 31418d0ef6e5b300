// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Clock.h"

namespace {
QDateTime fixedMoment;
qint64 fixedMsecs = 0;
bool fixed = false;
} // namespace

namespace td {

QDateTime now()
{
    return fixed ? fixedMoment : QDateTime::currentDateTime();
}

qint64 nowMsecs()
{
    return fixed ? fixedMsecs : QDateTime::currentMSecsSinceEpoch();
}

namespace clock {
void setFixed(const QDateTime& moment)
{
    fixedMoment = moment;
    fixedMsecs = moment.toMSecsSinceEpoch();
    fixed = true;
}

void advance(qint64 msecs)
{
    if (!fixed)
        setFixed(QDateTime::currentDateTime());
    setFixed(fixedMoment.addMSecs(msecs));
}

void reset()
{
    fixed = false;
    fixedMoment = QDateTime();
}

bool isFixed()
{
    return fixed;
}
} // namespace clock

QDateTime localMoment(const QDate& date, const QTime& time)
{
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    QDateTime t(date, time);
    if (!t.isValid()) {
        // Inside a gap: take the time of the day before and move it a calendar day,
        // which lands just after the gap.
        t = QDateTime(date.addDays(-1), time).addDays(1);
    }
    return t;
}

} // namespace td
