#include "app/Clock.h"

namespace {
QDateTime fixedMoment;
bool fixed = false;
} // namespace

namespace td {

QDateTime now()
{
    return fixed ? fixedMoment : QDateTime::currentDateTime();
}

namespace clock {
void setFixed(const QDateTime& moment)
{
    fixedMoment = moment;
    fixed = true;
}

void advance(qint64 msecs)
{
    if (!fixed)
        setFixed(QDateTime::currentDateTime());
    fixedMoment = fixedMoment.addMSecs(msecs);
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

} // namespace td
