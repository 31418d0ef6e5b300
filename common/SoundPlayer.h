// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

namespace td {

/// Plays sound files (WAV, OGG/OGA, MP3, FLAC) asynchronously, streaming them
/// from disk, so a huge file costs no more memory than a small one. A file that
/// cannot be played, or a machine without audio output, gives silence and a
/// report (reportSoundProblem), never a hang.
class SoundPlayer : public QObject
{
public:
    /// Plays the file once; with `until`, over and over until stop(until) or
    /// until `until` is hidden (a pop-up closed) or destroyed.
    void play(const QString& fullPath, QObject* until = nullptr);
    /// Ends the repeating sound that plays for `owner`.
    void stop(QObject* owner);
    /// Opens the file without playing it and calls `done` with the reason it
    /// cannot be played, or an empty text; not once `context` is gone.
    virtual void probe(const QString& fullPath, QObject* context,
                       std::function<void(const QString& problem)> done) = 0;

protected:
    /// Starts the file: once, or looping for `owner` until halt(owner).
    virtual void start(const QString& fullPath, QObject* owner) = 0;
    virtual void halt(QObject* owner) = 0;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QList<QObject*> m_owners; ///< compared only: one may be on its way out
};

/// The process-wide player; tests swap in a recording fake. Until the program
/// installs the real one (installDefaultSoundPlayer) there is none: silence.
SoundPlayer* soundPlayer();
void setSoundPlayer(SoundPlayer* player); // not owned; nullptr restores the installed one
/// Makes the media player the process-wide one (called once by main).
void installDefaultSoundPlayer();
/// Called before the application object: picks the media back end that plays
/// every format with the libraries the Qt package itself depends on.
void chooseSoundBackend();

/// The alarm and timer sound rule: when enabled, resolve the stored path
/// (relative to the program's folder) and play it, once or until `until` goes.
/// A file that cannot be played is reported instead.
void playConfiguredSound(bool enabled, const QString& storedPath, QObject* until = nullptr);

/// An alarm's or timer's own choice (`own`): empty follows the rule above,
/// silentSoundChoice() is silence, and a file plays even when the global sound
/// is off. A file that is gone or is known not to play is reported (the log
/// and the settings page hear of it once) and the global sound rings instead.
void playChosenSound(const QString& own, bool enabled, const QString& storedPath,
                     QObject* until = nullptr);

/// Why a sound cannot be played, from what playing or probing it found; an
/// empty path stands for the machine's audio output as a whole.
QString knownSoundProblem(const QString& fullPath);
/// Records a problem; the first report of each writes one line to the log and
/// tells soundProblems(). An empty `reason` clears what was known.
void reportSoundProblem(const QString& fullPath, const QString& reason);

/// Announces sound problems to whoever shows them (the settings page).
class SoundProblems : public QObject
{
    Q_OBJECT
signals:
    void changed(const QString& fullPath);
};
SoundProblems* soundProblems();

} // namespace td
