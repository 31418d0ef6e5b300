// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/EventFiles.h"

#include "timers/TimerMath.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <QTimeZone>
#include <algorithm>
#include <iterator>

namespace td::events {

namespace {

const QString alarmMarker = QStringLiteral("Alarm");
const QString alarmEndMarker = QStringLiteral("Alarm end");
/// "Reminder <moment, UTC> <popup|notification> <delay in seconds>"
const QString reminderMarker = QStringLiteral("Reminder ");
const QString showNames[] = {QStringLiteral("popup"), QStringLiteral("notification")};
// More lines an alarm's end line may be followed by, each once, in any order:
/// "Sound <file>", "Uid <text>", "Calendar <name>": the text with %, CR and LF as
/// %25, %0D, %0A.
const QString soundMarker = QStringLiteral("Sound ");
const QString uidMarker = QStringLiteral("Uid ");
const QString calendarMarker = QStringLiteral("Calendar ");
/// "Command <JSON array of the program and its arguments>"
const QString commandMarker = QStringLiteral("Command ");
const QString timerMarker = QStringLiteral("Timer");
/// Lines of numbers between an alarm's name and its message.
constexpr int alarmNumberLines = 16;
const QString timerEndMarker = QStringLiteral("Timer end");

// Windows-1252 where it differs from Latin-1; the five unassigned bytes map to
// the C1 controls of the same value, as Windows itself decodes them.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

/// Cuts to at most n characters without leaving half a surrogate pair behind.
QString cutAt(QString s, qsizetype n)
{
    if (s.size() <= n)
        return s;
    if (n > 0 && s.at(n - 1).isHighSurrogate())
        --n;
    s.truncate(n);
    return s;
}

/// Names lose blanks at both ends; a stray byte-order mark counts as one.
QString trimName(const QString& s)
{
    qsizetype b = 0, e = s.size();
    auto blank = [](QChar c) { return c.isSpace() || c == QChar(0xFEFF); };
    while (b < e && blank(s.at(b)))
        ++b;
    while (e > b && blank(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}

/// Hands out whole lines; past the end every line is empty. Notes whether
/// anything of the file was left out to keep within the limits.
class LineReader
{
public:
    explicit LineReader(QIODevice& in, bool* cut)
        : m_text(decodeText(readCapped(in, &m_cut))), m_report(cut)
    {
    }
    ~LineReader()
    {
        if (m_report)
            *m_report = m_cut;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    /// Only blank lines (or none) are left.
    bool onlyBlankLeft() const
    {
        for (qsizetype i = m_pos; i < m_text.size(); ++i)
            if (!m_text.at(i).isSpace())
                return false;
        return true;
    }
    /// Whether a list of `count` entries is at its limit; what is left then
    /// counts as left out.
    bool full(qsizetype count, qsizetype limit)
    {
        if (count < limit)
            return false;
        m_cut = m_cut || !onlyBlankLeft();
        return true;
    }
    void leftOut() { m_cut = true; }
    qsizetype pos() const { return m_pos; }
    void seek(qsizetype pos) { m_pos = pos; }

    /// The next line without its line end, cut after `limit` characters.
    QString line(qsizetype limit = maxLineChars)
    {
        if (atEnd())
            return QString();
        qsizetype end = m_text.indexOf(u'\n', m_pos);
        if (end < 0)
            end = m_text.size();
        qsizetype len = end - m_pos;
        if (len > 0 && m_text.at(m_pos + len - 1) == u'\r')
            --len;
        m_cut = m_cut || len > limit;
        QString out = cutAt(m_text.mid(m_pos, qMin<qsizetype>(len, limit + 1)), limit);
        m_pos = end + 1;
        return out;
    }
    QString name() { return trimName(line()); }
    /// Whether the lines from here on read like the fields of an alarm block
    /// (a name, then numbers or empty lines): the block after a lost "Alarm end".
    bool blockFieldsFollow()
    {
        const qsizetype start = m_pos;
        const bool cut = m_cut;
        line();
        bool fields = true;
        for (int i = 0; i < alarmNumberLines && fields; ++i) {
            if (atEnd())
                fields = false;
            const QString l = line().trimmed();
            bool ok = l.isEmpty();
            if (!ok)
                l.toInt(&ok);
            fields = fields && ok;
        }
        m_pos = start;
        m_cut = cut;
        return fields;
    }
    // One overload per kind of value, as LineWriter has: the field lists
    // below serve reading and writing alike.
    void field(QString& s) { s = name(); }
    void field(int& n) { n = line().trimmed().toInt(); }
    void field(bool& b) { b = line().trimmed().toInt() == 1; }
    void field(QDate& d)
    {
        int y, day, m;
        field(y);
        field(day);
        field(m);
        d = QDate::isValid(y, m, day) ? QDate(y, m, day) : QDate();
    }
    void field(QTime& t)
    {
        int h, m;
        field(h);
        field(m);
        t = QTime::isValid(h, m, 0) ? QTime(h, m) : QTime();
    }
    /// A moment in local time; unset unless both its date and time are set.
    void field(QDateTime& moment)
    {
        QDate d;
        QTime t;
        field(d);
        field(t);
        moment = d.isValid() && t.isValid() ? QDateTime(d, t) : QDateTime();
    }
    void field(QPoint& p)
    {
        field(p.rx());
        field(p.ry());
    }

private:
    bool m_cut = false;
    QString m_text;
    qsizetype m_pos = 0;
    bool* m_report;
};

/// Builds a file: one value per line, each line ended by a line feed.
class LineWriter
{
public:
    void line(const QString& s)
    {
        m_out += s.toUtf8();
        // The reader takes one carriage return before the line feed as part of
        // the line end; a value that ends in one gets one more to survive.
        if (s.endsWith(u'\r'))
            m_out += '\r';
        m_out += '\n';
    }
    /// A single-line field: a line break inside would shift every later field.
    void field(QString s)
    {
        s.replace(u'\n', u' ');
        line(s);
    }
    void field(int n) { m_out += QByteArray::number(n) + '\n'; }
    void field(bool b) { m_out += b ? "1\n" : "0\n"; }
    /// One line per part; an unset value gives blank lines (its toString is
    /// empty), which read back as unset.
    template <typename T> void parts(const T& value, std::initializer_list<QStringView> formats)
    {
        for (const QStringView f : formats)
            line(value.toString(f));
    }
    void field(const QDate& d) { parts(d, {u"yyyy", u"dd", u"MM"}); }
    void field(const QTime& t) { parts(t, {u"hh", u"mm"}); }
    void field(const QDateTime& moment)
    {
        const QDateTime local = moment.isValid() ? moment.toLocalTime() : QDateTime();
        field(local.date());
        field(local.time());
    }
    void field(const QPoint& p)
    {
        field(p.x());
        field(p.y());
    }
    QByteArray bytes() const { return m_out; }

private:
    QByteArray m_out;
};

// Message lines "Alarm end" and "Alarm" would end the block or look like the
// next one: they are written with a backslash before them, and so is every
// line that already looks escaped, so reading takes exactly one off again.
bool looksEscaped(const QString& line)
{
    qsizetype i = 0;
    while (i < line.size() && line.at(i) == u'\\')
        ++i;
    const QStringView rest = QStringView(line).mid(i);
    return rest == alarmEndMarker || rest == alarmMarker;
}

QString escapeMessageLine(const QString& line)
{
    return looksEscaped(line) ? u'\\' + line : line;
}

QString unescapeMessageLine(QString line)
{
    if (line.startsWith(u'\\') && looksEscaped(line))
        line.remove(0, 1);
    return line;
}

// The fields of each kind of entry in file order, for a LineReader with
// records to fill or a LineWriter with records to write.
template <typename Io, typename Alarm> void alarmFields(Io& io, Alarm& a)
{
    io.field(a.name);
    io.field(a.enabled);
    io.field(a.date);
    io.field(a.time);
    io.field(a.repeatRange);
    io.field(a.repeatMode);
    for (auto& day : a.days)
        io.field(day);
    io.field(a.repeatMeasure);
}

template <typename Io, typename Entry> void timerFields(Io& io, Entry& e)
{
    auto& t = e.record;
    io.field(t.name);
    io.field(t.type);
    io.field(t.dateTime);
    io.field(t.continueExpired);
    io.field(t.format);
    for (auto unit : unitFlags)
        io.field(t.*unit);
    io.field(e.visible);
    io.field(e.centre);
}

QString encodeLineText(QString text)
{
    return text.replace(u'%', QStringLiteral("%25"))
        .replace(u'\r', QStringLiteral("%0D"))
        .replace(u'\n', QStringLiteral("%0A"));
}

QString decodeLineText(const QString& text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
}

// What a timer block holds beyond the fields older versions read: seconds and
// milliseconds of the moment, the state, the pause ("-" or a UTC moment), the
// "count for" span in seconds, the lap times in milliseconds ("-" or a
// comma-separated list), the timer's own sound ("-" or "Sound <text>" as in
// the alarms file).
constexpr int timerMoreLines = 7;

void writeTimerMore(LineWriter& w, const TimerEntry& e)
{
    const QTime t = e.record.dateTime.isValid() ? e.record.dateTime.toLocalTime().time() : QTime();
    w.field(t.isValid() ? t.second() : 0);
    w.field(t.isValid() ? t.msec() : 0);
    w.field(int(e.state));
    w.line(e.paused() ? e.pausedAt.toUTC().toString(Qt::ISODateWithMs) : QStringLiteral("-"));
    w.line(QString::number(e.record.spanSecs));
    QStringList laps;
    for (const qint64 lap : e.laps)
        laps << QString::number(lap);
    w.line(laps.isEmpty() ? QStringLiteral("-") : laps.join(u','));
    w.line(e.record.sound.isEmpty() ? QStringLiteral("-")
                                    : soundMarker + encodeLineText(e.record.sound));
}

void readTimerMore(const QStringList& more, TimerEntry& e)
{
    const auto number = [&more](int i, int max) {
        bool ok = false;
        const int n = more.value(i).trimmed().toInt(&ok);
        return ok && n >= 0 && n <= max ? n : -1;
    };
    QDateTime& moment = e.record.dateTime;
    const int secs = number(0, 59);
    const int msecs = number(1, 999);
    if (moment.isValid() && secs > 0)
        moment = moment.addSecs(secs);
    if (moment.isValid() && msecs > 0)
        moment = moment.addMSecs(msecs);
    const int state = number(2, int(TimerState::CountingUp));
    e.state = state >= 0                       ? TimerState(state)
              : e.record.type == TypeStopwatch ? TimerState::CountingUp
                                               : TimerState::CountingDown;
    const QDateTime paused = QDateTime::fromString(more.value(3).trimmed(), Qt::ISODateWithMs);
    if (paused.isValid() && e.state != TimerState::Finished)
        e.pausedAt = paused.toLocalTime();
    bool ok = false;
    const qint64 span = more.value(4).trimmed().toLongLong(&ok);
    if (ok && span > 0 && span <= timermath::maxSpanSecs && e.record.type == TypeTimer)
        e.record.spanSecs = span;
    const QStringList laps = more.value(5).trimmed().split(u',', Qt::SkipEmptyParts);
    for (const QString& lap : laps) {
        const qint64 ms = lap.toLongLong(&ok);
        // A damaged list keeps the laps before the damage.
        if (!ok || ms < 0 || e.laps.size() >= TimerModel::maxLaps)
            break;
        e.laps << ms;
    }
    const QString sound = more.value(6);
    if (sound.startsWith(soundMarker))
        e.record.sound = decodeLineText(sound.mid(soundMarker.size()));
}

template <typename Io, typename Holiday> void holidayFields(Io& io, Holiday& h)
{
    io.field(h.name);
    io.field(h.type);
    io.field(h.startDate);
    io.field(h.endDate);
}

/// A reminder line's value; none pending when it does not read as one.
Reminder readReminder(const QString& value)
{
    Reminder reminder;
    const QStringList f = value.split(u' ');
    const QDateTime at = QDateTime::fromString(f.value(0), Qt::ISODateWithMs);
    const qsizetype show =
        std::find(std::begin(showNames), std::end(showNames), f.value(1)) - std::begin(showNames);
    bool delayOk = false;
    const qint64 delay = f.value(2).toLongLong(&delayOk);
    if (!at.isValid() || show >= 2 || !delayOk || delay < 0)
        return reminder;
    reminder.atMsecs = at.toMSecsSinceEpoch();
    reminder.show = RingShow(show);
    reminder.delaySecs = delay;
    return reminder;
}

/// A command line's value; nothing when it is not an array of texts.
QStringList readCommand(const QString& value)
{
    const QJsonDocument doc = QJsonDocument::fromJson(value.toUtf8());
    QStringList out;
    for (const QJsonValue& v : doc.array()) {
        if (!v.isString())
            return {};
        out << v.toString();
    }
    return out;
}

/// The lines after an alarm's end line that belong to it; stops at the first
/// other line, which older readers skip as junk between blocks.
void readAlarmExtras(LineReader& r, AlarmRecord& a, Reminder& reminder)
{
    const QString* const markers[] = {&reminderMarker, &soundMarker, &commandMarker, &uidMarker,
                                      &calendarMarker};
    constexpr int kinds = int(sizeof markers / sizeof *markers);
    bool seen[kinds] = {};
    for (;;) {
        const qsizetype start = r.pos();
        const QString line = r.line();
        int kind = 0;
        while (kind < kinds && !line.startsWith(*markers[kind]))
            ++kind;
        if (kind == kinds || seen[kind]) {
            r.seek(start);
            return;
        }
        seen[kind] = true;
        const QString value = line.mid(markers[kind]->size());
        switch (kind) {
        case 0:
            reminder = readReminder(value);
            break;
        case 1:
            a.sound = decodeLineText(value);
            break;
        case 2:
            a.command = readCommand(value);
            break;
        case 3:
            a.uid = decodeLineText(value);
            break;
        default:
            a.calendar = decodeLineText(value);
            break;
        }
    }
}

} // namespace

QString decodeText(const QByteArray& bytes)
{
    // Stateless: a sequence cut off by the end of the bytes is an error too.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // One stray byte must not turn every other line into mojibake: each line
    // that is valid UTF-8 is read as such, only the others as Windows-1252.
    // A line feed is never part of a UTF-8 sequence, so lines split cleanly.
    text.clear();
    text.reserve(bytes.size());
    qsizetype begin = 0;
    while (begin <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', begin);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line(bytes.constData() + begin, end - begin);
        utf8.resetState();
        const QString decoded = utf8.decode(line);
        if (!utf8.hasError()) {
            text += decoded;
        } else {
            for (const char c : line) {
                const auto b = static_cast<unsigned char>(c);
                text += (b >= 0x80 && b < 0xA0) ? QChar(cp1252High[b - 0x80]) : QChar(b);
            }
        }
        if (end < bytes.size())
            text += u'\n';
        begin = end + 1;
    }
    return text;
}

QByteArray readCapped(QIODevice& in, bool* cut)
{
    QByteArray bytes;
    char chunk[64 * 1024];
    while (bytes.size() < maxFileBytes) {
        const qint64 n = in.read(chunk, qMin<qint64>(sizeof chunk, maxFileBytes - bytes.size()));
        if (n <= 0)
            break;
        bytes.append(chunk, n);
    }
    char next;
    if (bytes.size() >= maxFileBytes && in.peek(&next, 1) == 1) {
        // More than we read: keep only whole lines, so a cut character can
        // neither spoil the encoding check nor end a value half-way.
        bytes.truncate(bytes.lastIndexOf('\n') + 1);
        if (cut)
            *cut = true;
    }
    return bytes;
}

QList<AlarmEntry> readAlarms(QIODevice& in, bool* cut)
{
    LineReader r(in, cut);
    QList<AlarmEntry> out;
    // Where a scan for "Alarm end" already reached the end of the file in vain:
    // a later block cannot find one either, so hostile files stay linear.
    qsizetype noEndFrom = -1;
    while (!r.atEnd() && !r.full(out.size(), maxAlarms)) {
        if (r.line() != alarmMarker)
            continue;
        AlarmRecord a;
        alarmFields(r, a);
        const qsizetype messageStart = r.pos();
        QStringList lines;
        qsizetype chars = 0;
        bool ended = false;
        while (!r.atEnd() && (noEndFrom < 0 || r.pos() < noEndFrom)) {
            const qsizetype lineStart = r.pos();
            QString l = r.line(maxMessageChars);
            if (l == alarmEndMarker) {
                ended = true;
                break;
            }
            if (l == alarmMarker && r.blockFieldsFollow()) {
                // The next block begins: only this block's end line was lost.
                r.seek(lineStart);
                ended = true;
                break;
            }
            if (chars < maxMessageChars) {
                chars += l.size() + 1;
                lines << unescapeMessageLine(std::move(l));
            } else {
                r.leftOut();
            }
        }
        if (chars > maxMessageChars + 1)
            r.leftOut();
        Reminder reminder;
        if (ended) {
            a.message = cutAt(lines.join(u'\n'), maxMessageChars);
            readAlarmExtras(r, a, reminder);
        } else {
            // Cut off by the end of the file: no half-read message, and the
            // lines taken for it may hold the blocks of later alarms.
            noEndFrom = messageStart;
            r.seek(messageStart);
        }
        out << AlarmEntry(a, reminder);
    }
    return out;
}

QList<TimerEntry> readTimers(QIODevice& in, bool* cut)
{
    LineReader r(in, cut);
    QList<TimerEntry> out;
    while (!r.atEnd() && !r.full(out.size(), maxTimers)) {
        if (r.line() != timerMarker)
            continue;
        TimerEntry e;
        timerFields(r, e);
        QStringList more;
        while (!r.atEnd()) {
            QString l = r.line();
            if (l == timerEndMarker)
                break;
            if (more.size() < timerMoreLines)
                more << std::move(l);
        }
        readTimerMore(more, e);
        out << e;
    }
    return out;
}

WorkCentres readWorkTimers(QIODevice& in)
{
    LineReader r(in, nullptr);
    WorkCentres out;
    for (QPoint& p : out)
        r.field(p);
    return out;
}

QList<HolidayRecord> readWorkSchedule(QIODevice& in, bool* cut)
{
    LineReader r(in, cut);
    QList<HolidayRecord> out;
    // Every entry has its type on a line of its own, so blank lines that end
    // the file (an editor's habit) are no entry.
    while (!r.onlyBlankLeft() && !r.full(out.size(), maxHolidays)) {
        HolidayRecord h;
        holidayFields(r, h);
        out << h;
    }
    return out;
}

QByteArray formatAlarms(const QList<AlarmEntry>& alarms)
{
    LineWriter w;
    for (const AlarmEntry& entry : alarms) {
        const AlarmRecord& a = entry.record;
        w.line(alarmMarker);
        alarmFields(w, a);
        // An empty message has no lines; any other is its lines, whole.
        if (!a.message.isEmpty()) {
            for (const QString& l : a.message.split(u'\n'))
                w.line(escapeMessageLine(l));
        }
        w.line(alarmEndMarker);
        const Reminder& reminder = entry.reminder;
        if (reminder.pending())
            w.line(reminderMarker +
                   QDateTime::fromMSecsSinceEpoch(reminder.atMsecs, Qt::UTC)
                       .toString(Qt::ISODateWithMs) +
                   u' ' + showNames[int(reminder.show)] + u' ' +
                   QString::number(reminder.delaySecs));
        if (!a.sound.isEmpty())
            w.line(soundMarker + encodeLineText(a.sound));
        if (!a.command.isEmpty())
            w.line(commandMarker +
                   QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(a.command))
                                         .toJson(QJsonDocument::Compact)));
        if (!a.uid.isEmpty())
            w.line(uidMarker + encodeLineText(a.uid));
        if (!a.calendar.isEmpty())
            w.line(calendarMarker + encodeLineText(a.calendar));
    }
    return w.bytes();
}

QByteArray formatTimers(const QList<TimerEntry>& timers)
{
    LineWriter w;
    for (const TimerEntry& e : timers) {
        w.line(timerMarker);
        timerFields(w, e);
        writeTimerMore(w, e);
        w.line(timerEndMarker);
    }
    return w.bytes();
}

QByteArray formatWorkTimers(const WorkCentres& centres)
{
    LineWriter w;
    for (const QPoint& p : centres)
        w.field(p);
    return w.bytes();
}

QByteArray formatWorkSchedule(const QList<HolidayRecord>& holidays)
{
    LineWriter w;
    for (const HolidayRecord& h : holidays) {
        holidayFields(w, h);
    }
    return w.bytes();
}

} // namespace td::events
