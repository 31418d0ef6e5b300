// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/ICalendar.h"

#include "common/Clock.h"
#include "common/Names.h"
#include "work/WorkRules.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QTimeZone>
#include <QUuid>
#include <libical/ical.h>
#include <memory>
#include <optional>

namespace td::ical {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ICalendar", text);
}

struct FreeComponent
{
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, FreeComponent>;

const char* const shortMonthsProperty = "X-TIDRA-SHORT-MONTHS";
constexpr int noMore = ICAL_RECURRENCE_ARRAY_MAX;

QString text(const char* s)
{
    return s ? QString::fromUtf8(s) : QString();
}

QString ownString(char* s)
{
    const QString out = text(s);
    icalmemory_free_buffer(s);
    return out;
}

// ---- export ----------------------------------------------------------------

/// The local zone as libical knows it, with the zone's plain name; UTC when
/// the system runs on UTC or a zone libical cannot name.
icaltimezone* localZone(QByteArray* tzid)
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    icaltimezone* zone = nullptr;
    if (!id.isEmpty() && id != "UTC" && id != "Etc/UTC")
        zone = icaltimezone_get_builtin_timezone(id.constData());
    if (!zone)
        return icaltimezone_get_utc_timezone();
    *tzid = id;
    return zone;
}

icaltimetype wallTime(const QDate& date, const QTime& time)
{
    icaltimetype t = icaltime_null_time();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    t.hour = time.hour();
    t.minute = time.minute();
    t.second = time.second();
    return t;
}

/// The first day from `date` on that is one of the alarm's weekdays: a
/// calendar counts its start as an occurrence even on another weekday.
QDate firstOfDays(const AlarmRecord& r)
{
    for (int i = 0; i < 7; ++i) {
        const QDate d = r.date.addDays(i);
        if (r.days[size_t(weekdayIndex(d.dayOfWeek()))])
            return d;
    }
    return r.date;
}

bool endOfShortMonths(const AlarmRecord& r)
{
    return r.repeatMode == RepeatEvery &&
           ((r.repeatMeasure == Months && r.date.day() > 28) ||
            (r.repeatMeasure == Years && r.date.month() == 2 && r.date.day() == 29));
}

std::optional<icalrecurrencetype> ruleOf(const AlarmRecord& r)
{
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    if (r.repeatMode == RepeatDayOfWeek) {
        rule.freq = ICAL_WEEKLY_RECURRENCE;
        int n = 0;
        for (int i = 0; i < 7; ++i) {
            if (r.days[size_t(i)])
                rule.by_day[n++] = short(ICAL_SUNDAY_WEEKDAY + i);
        }
        rule.by_day[n] = noMore;
        return rule;
    }
    if (r.repeatMode != RepeatEvery)
        return std::nullopt;
    static const icalrecurrencetype_frequency freqs[] = {
        ICAL_MINUTELY_RECURRENCE, ICAL_HOURLY_RECURRENCE,  ICAL_DAILY_RECURRENCE,
        ICAL_WEEKLY_RECURRENCE,   ICAL_MONTHLY_RECURRENCE, ICAL_YEARLY_RECURRENCE};
    rule.freq = freqs[r.repeatMeasure];
    rule.interval = short(r.repeatRange);
    return rule;
}

