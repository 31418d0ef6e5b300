// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SoundPlayer.h"

#include "common/AppSettings.h"
#include "common/MediaChatter.h"
#include "common/SoundFile.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <vector>

namespace td {

namespace {

SoundPlayer* current = nullptr;
SoundPlayer* installed = nullptr;
QHash<QString, QString> problems;

/// A probe that hears nothing back within this time lets the file pass.
constexpr int probeWaitMs = 5000;
/// Sounds at once: a flood of alarms must not open a player each.
constexpr size_t maxVoices = 4;

/// Fire and forget over QMediaPlayer, which streams the file: a 2 GB WAV costs
/// what a small one does. A few players are kept and reused.
class MediaSoundPlayer : public SoundPlayer
{
public:
    void probe(const QString& fullPath, QObject* context,
               std::function<void(const QString&)> done) override
    {
        // Opening needs no audio output, so it is safe where playing is not.
        quietMediaBackend();
        auto* player = new QMediaPlayer(this);
        quietMediaBackend();
        auto finish = [player, done, context = QPointer<QObject>(context)](const QString& problem) {
            if (player->property("done").toBool())
                return;
            player->setProperty("done", true);
            player->deleteLater();
            if (context)
                done(problem);
        };
        connect(player, &QMediaPlayer::errorOccurred, player,
                [finish](QMediaPlayer::Error, const QString& text) { finish(text); });
        connect(player, &QMediaPlayer::mediaStatusChanged, player,
                [finish, player](QMediaPlayer::MediaStatus status) {
                    if (status == QMediaPlayer::InvalidMedia)
                        finish(player->errorString());
                    else if (status == QMediaPlayer::LoadedMedia &&
                             player->error() == QMediaPlayer::NoError)
                        finish(player->duration() > 0
                                   ? QString()
                                   : QCoreApplication::translate("td", "it holds no sound"));
                });
        QTimer::singleShot(probeWaitMs, player, [finish] { finish(QString()); });
        player->setSource(QUrl::fromLocalFile(fullPath));
    }

protected:
    void start(const QString& fullPath, QObject* owner) override
    {
        // The back end loads with the first look at the devices.
        quietMediaBackend();
        const bool noOutput = QMediaDevices::audioOutputs().isEmpty();
        quietMediaBackend();
        if (noOutput) {
            // Playing without an output crashes some Qt back ends; stay silent.
            reportSoundProblem(QString(), QCoreApplication::translate(
                                              "td", "there is no audio output to play sounds on"));
            return;
        }
        reportSoundProblem(QString(), QString());
        Voice& v = freeVoice();
        v.path = fullPath;
        v.owner = owner;
        v.player->setLoops(owner ? QMediaPlayer::Infinite : 1);
        v.player->setSource(QUrl::fromLocalFile(fullPath));
        v.player->play();
    }

    void halt(QObject* owner) override
    {
        for (Voice& v : m_voices) {
            if (v.owner == owner) {
                v.player->stop();
                v.player->setSource(QUrl()); // closes the output stream, see above
                v.owner = nullptr;
            }
        }
    }

private:
    struct Voice
    {
        QMediaPlayer* player = nullptr;
        QObject* owner = nullptr; ///< compared only
        QString path;
    };

    Voice& freeVoice()
    {
        for (Voice& v : m_voices)
            if (!v.owner && v.player->playbackState() != QMediaPlayer::PlayingState)
                return v;
        if (m_voices.size() < maxVoices) {
            auto* player = new QMediaPlayer(this);
            quietMediaBackend();
            player->setAudioOutput(new QAudioOutput(player));
            connect(player, &QMediaPlayer::errorOccurred, this,
                    [this, player](QMediaPlayer::Error, const QString& text) {
                        for (const Voice& v : m_voices)
                            if (v.player == player)
                                reportSoundProblem(v.path, text);
                    });
            // A stopped player keeps its output stream open, and with it the
            // sound server awake: the file is let go once it has played.
            connect(player, &QMediaPlayer::mediaStatusChanged, this,
                    [this, player](QMediaPlayer::MediaStatus status) {
                        if (status == QMediaPlayer::EndOfMedia)
                            QTimer::singleShot(0, player, [this, player]() { release(player); });
                    });
            m_voices.push_back(Voice{player, nullptr, QString()});
            return m_voices.back();
        }
        // All busy: the one started first makes room.
        std::rotate(m_voices.begin(), m_voices.begin() + 1, m_voices.end());
        Voice& oldest = m_voices.back();
        oldest.player->stop();
        oldest.owner = nullptr;
        return oldest;
    }

