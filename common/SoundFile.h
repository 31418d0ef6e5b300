// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace td {

/// The sound formats Tidra plays, told apart by their first bytes.
enum class SoundFormat { Unknown, Wav, Ogg, Mp3, Flac };

/// The format of a file that begins with `head` (its first dozen bytes do).
SoundFormat soundFormat(const QByteArray& head);

/// Why the file cannot be played, as far as can be told without decoding it
/// ("the file does not exist", "it is not a WAV, OGG, MP3 or FLAC sound", ...);
/// empty when it looks like a sound. Reads a dozen bytes, never the whole file;
/// with `look` false it does not open the file at all.
QString soundFileProblem(const QString& fullPath, bool look = true);

/// An alarm's or timer's sound choice that means silence; an empty choice
/// follows the global setting, any other is a file. No file is called this:
/// on Windows it is not a valid name.
inline QString silentSoundChoice()
{
    return QStringLiteral("none:");
}

/// The filter of the sound choosers.
QString soundFileFilter();

} // namespace td