icalcomponent* eventOf(const AlarmRecord& r, icaltimezone* zone, const QByteArray& tzid,
                       const icaltimetype& stamp)
{
    icalcomponent* event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(r.uid.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    const QDate date = r.repeatMode == RepeatDayOfWeek ? firstOfDays(r) : r.date;
    icaltimetype start = wallTime(date, r.time);
    icalproperty* dtstart = nullptr;
    if (tzid.isEmpty()) {
        // Written in UTC, the moment the local clock shows.
        const qint64 secs = localMoment(date, r.time).toSecsSinceEpoch();
        start = icaltime_from_timet_with_zone(time_t(secs), 0, zone);
        dtstart = icalproperty_new_dtstart(start);
    } else {
        dtstart = icalproperty_new_dtstart(start);
        icalproperty_add_parameter(dtstart, icalparameter_new_tzid(tzid.constData()));
    }
    icalcomponent_add_property(event, dtstart);
    icalcomponent_add_property(event, icalproperty_new_summary(r.name.toUtf8().constData()));
    if (!r.message.isEmpty())
        icalcomponent_add_property(event,
                                   icalproperty_new_description(r.message.toUtf8().constData()));
    if (!r.enabled)
        icalcomponent_add_property(event, icalproperty_new_status(ICAL_STATUS_CANCELLED));
    if (const auto rule = ruleOf(r))
        icalcomponent_add_property(event, icalproperty_new_rrule(*rule));
    if (endOfShortMonths(r)) {
        icalproperty* x = icalproperty_new_x("LAST");
        icalproperty_set_x_name(x, shortMonthsProperty);
        icalcomponent_add_property(event, x);
    }
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype trigger;
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    const QString shown = r.message.isEmpty() ? r.name : r.message;
    icalcomponent_add_property(alarm, icalproperty_new_description(shown.toUtf8().constData()));
    icalcomponent_add_component(event, alarm);
    return event;
}

// ---- import: the file as a whole -------------------------------------------

/// Refuses what must not reach the parser: too large, or nested too deeply.
QString precheck(const QByteArray& text)
{
    if (text.size() > maxFileBytes)
        return tr("The file is larger than %1 MB.").arg(maxFileBytes / (1024 * 1024));
    int depth = 0;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed().toUpper();
        if (line.startsWith("BEGIN:") && ++depth > maxDepth)
            return tr("The file nests its parts more than %1 deep.").arg(maxDepth);
        if (line.startsWith("END:"))
            --depth;
    }
    return {};
}

/// The calendars in what the parser returned (one, or several under a root).
QList<icalcomponent*> calendarsIn(icalcomponent* root)
{
    QList<icalcomponent*> out;
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        out << root;
        return out;
    }
    if (icalcomponent_isa(root) != ICAL_XROOT_COMPONENT)
        return out;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT))
        out << c;
    return out;
}

Component parse(const QByteArray& text, QString* error)
{
    *error = precheck(text);
    if (!error->isEmpty())
        return nullptr;
    icalerror_set_errors_are_fatal(0);
    Component root(icalparser_parse_string(text.constData()));
    if (!root || calendarsIn(root.get()).isEmpty()) {
        *error = tr("The file is no complete iCalendar file.");
        return nullptr;
    }
    return root;
}

QList<icalcomponent*> eventsIn(icalcomponent* root)
{
    QList<icalcomponent*> out;
    for (icalcomponent* cal : calendarsIn(root)) {
        for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT))
            out << e;
    }
    return out;
}

/// A zone the file names but does not describe, or describes with offsets no
/// place has: the whole file is suspect.
QString zoneProblem(icalcomponent* event)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ANY_PROPERTY)) {
        icalparameter* param = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
        if (!param)
            continue;
        const char* tzid = icalparameter_get_tzid(param);
        icaltimezone* zone = icalcomponent_get_timezone(icalcomponent_get_parent(event), tzid);
        if (!zone)
            zone = icaltimezone_get_builtin_timezone_from_tzid(tzid);
        if (!zone)
            zone = icaltimezone_get_builtin_timezone(tzid);
        const QString name = text(tzid);
        if (!zone)
            return tr("The time zone \"%1\" is not described in the file.").arg(name);
        icalcomponent* described = icaltimezone_get_component(zone);
        if (described && !icalcomponent_get_first_component(described, ICAL_XSTANDARD_COMPONENT) &&
            !icalcomponent_get_first_component(described, ICAL_XDAYLIGHT_COMPONENT))
            return tr("The time zone \"%1\" has no offsets.").arg(name);
        icaltimetype probe = icaltime_today();
        int dst = 0;
        const int offset = icaltimezone_get_utc_offset(zone, &probe, &dst);
        if (offset < -18 * 3600 || offset > 18 * 3600)
            return tr("The time zone \"%1\" is %2 hours from UTC.").arg(name).arg(offset / 3600);
    }
    return {};
}

