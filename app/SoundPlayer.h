#pragma once

#include <QString>

namespace td {

/// Plays a WAV file once, asynchronously. Missing files, non-WAV files and
/// machines without audio give silence, never a hang or a message.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& fullPath) = 0;
};

/// The process-wide player; tests swap in a recording fake. Until the program
/// installs the real one (installDefaultSoundPlayer) there is none: silence.
SoundPlayer* soundPlayer();
void setSoundPlayer(SoundPlayer* player); // not owned; nullptr restores the installed one
/// Makes the QSoundEffect player the process-wide one (called once by main).
void installDefaultSoundPlayer();

/// The alarm and timer sound rule: when enabled, resolve the stored path
/// (relative to the program's folder) and play it if the file exists.
void playConfiguredSound(bool enabled, const QString& storedPath);

} // namespace td