    void release(QMediaPlayer* player)
    {
        for (const Voice& v : m_voices)
            if (v.player == player && !v.owner &&
                player->playbackState() == QMediaPlayer::StoppedState)
                player->setSource(QUrl());
    }

    std::vector<Voice> m_voices;
};

} // namespace

void SoundPlayer::play(const QString& fullPath, QObject* until)
{
    if (until) {
        stop(until); // an alarm that fires again while it rings rings once
        m_owners << until;
        until->installEventFilter(this);
        connect(until, &QObject::destroyed, this, [this, until]() {
            if (m_owners.removeAll(until))
                halt(until);
        });
    }
    start(fullPath, until);
}

void SoundPlayer::stop(QObject* owner)
{
    if (!owner || !m_owners.removeAll(owner))
        return;
    owner->removeEventFilter(this);
    disconnect(owner, &QObject::destroyed, this, nullptr);
    halt(owner);
}

bool SoundPlayer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide)
        stop(watched);
    return false;
}

SoundPlayer* soundPlayer()
{
    return current;
}

void setSoundPlayer(SoundPlayer* player)
{
    current = player ? player : installed;
}

void chooseSoundBackend()
{
#ifdef Q_OS_LINUX
    // GStreamer needs plug-in packages the Qt package does not pull in (and
    // crashes without them); FFmpeg's libraries come with it.
    if (!qEnvironmentVariableIsSet("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "ffmpeg");
#endif
}

void installDefaultSoundPlayer()
{
    static QPointer<MediaSoundPlayer> player;
    if (!player) {
        player = new MediaSoundPlayer;
        player->setParent(QCoreApplication::instance());
    }
    installed = player;
    current = player;
}

void playConfiguredSound(bool enabled, const QString& storedPath, QObject* until)
{
    if (!enabled || storedPath.isEmpty() || !current)
        return;
    const QString path = resolveSoundPath(storedPath);
    const QString problem = soundFileProblem(path);
    if (!problem.isEmpty()) {
        reportSoundProblem(path, problem);
        return;
    }
    current->play(path, until);
}

void playChosenSound(const QString& own, bool enabled, const QString& storedPath, QObject* until)
{
    if (own == silentSoundChoice() || !current)
        return;
    if (!own.isEmpty()) {
        const QString path = resolveSoundPath(own);
        QString problem = soundFileProblem(path);
        if (problem.isEmpty())
            problem = knownSoundProblem(path);
        if (problem.isEmpty()) {
            current->play(path, until);
            return;
        }
        reportSoundProblem(path, problem); // and the global sound rings instead
    }
    playConfiguredSound(enabled, storedPath, until);
}

QString knownSoundProblem(const QString& fullPath)
{
    return problems.value(fullPath);
}

void reportSoundProblem(const QString& fullPath, const QString& reason)
{
    if (problems.value(fullPath) == reason)
        return;
    if (reason.isEmpty()) {
        problems.remove(fullPath);
    } else {
        problems.insert(fullPath, reason);
        if (fullPath.isEmpty())
            qWarning("Tidra: no sound: %s", qPrintable(reason));
        else
            qWarning("Tidra: cannot play %s: %s", qPrintable(fullPath), qPrintable(reason));
    }
    emit soundProblems()->changed(fullPath);
}

SoundProblems* soundProblems()
{
    static SoundProblems* instance = new SoundProblems;
    return instance;
}

} // namespace td