/// The start as a local moment; a floating time is the local clock's.
QDateTime localOf(const icaltimetype& t)
{
    if (icaltime_is_null_time(t) || !icaltime_is_valid_time(t))
        return {};
    const QDate date(t.year, t.month, t.day);
    if (!t.zone && !icaltime_is_utc(t))
        return localMoment(date, QTime(t.hour, t.minute, t.second));
    const icaltimezone* zone = icaltime_is_utc(t) ? icaltimezone_get_utc_timezone() : t.zone;
    auto* z = const_cast<icaltimezone*>(zone);
    const char* location = icaltimezone_get_location(z);
    const QByteArray id = location && *location ? location : icaltimezone_get_tzid(z);
    // An empty id would name the system's zone.
    const QTimeZone known = icaltime_is_utc(t) ? QTimeZone::utc() : QTimeZone(id);
    if (!id.isEmpty() && known.isValid()) {
        const QTime time(t.hour, t.minute, t.second);
        const QDateTime zoned(date, time, known);
        if (zoned.isValid() && zoned.time() == time)
            return zoned.toLocalTime();
        // A time in a gap is read with the offset in force before it (RFC 5545 3.3.5).
        const QDateTime naive(date, time, Qt::UTC);
        const int before = known.offsetFromUtc(naive.addSecs(-6 * 3600));
        return naive.addSecs(-before).toLocalTime();
    }
    const time_t secs = icaltime_as_timet_with_zone(t, zone);
    return QDateTime::fromSecsSinceEpoch(qint64(secs)).toLocalTime();
}

/// Whether the event's zone keeps the local clock over the next two years, so
/// its wall-clock repetitions are the local ones.
bool keepsLocalClock(const icaltimetype& t, const QDateTime& now)
{
    if (!t.zone && !icaltime_is_utc(t))
        return true;
    icaltimezone* zone =
        icaltime_is_utc(t) ? icaltimezone_get_utc_timezone() : const_cast<icaltimezone*>(t.zone);
    const QTimeZone local = QTimeZone::systemTimeZone();
    for (int half = 0; half < 48; ++half) {
        const QDateTime probe = now.addDays(15 * half);
        icaltimetype utc =
            icaltime_from_timet_with_zone(time_t(probe.toSecsSinceEpoch()), 0, nullptr);
        int dst = 0;
        if (icaltimezone_get_utc_offset_of_utc_time(zone, &utc, &dst) != local.offsetFromUtc(probe))
            return false;
    }
    return true;
}

bool listed(const short* list)
{
    return list[0] != noMore;
}

/// A single value equal to `value`, or none: what merely restates DTSTART.
bool onlyRestates(const short* list, int value)
{
    return !listed(list) || (list[0] == value && list[1] == noMore);
}

struct Mapped
{
    AlarmRecord record;
    QString reason;       ///< set when it cannot be held exactly
    bool reminds = false; ///< the event has a reminder of its own
};

/// The repetition of `rule` as Tidra holds it, from the start `t`.
QString mapRule(const icalrecurrencetype& rule, const icaltimetype& t, bool shortMonths,
                AlarmRecord& r)
{
    if (rule.count > 0)
        return tr("ends after %1 times").arg(rule.count);
    if (!icaltime_is_null_time(rule.until))
        return tr("ends on a date");
    if (listed(rule.by_second) || listed(rule.by_minute) || listed(rule.by_hour))
        return tr("repeats at several times of a day");
    if (listed(rule.by_year_day) || listed(rule.by_week_no) || listed(rule.by_set_pos))
        return tr("repeats on chosen days or weeks of the year");
    if (!onlyRestates(rule.by_month_day, t.day))
        return tr("repeats on a list of days of the month");
    if (!onlyRestates(rule.by_month, t.month))
        return tr("repeats in chosen months");
    const QDate date(t.year, t.month, t.day);
    const int weekday = icaltime_day_of_week(t); // 1 = Sunday
    // Weekly on its own weekday alone is also "every week": Tidra's weekdays keep BYDAY.
    if (listed(rule.by_day) && (rule.interval <= 1 || !onlyRestates(rule.by_day, weekday))) {
        if (rule.freq != ICAL_WEEKLY_RECURRENCE || rule.interval > 1)
            return tr("repeats on weekdays every few weeks or months");
        r.repeatMode = RepeatDayOfWeek;
        for (int i = 0; i < 7 && rule.by_day[i] != noMore; ++i) {
            if (icalrecurrencetype_day_position(rule.by_day[i]) != 0)
                return tr("repeats on the first, second... weekday");
            const int day = int(icalrecurrencetype_day_day_of_week(rule.by_day[i]));
            r.days[size_t(day - 1)] = true;
        }
        if (!r.days[size_t(weekday - 1)])
            return tr("begins on a day that is not one of its weekdays");
        return {};
    }
    switch (rule.freq) {
    case ICAL_MINUTELY_RECURRENCE:
        r.repeatMeasure = Minutes;
        break;
    case ICAL_HOURLY_RECURRENCE:
        r.repeatMeasure = Hours;
        break;
    case ICAL_DAILY_RECURRENCE:
        r.repeatMeasure = Days;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        r.repeatMeasure = Weeks;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        r.repeatMeasure = Months;
        break;
    case ICAL_YEARLY_RECURRENCE:
        r.repeatMeasure = Years;
        break;
    default:
        return tr("repeats every few seconds");
    }
    r.repeatMode = RepeatEvery;
    r.repeatRange = std::max<int>(1, rule.interval);
    r.date = date;
    if (endOfShortMonths(r) && !shortMonths)
        return tr("falls on a day some months do not have; Tidra would ring at their end");
    return {};
}

