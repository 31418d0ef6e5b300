// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

class QTimer;

namespace td {

/// The "Undo" a list page offers after a deletion, beside the page's delete
/// button: shown while offered and for offerMsecs at most. A click or Ctrl+Z
/// (only while it shows, so only on its page) emits clicked().
class UndoButton : public QPushButton
{
    Q_OBJECT
public:
    static constexpr int offerMsecs = 30000;

    /// Goes into the layout of `beside`, right after it, hidden.
    UndoButton(QPushButton* beside, const QString& objectName);
    void setOffered(bool offered);
    /// The button's texts, in the current language; %1 in the tip is its key.
    void setTexts(const QString& toolTip, const QString& accessibleName);

signals:
    /// The offer's time ran out: the deletion stays.
    void expired();

private:
    QTimer* m_timer;
};

} // namespace td
