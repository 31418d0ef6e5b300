// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace td {

/// The sound of one alarm or timer in its editor: "Default" (the global
/// sound), "None", or a file of its own, with a button that previews it.
/// The preview plays until the button is pressed again, the choice changes or
/// the editor closes.
class SoundChoice : public QWidget
{
    Q_OBJECT
public:
    explicit SoundChoice(QWidget* parent = nullptr);
    ~SoundChoice() override;

    /// Empty for "Default", silentSoundChoice() for "None", else a stored path.
    QString choice() const;
    void setChoice(const QString& stored);
    /// What "Default" stands for: the global sound setting.
    void setDefaultSound(bool enabled, const QString& storedPath);
    bool previewing() const { return m_previewing; }

    QComboBox* const combo;
    QPushButton* const playButton;
    QLabel* const note;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void activated(int index);
    void togglePreview();
    void stopPreview();
    /// The full path the choice would ring; empty for silence.
    QString soundPath() const;
    void refresh();

    int m_lastIndex = 0;
    bool m_defaultEnabled = false;
    QString m_defaultPath;
    bool m_previewing = false;
};

} // namespace td