int countOf(icalcomponent* c, icalproperty_kind kind)
{
    return icalcomponent_count_properties(c, kind);
}

/// The event's reminder as seconds from its start; a reason when Tidra cannot ring there.
QString reminderOffset(icalcomponent* event, bool repeats, const QDateTime& start, qint64* offset,
                       QDateTime* absolute)
{
    *offset = 0;
    const int alarms = icalcomponent_count_components(event, ICAL_VALARM_COMPONENT);
    if (alarms == 0)
        return {};
    if (alarms > 1)
        return tr("has %1 reminders; an alarm rings once").arg(alarms);
    icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
    icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!p)
        return {};
    if (icalparameter* rel = icalproperty_get_first_parameter(p, ICAL_RELATED_PARAMETER)) {
        if (icalparameter_get_related(rel) == ICAL_RELATED_END)
            return tr("reminds before the event's end");
    }
    const icaltriggertype trigger = icalproperty_get_trigger(p);
    if (!icaltime_is_null_time(trigger.time)) {
        if (repeats)
            return tr("reminds at one fixed moment of a repeating event");
        *absolute = localOf(trigger.time);
        *offset = start.secsTo(*absolute);
        return {};
    }
    *offset = icaldurationtype_as_int(trigger.duration);
    return {};
}

Mapped mapEvent(icalcomponent* event, const QDateTime& now)
{
    Mapped m;
    AlarmRecord& r = m.record;
    r.name = text(icalcomponent_get_summary(event));
    r.message = text(icalcomponent_get_description(event));
    r.enabled = icalcomponent_get_status(event) != ICAL_STATUS_CANCELLED;
    const icaltimetype t = icalcomponent_get_dtstart(event);
    if (icaltime_is_null_time(t)) {
        m.reason = tr("has no start");
        return m;
    }
    if (t.is_date) {
        m.reason = tr("lasts all day: there is no time to ring at");
        return m;
    }
    if (countOf(event, ICAL_EXDATE_PROPERTY) || countOf(event, ICAL_RDATE_PROPERTY) ||
        countOf(event, ICAL_EXRULE_PROPERTY)) {
        m.reason = tr("leaves out or adds single dates");
        return m;
    }
    const int rules = countOf(event, ICAL_RRULE_PROPERTY);
    if (rules > 1) {
        m.reason = tr("follows %1 repeat rules at once").arg(rules);
        return m;
    }
    const QDateTime start = localOf(t);
    if (!start.isValid()) {
        m.reason = tr("starts at a moment that does not exist");
        return m;
    }
    qint64 offset = 0;
    QDateTime absolute;
    m.reminds = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT) != nullptr;
    m.reason = reminderOffset(event, rules == 1, start, &offset, &absolute);
    if (!m.reason.isEmpty())
        return m;
    if (rules == 0) {
        const QDateTime ring = absolute.isValid() ? absolute : start.addSecs(offset);
        r.date = ring.date();
        r.time = ring.time();
        if (ring <= now)
            m.reason = tr("is already over");
        return m;
    }
    icalproperty* rp = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    const bool shortMonths = [&] {
        for (icalproperty* x = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); x;
             x = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
            if (qstrcmp(icalproperty_get_x_name(x), shortMonthsProperty) == 0)
                return true;
        }
        return false;
    }();
    const icalrecurrencetype rule = icalproperty_get_rrule(rp);
    m.reason = mapRule(rule, t, shortMonths, r);
    if (!m.reason.isEmpty())
        return m;
    if ((r.repeatMode == RepeatDayOfWeek || r.repeatMeasure >= Days) && !keepsLocalClock(t, now)) {
        m.reason = tr("repeats in a time zone whose clocks differ from the local ones");
        return m;
    }
    // The reminder moves the wall-clock time (in UTC, which has no gaps); a move
    // onto another day of a monthly or yearly event would no longer follow the month.
    const QDateTime wall =
        keepsLocalClock(t, now)
            ? QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), Qt::UTC)
            : QDateTime(start.date(), start.time(), Qt::UTC);
    const QDateTime shifted = wall.addSecs(offset);
    const qint64 dayShift = wall.date().daysTo(shifted.date());
    if (dayShift != 0 && r.repeatMode == RepeatEvery && r.repeatMeasure >= Months) {
        m.reason = tr("reminds on another day than a monthly or yearly event");
        return m;
    }
    if (r.repeatMode == RepeatDayOfWeek && dayShift != 0) {
        std::array<bool, 7> days{};
        for (int i = 0; i < 7; ++i)
            days[size_t(((i + dayShift) % 7 + 7) % 7)] = r.days[size_t(i)];
        r.days = days;
    }
    r.date = shifted.date();
    r.time = shifted.time();
    if (alarmMoment(r) <= now) {
        // A start in the past would ring at once as missed: begin at the next one.
        AlarmRecord on = r;
        on.enabled = true;
        moveToOccurrence(r, nextAlarmTime(on, now), now);
        r.enabled = m.record.enabled;
    }
    return m;
}

