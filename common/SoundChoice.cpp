// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SoundChoice.h"

#include "common/AppSettings.h"
#include "common/Prompts.h"
#include "common/SoundFile.h"
#include "common/SoundPlayer.h"
#include "common/WrappedNote.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace td {

namespace {

enum Item { DefaultItem = 0, NoneItem = 1 };
/// The data of the item that asks for a file.
constexpr int chooseItemRole = Qt::UserRole + 1;

} // namespace

SoundChoice::SoundChoice(QWidget* parent)
    : QWidget(parent), combo(new QComboBox(this)), playButton(new QPushButton(this)),
      note(new QLabel(this))
{
    combo->setObjectName(QStringLiteral("soundCombo"));
    playButton->setObjectName(QStringLiteral("soundPlay"));
    note->setObjectName(QStringLiteral("soundNote"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(combo, 0, 0);
    layout->addWidget(playButton, 0, 1);
    layout->addWidget(note, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    keepLinesTall(note);
    note->setStyleSheet(QStringLiteral("color: #c00000"));
    note->hide();
    setFocusProxy(combo);

    combo->addItem(tr("Default"), QString());
    combo->addItem(tr("None"), silentSoundChoice());
    combo->addItem(tr("Choose a file..."));
    combo->setItemData(combo->count() - 1, true, chooseItemRole);
    combo->setToolTip(tr("\"Default\" plays the sound chosen in the settings"));
    connect(combo, &QComboBox::activated, this, &SoundChoice::activated);
    connect(combo, &QComboBox::currentIndexChanged, this, [this] {
        stopPreview(); // the old choice is not what plays now
        refresh();
    });
    connect(playButton, &QPushButton::clicked, this, &SoundChoice::togglePreview);
    connect(soundProblems(), &SoundProblems::changed, this, &SoundChoice::refresh);
    refresh();
}

SoundChoice::~SoundChoice()
{
    stopPreview();
}

QString SoundChoice::choice() const
{
    return combo->currentData().toString();
}

void SoundChoice::setChoice(const QString& stored)
{
    // A file item sits between "None" and "Choose a file...", one at most.
    if (combo->count() > 3)
        combo->removeItem(2);
    int index = DefaultItem;
    if (stored == silentSoundChoice()) {
        index = NoneItem;
    } else if (!stored.isEmpty()) {
        combo->insertItem(2, QFileInfo(stored).fileName(), stored);
        combo->setItemData(2, stored, Qt::ToolTipRole);
        index = 2;
    }
    m_lastIndex = index;
    combo->setCurrentIndex(index);
    refresh();
}

void SoundChoice::setDefaultSound(bool enabled, const QString& storedPath)
{
    m_defaultEnabled = enabled;
    m_defaultPath = storedPath;
    refresh();
}

void SoundChoice::activated(int index)
{
    if (!combo->itemData(index, chooseItemRole).toBool()) {
        m_lastIndex = index;
        return;
    }
    const QFileInfo current(soundPath());
    const QString chosen = prompts::openFileName(
        this, tr("Select Sound File"),
        current.exists() ? current.absolutePath() : QCoreApplication::applicationDirPath(),
        soundFileFilter());
    if (chosen.isEmpty())
        combo->setCurrentIndex(m_lastIndex); // cancelled: as it was
    else
        setChoice(relativeSoundPath(chosen));
}

QString SoundChoice::soundPath() const
{
    const QString stored = choice();
    if (combo->currentData(chooseItemRole).toBool() || stored == silentSoundChoice())
        return QString();
    if (stored.isEmpty())
        return m_defaultEnabled && !m_defaultPath.isEmpty() ? resolveSoundPath(m_defaultPath)
                                                            : QString();
    return resolveSoundPath(stored);
}

void SoundChoice::togglePreview()
{
    if (m_previewing) {
        stopPreview();
    } else if (SoundPlayer* player = soundPlayer()) {
        const QString path = soundPath();
        if (path.isEmpty() || !soundFileProblem(path).isEmpty())
            return;
        m_previewing = true;
        player->play(path, this); // on until stopped, hidden or gone
    }
    refresh();
}

void SoundChoice::stopPreview()
{
    if (!m_previewing)
        return;
    m_previewing = false;
    if (SoundPlayer* player = soundPlayer())
        player->stop(this);
    refresh();
}

void SoundChoice::hideEvent(QHideEvent* event)
{
    stopPreview();
    QWidget::hideEvent(event);
}

void SoundChoice::refresh()
{
    const QString path = soundPath();
    QString problem;
    if (!path.isEmpty()) {
        problem = soundFileProblem(path);
        if (problem.isEmpty())
            problem = knownSoundProblem(path);
    }
    note->setText(problem.isEmpty() ? QString()
                                    : tr("This sound cannot be played: %1.").arg(problem));
    note->setVisible(!problem.isEmpty());
    // A symbol, as media players show it: no letter to take from the editor's mnemonics.
    playButton->setText(m_previewing ? QStringLiteral("\u25A0") : QStringLiteral("\u25B6"));
    const QString action = m_previewing ? tr("Stop") : tr("Play");
    playButton->setToolTip(action);
    playButton->setAccessibleName(action);
    playButton->setEnabled(m_previewing || (!path.isEmpty() && soundFileProblem(path).isEmpty()));
}

} // namespace td
