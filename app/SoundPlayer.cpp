// Placeholder until the alarm subsystem lands its QSoundEffect player.
#include "app/SoundPlayer.h"

#include "app/AppSettings.h"

#include <QFileInfo>

namespace {
td::SoundPlayer* current = nullptr;
} // namespace

namespace td {

SoundPlayer* soundPlayer()
{
    return current;
}

void setSoundPlayer(SoundPlayer* player)
{
    current = player;
}

void playConfiguredSound(bool enabled, const QString& storedPath)
{
    if (!enabled || storedPath.isEmpty() || !current)
        return;
    const QString path = resolveSoundPath(storedPath);
    if (QFileInfo(path).isFile())
        current->play(path);
}

} // namespace td