/// A uid for an event without one, the same each time the file is read.
QString uidOf(icalcomponent* event)
{
    const QString uid = text(icalcomponent_get_uid(event));
    if (!uid.isEmpty())
        return uid;
    const QByteArray body = text(icalcomponent_as_ical_string(event)).toUtf8();
    return QString::fromLatin1(
        QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex().left(32));
}

QString summaryOf(icalcomponent* event)
{
    const QString s = text(icalcomponent_get_summary(event));
    return s.isEmpty() ? tr("(no title)") : s;
}

} // namespace

Export exportAlarms(const QList<AlarmRecord>& alarms, const QDateTime& now)
{
    Export out;
    QByteArray tzid;
    icaltimezone* zone = localZone(&tzid);
    Component cal(icalcomponent_new_vcalendar());
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Morvane//Tidra//EN"));
    if (!tzid.isEmpty()) {
        icalcomponent* vtz = icalcomponent_new_clone(icaltimezone_get_component(zone));
        icalproperty* id = icalcomponent_get_first_property(vtz, ICAL_TZID_PROPERTY);
        icalproperty_set_tzid(id, tzid.constData());
        icalcomponent_add_component(cal.get(), vtz);
    }
    const icaltimetype stamp = icaltime_from_timet_with_zone(time_t(now.toSecsSinceEpoch()), 0,
                                                             icaltimezone_get_utc_timezone());
    for (AlarmRecord r : alarms) {
        if (!isSound(r) || (r.repeatMode == RepeatDayOfWeek &&
                            std::none_of(r.days.begin(), r.days.end(), [](bool d) { return d; }))) {
            out.leftOut << LeftOut{r.name, tr("can never ring")};
            continue;
        }
        if (r.repeatMode == RepeatEvery && r.repeatRange > 32767) {
            out.leftOut << LeftOut{r.name, tr("repeats at steps too large for a calendar")};
            continue;
        }
        if (r.uid.isEmpty())
            r.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        icalcomponent_add_component(cal.get(), eventOf(r, zone, tzid, stamp));
    }
    out.text = ownString(icalcomponent_as_ical_string_r(cal.get())).toUtf8();
    return out;
}

AlarmImport importAlarms(const QByteArray& text, const QDateTime& now,
                         const QSet<QString>& knownUids, bool remindersOnly)
{
    AlarmImport out;
    const Component root = parse(text, &out.error);
    if (!root)
        return out;
    const QList<icalcomponent*> events = eventsIn(root.get());
    QSet<QString> changedOnce;
    for (icalcomponent* e : events) {
        out.error = zoneProblem(e);
        if (!out.error.isEmpty())
            return out;
        if (icalcomponent_get_first_property(e, ICAL_RECURRENCEID_PROPERTY))
            changedOnce << uidOf(e);
    }
    QSet<QString> seen = knownUids;
    for (icalcomponent* e : events) {
        const QString uid = uidOf(e);
        if (icalcomponent_get_first_property(e, ICAL_RECURRENCEID_PROPERTY))
            continue; // told with its series below
        if (seen.contains(uid)) {
            ++out.known;
            continue;
        }
        seen << uid;
        if (changedOnce.contains(uid)) {
            out.leftOut << LeftOut{summaryOf(e), tr("has occurrences moved one by one")};
            continue;
        }
        Mapped m = mapEvent(e, now);
        if (m.reason.isEmpty() && remindersOnly && !m.reminds)
            m.reason = tr("has no reminder");
        if (!m.reason.isEmpty()) {
            out.leftOut << LeftOut{summaryOf(e), m.reason};
            continue;
        }
        m.record.uid = uid;
        out.alarms << m.record;
    }
    return out;
}

