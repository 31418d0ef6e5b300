#include "app/SoundPlayer.h"

#include "app/AppSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace td {

namespace {

SoundPlayer* current = nullptr;
SoundPlayer* installed = nullptr;

/// Fire and forget over QSoundEffect. An effect stops when destroyed, so each
/// file keeps one effect alive, parented to the application, for reuse.
class EffectSoundPlayer : public SoundPlayer
{
public:
    void play(const QString& fullPath) override
    {
        QObject* app = QCoreApplication::instance();
        if (!app)
            return;
        if (!m_holder) {
            m_holder = new QObject(app);
            m_effects.clear();
        }
        QPointer<QSoundEffect>& effect = m_effects[fullPath];
        if (!effect) {
            effect = new QSoundEffect(m_holder);
            effect->setSource(QUrl::fromLocalFile(fullPath));
        }
        // A broken file or a machine without audio leaves the effect in its error
        // state; Qt logs that once and play() stays silent.
        if (effect->status() == QSoundEffect::Error)
            return;
        effect->stop();
        effect->play(); // queued until loaded; never blocks
    }

private:
    QPointer<QObject> m_holder;
    QHash<QString, QPointer<QSoundEffect>> m_effects;
};

} // namespace

SoundPlayer* soundPlayer()
{
    return current;
}

void setSoundPlayer(SoundPlayer* player)
{
    current = player ? player : installed;
}

void installDefaultSoundPlayer()
{
    static EffectSoundPlayer player;
    installed = &player;
    current = &player;
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
