// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UndoButton.h"

#include <QBoxLayout>
#include <QTimer>

namespace td {

UndoButton::UndoButton(QPushButton* beside, const QString& objectName)
    : QPushButton(beside->parentWidget()), m_timer(new QTimer(this))
{
    setObjectName(objectName);
    m_timer->setObjectName(objectName + QStringLiteral("Timer"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(offerMsecs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        hide();
        emit expired();
    });
    setAutoDefault(false);
    hide();
    for (QBoxLayout* layout : beside->parentWidget()->findChildren<QBoxLayout*>()) {
        const int at = layout->indexOf(beside);
        if (at >= 0) {
            layout->insertWidget(at + 1, this);
            break;
        }
    }
}

void UndoButton::setOffered(bool offered)
{
    setVisible(offered);
    if (offered)
        m_timer->start();
    else
        m_timer->stop();
}

void UndoButton::setTexts(const QString& toolTip, const QString& accessibleName)
{
    setText(tr("Undo"));
    // After the text, which sets its own; a widget's shortcut works only while it shows.
    setShortcut(QKeySequence::Undo);
    setToolTip(toolTip.arg(shortcut().toString(QKeySequence::NativeText)));
    setAccessibleName(accessibleName);
}

} // namespace td