HolidayImport importHolidays(const QByteArray& text, const QString& calendar, const QDate& today)
{
    HolidayImport out;
    const Component root = parse(text, &out.error);
    if (!root)
        return out;
    const QList<icalcomponent*> events = eventsIn(root.get());
    for (icalcomponent* e : events) {
        out.error = zoneProblem(e);
        if (!out.error.isEmpty())
            return out;
    }
    for (icalcomponent* e : events) {
        const QString name = summaryOf(e);
        const icaltimetype t = icalcomponent_get_dtstart(e);
        if (icaltime_is_null_time(t) || !t.is_date || !icaltime_is_valid_time(t)) {
            out.leftOut << LeftOut{name, tr("is not a whole day")};
            continue;
        }
        const QDate start(t.year, t.month, t.day);
        QDate end = start;
        const icaltimetype e2 = icalcomponent_get_dtend(e); // DURATION is turned into DTEND
        if (!icaltime_is_null_time(e2) && e2.is_date)
            end = std::max(start, QDate(e2.year, e2.month, e2.day).addDays(-1));
        if (countOf(e, ICAL_EXDATE_PROPERTY) || countOf(e, ICAL_RDATE_PROPERTY) ||
            countOf(e, ICAL_RRULE_PROPERTY) > 1) {
            out.leftOut << LeftOut{name, tr("leaves out or adds single dates")};
            continue;
        }
        bool yearly = false;
        if (icalproperty* rp = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype rule = icalproperty_get_rrule(rp);
            yearly = rule.freq == ICAL_YEARLY_RECURRENCE && rule.interval <= 1 && rule.count == 0 &&
                     icaltime_is_null_time(rule.until) && !listed(rule.by_day) &&
                     onlyRestates(rule.by_month, t.month) &&
                     onlyRestates(rule.by_month_day, t.day) && !listed(rule.by_year_day) &&
                     !listed(rule.by_set_pos) && !listed(rule.by_week_no);
            if (!yearly) {
                out.leftOut << LeftOut{name, tr("repeats other than once a year on its date")};
                continue;
            }
        }
        if (!yearly && end < today) {
            out.leftOut << LeftOut{name, tr("is already over")};
            continue;
        }
        const int type = yearly || start == end ? TypeHoliday : TypeVacation;
        HolidayRecord h(name, type, start, end, yearly, calendar);
        // A yearly day is kept at its next date, as the user's holidays are.
        work::moveHolidayForward(h, today.addDays(-1));
        out.holidays << h;
    }
    return out;
}

QList<QDateTime> occurrencesAfter(const QByteArray& text, const QString& uid, const QDateTime& now,
                                  int count)
{
    QList<QDateTime> out;
    QString error;
    const Component root = parse(text, &error);
    if (!root)
        return out;
    for (icalcomponent* e : eventsIn(root.get())) {
        if (uidOf(e) != uid)
            continue;
        const icaltimetype start = icalcomponent_get_dtstart(e);
        icalproperty* rp = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY);
        if (!rp) {
            const QDateTime once = localOf(start);
            if (once > now)
                out << once;
            return out;
        }
        // Expanded on the wall clock: libical's zoned expansion keeps the hour a
        // gap moved an occurrence to for the occurrences after it.
        icaltimetype wallStart = start;
        wallStart.zone = nullptr;
        icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rp), wallStart);
        for (int guard = 0; it && guard < 2000000 && out.size() < count; ++guard) {
            icaltimetype next = icalrecur_iterator_next(it);
            if (icaltime_is_null_time(next))
                break;
            next.zone = start.zone;
            const QDateTime moment = localOf(next);
            if (moment > now)
                out << moment;
        }
        icalrecur_iterator_free(it);
        return out;
    }
    return out;
}

} // namespace td::ical
