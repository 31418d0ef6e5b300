// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace td {

/// The entry that starts the program when the user logs in: on Linux an XDG
/// autostart file (~/.config/autostart/Tidra.desktop), on Windows the
/// per-user Run value.
class Autostart
{
public:
    /// Is the program registered? An entry the desktop disabled does not count.
    static bool exists();
    /// Registers `executablePath`; false when the entry could not be written.
    static bool write(const QString& executablePath);
    /// Removes the entry; true when none is left.
    static bool remove();

    /// Where the entry lives (Linux: the .desktop file).
    static QString entryPath();
    /// One argument of a desktop entry's Exec key, quoted so that blanks,
    /// quotes, backslashes, dollars and percent signs survive.
    static QString quoteExecArgument(const QString& argument);
    /// The whole desktop entry text for `executablePath`.
    static QString desktopEntry(const QString& executablePath);
};

} // namespace td
