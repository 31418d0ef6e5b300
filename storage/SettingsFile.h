// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/AppSettings.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

/// The settings file: QSettings reads it, and writes it through a staging copy
/// so that a full disk can never leave it cut short.
namespace td::settingsfile {

/// Far more than the settings Tidra writes; a larger file is not ours to read.
inline constexpr qint64 maxBytes = 1024 * 1024;

/// The file behind QSettings(organization, application); empty where the
/// settings are no file (the Windows registry).
QString path();

/// What start-up found: an oversize file is moved aside (`movedTo`, empty when
/// even that failed) and must not be read.
struct Check
{
    bool oversize = false;
    QString movedTo;
};
/// Run before anything opens the settings: removes what interrupted saves
/// left beside the file and moves an oversize file aside as "<path>.bad".
Check prepare();

/// Stores `values` (key, value) and keeps every other key of the file. False,
/// with the reason in `error`, when the file could not be written whole; the
/// old file is then untouched.
bool write(const QList<QPair<QString, QVariant>>& values, QString* error = nullptr);

/// Did Qt write this settings text whole: `keys` key lines, the last one ended?
bool writtenWhole(const QByteArray& text, int keys);

} // namespace td::settingsfile

namespace td {

/// Fills `settings` from the per-user store; keys that are absent give their
/// defaults. The default digit skin is the first plug-in's name when that
/// plug-in is a font; without one the skin key is not read at all.
void loadSettings(AppSettings& settings, const QList<QObject*>& fontPlugins);
/// Writes every key of `settings` to the store, then writes or removes the
/// autostart entry to match `startWithOS`. The settings page reads its widgets
/// back into the record before each save, so the record is what the page shows.
void saveSettings(const AppSettings& settings);
/// Settings of a fresh store: every key at its default.
AppSettings defaultSettings(const QList<QObject*>& fontPlugins = {});

} // namespace td
