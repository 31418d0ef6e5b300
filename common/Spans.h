// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QRegularExpressionMatch;

/// Spans of time as people type them: "25m", "1h30m", "90s", "1w2d".
namespace td::spans {

/// Sums the "<number><unit>" groups of a fully matched expression, one unit in
/// seconds per group; -1 when no group is there. Too many digits give the
/// largest number, which every limit refuses.
qint64 sumUnits(const QRegularExpressionMatch& m, std::initializer_list<qint64> unitSecs);

/// Weeks, days, hours, minutes ("m" or "min") and seconds, in that order, each
/// optional; case and blanks around do not matter. -1 when it is no span.
qint64 parse(const QString& text);

/// The choices of a list such as "5m, 1h, 1d": spans longer than zero, each
/// once, in the order given, at most `maxChoices`. Whatever is not a span goes
/// to `bad`.
QList<qint64> parseList(const QString& text, QStringList* bad = nullptr);
inline constexpr int maxChoices = 10;

/// "1 Hour 30 Minutes": the span in the user's words, largest unit first.
QString label(qint64 secs);

} // namespace td::spans
