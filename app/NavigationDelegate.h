// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace td {

/// Draws the navigation strip's items: the icon on top and the caption below
/// it, wrapped over as many lines as it needs. The stock icon-mode layout gives
/// a caption one line and elides the rest in a strip this narrow.
class NavigationDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    /// Gives `view` this delegate and a ground of the theme's own that sets
    /// the strip apart from the page while its captions keep their contrast.
    static void install(QAbstractItemView* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// The font a caption is drawn in on a strip `width` pixels wide: a little
    /// smaller than the list's, and narrower still when a word would not fit.
    static QFont captionFont(const QFont& listFont, const QString& caption, int width);

    /// Height of the caption block: room for this many lines of text.
    static constexpr int captionLines = 3;
};

} // namespace td
