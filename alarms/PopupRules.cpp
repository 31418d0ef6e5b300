// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/PopupRules.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace td {

QPoint stackPopup(const QRect& desktop, const QSize& size, const QPoint& start,
                  const QList<QRect>& shown)
{
    const int right = desktop.x() + desktop.width() - size.width();
    const int bottom = desktop.y() + desktop.height() - size.height();
    const auto onDesktop = [&](const QPoint& p) {
        return QPoint(qBound(desktop.x(), p.x(), qMax(desktop.x(), right)),
                      qBound(desktop.y(), p.y(), qMax(desktop.y(), bottom)));
    };
    const auto covers = [&](const QPoint& p) {
        for (const QRect& other : shown)
            if (QRect(p, size).intersects(other))
                return true;
        return false;
    };
    QPoint p = onDesktop(start);
    const int firstColumn = p.x();
    // The pass goes through the others in order; a move can land the pop-up
    // on one met earlier, so it is repeated until nothing moves it. Every
    // move goes up or a column to the left, so this ends.
    bool columnsLeft = true;
    for (int round = 0; round <= shown.size() && columnsLeft && covers(p); ++round) {
        for (const QRect& other : shown) {
            if (!QRect(p, size).intersects(other))
                continue;
            p.setY(other.y() - size.height());
            if (p.y() < desktop.y()) {
                p = QPoint(p.x() - size.width(), bottom);
                if (p.x() < desktop.x()) {
                    columnsLeft = false;
                    break;
                }
            }
        }
    }
    if (columnsLeft && !covers(p))
        return p;
    // Pop-ups of other sizes leave gaps the columns miss: take the rightmost,
    // then lowest, place beside or above another one, or against the edges.
    QList<int> xs{firstColumn, right}, ys{bottom};
    for (const QRect& other : shown) {
        xs << other.x() << other.x() - size.width() << other.x() + other.width() - size.width();
        ys << other.y() - size.height() << other.y() + other.height() - size.height();
    }
    std::sort(xs.begin(), xs.end(), std::greater<int>());
    std::sort(ys.begin(), ys.end(), std::greater<int>());
    for (int x : xs) {
        if (x < desktop.x() || x > qMax(desktop.x(), right))
            continue;
        for (int y : ys) {
            if (y >= desktop.y() && y <= qMax(desktop.y(), bottom) && !covers(QPoint(x, y)))
                return QPoint(x, y);
        }
    }
    // No free place: cascade over the first column, on the first step that
    // no pop-up has taken yet.
    for (int k = 1; k <= shown.size() + 1; ++k) {
        const QPoint c = onDesktop(QPoint(firstColumn - k * cascadeStep, bottom - k * cascadeStep));
        bool taken = false;
        for (const QRect& other : shown)
            taken = taken || other.topLeft() == c;
        if (!taken)
            return c;
    }
    return onDesktop(QPoint(firstColumn - cascadeStep, bottom - cascadeStep));
}

QString wrappableText(const QString& text, int maxRun)
{
    QString out;
    out.reserve(text.size() + text.size() / qMax(1, maxRun));
    int run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            run = 0;
        } else if (++run > maxRun && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}

QString breakLongWords(const QString& text, int width,
                       const std::function<int(QStringView)>& measure)
{
    QString out;
    out.reserve(text.size());
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !text.at(end).isSpace() && text.at(end) != QChar(0x200B))
            ++end;
        const QStringView word = QStringView(text).mid(start, end - start);
        if (measure(word) <= width) {
            out += word;
        } else {
            qsizetype from = 0;
            for (qsizetype i = 0; i < word.size();) {
                qsizetype next = i + 1;
                if (next < word.size() && word.at(next).isLowSurrogate())
                    ++next;
                if (i > from && measure(word.mid(from, next - from)) > width) {
                    out += QChar(0x200B);
                    from = i;
                }
                out += word.mid(i, next - i);
                i = next;
            }
        }
        if (end < text.size())
            out += text.at(end);
        start = end + 1;
    }
    return out;
}

QString missedAlarmText(const QDateTime& due, const QDateTime& now)
{
    if (!due.isValid() || !now.isValid() || due.msecsTo(now) <= missedAfterMsecs)
        return QString();
    const QLocale locale;
    const QDate day = due.date();
    // Alarms ring on whole minutes: no seconds, even where the short format has them.
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(QStringLiteral("[:.]ss?")));
    const QString time = locale.toString(due.time(), format);
    if (day == now.date())
        return QCoreApplication::translate("td::AlarmMsgDlg", "This alarm was due at %1 today.")
            .arg(time);
    if (day == now.date().addDays(-1))
        return QCoreApplication::translate("td::AlarmMsgDlg", "This alarm was due at %1 yesterday.")
            .arg(time);
    return QCoreApplication::translate("td::AlarmMsgDlg", "This alarm was due at %1 on %2.")
        .arg(time, locale.toString(day, QLocale::LongFormat));
}

} // namespace td
