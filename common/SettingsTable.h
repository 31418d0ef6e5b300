// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/AppSettings.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

class QWidget;

namespace td::settings {

enum class Kind {
    Int,
    Bool,
    String,
    Time,      ///< stored as "h:mm" text
    Skin,      ///< a string whose default comes from the first font plug-in
    Autostart, ///< no key: the presence of the autostart entry
};

/// One option: where it is stored, its default, the widget that shows it and
/// the record field it mirrors. Loading, saving and the settings page all walk
/// the same table, so the three cannot drift apart.
struct Entry
{
    QString key; ///< empty for the autostart flag
    Kind kind;
    QVariant defaultValue;
    QString widget; ///< object name on the main window's form
    std::function<QVariant(const AppSettings&)> get;
    std::function<void(AppSettings&, const QVariant&)> set;
};

/// Every option in store order: tray, alarms, timers, the week from Sunday
/// (Enable, WorkBeginTime, LunchBeginTime, LunchEndTime, WorkEndTime), the work
/// flags, and last the autostart flag.
const std::vector<Entry>& table();
/// The entry for a store key (or "startWithOS"), nullptr when unknown.
const Entry* find(const QString& keyOrWidget);

/// Shows the record in the form's widgets. Spin boxes clamp, combo boxes take
/// the index as it is, a null time leaves its edit alone.
void putIntoWidgets(const AppSettings& settings, const QWidget* form);
/// Reads every widget of the table back into the record.
void readFromWidgets(AppSettings& settings, const QWidget* form);

/// The day prefixes of the store keys and widget names, Sunday first.
inline const char* const dayPrefixes[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

} // namespace td::settings
