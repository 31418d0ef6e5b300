// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace td {

/// The media back end's own messages while it opens and plays sounds
/// (FFmpeg's log and Qt Multimedia's notes) go to the log category
/// "tidra.sound" at debug level: seen with
/// QT_LOGGING_RULES="tidra.sound.debug=true", dropped otherwise. Called
/// before the first media object is made (Qt's notes) and after (FFmpeg
/// loads with it), until FFmpeg's log is caught.
void quietMediaBackend();

} // namespace td
