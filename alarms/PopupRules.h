// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

namespace td {

/// At most this many pop-ups show at once; alarms firing beyond them are
/// counted in one summary pop-up instead, so a flood cannot bury the desktop.
inline constexpr int maxShownPopups = 20;
/// An alarm delivered more than this after its moment says when it was due.
inline constexpr qint64 missedAfterMsecs = 60 * 1000;
/// How far each pop-up is shifted when they are cascaded over the first column.
inline constexpr int cascadeStep = 32;

/// Where a pop-up of `size` goes so that it covers none of the `shown` ones:
/// from `start`, it moves up above each one it meets, then to a new column to
/// the left at the bottom when it reaches the top. When the columns run out it
/// is cascaded over the first column. The result lies fully on `desktop`
/// (at its top-left corner when the pop-up is larger).
QPoint stackPopup(const QRect& desktop, const QSize& size, const QPoint& start,
                  const QList<QRect>& shown);

/// `text` with break opportunities (zero-width spaces) inside runs of more
/// than `maxRun` characters without a blank, so word wrapping can always keep
/// a line within its width.
QString wrappableText(const QString& text, int maxRun = 32);

/// `text` with break opportunities (zero-width spaces) inside each word wider
/// than `width` as `measure` finds it, where a line of that width is full: a
/// word that fits a line stays whole for word wrapping to move, a longer one
/// wraps anywhere. Surrogate pairs stay together.
QString breakLongWords(const QString& text, int width,
                       const std::function<int(QStringView)>& measure);

/// The sentence a late alarm shows, e.g. "This alarm was due at 10:30
/// yesterday.", in the default locale; empty when `due` is less than
/// missedAfterMsecs before `now`.
QString missedAlarmText(const QDateTime& due, const QDateTime& now);

} // namespace td
