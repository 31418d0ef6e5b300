// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Accessibility.h"

#include <QAbstractButton>
#include <QTextDocumentFragment>

namespace td {

void nameIconButtons(QWidget* root)
{
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (!button->text().trimmed().isEmpty() || !button->accessibleName().isEmpty())
            continue;
        const QString tip = QTextDocumentFragment::fromHtml(button->toolTip()).toPlainText();
        if (!tip.trimmed().isEmpty())
            button->setAccessibleName(tip.trimmed());
    }
}

void ringFocusedFlatButtons(QWidget* root)
{
    root->setStyleSheet(root->styleSheet() + QStringLiteral(R"(
        QPushButton:flat { border: 2px solid transparent; border-radius: 4px; padding: 0; }
        QPushButton:flat:hover { background: palette(midlight); }
        QPushButton:flat:pressed { background: palette(mid); }
        QPushButton:flat:focus { border-color: palette(highlight); }
    )"));
}

} // namespace td
