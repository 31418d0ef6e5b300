// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NavigationDelegate.h"
#include "common/Contrast.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QRegularExpression>

namespace td {

namespace {
constexpr int padding = 2;

QFont baseCaptionFont(const QStyleOptionViewItem& option)
{
    QFont font = option.font;
    font.setPointSizeF(font.pointSizeF() * 0.85);
    return font;
}
} // namespace

QFont NavigationDelegate::captionFont(const QFont& listFont, const QString& caption, int width)
{
    QStyleOptionViewItem option;
    option.font = listFont;
    QFont font = baseCaptionFont(option);
    // A word wider than the strip would lose letters at both ends ("Stoppuhren"
    // in a wide font): the caption gets smaller until its longest word fits.
    const QStringList words =
        caption.split(QRegularExpression(QStringLiteral("[\\s\u00AD]+")), Qt::SkipEmptyParts);
    int widest = 0;
    for (const QString& word : words)
        widest = qMax(widest, QFontMetrics(font).horizontalAdvance(word));
    if (widest > width && width > 0)
        font.setPointSizeF(font.pointSizeF() * qMax(0.6, qreal(width) / widest));
    return font;
}

void NavigationDelegate::install(QAbstractItemView* view)
{
    view->setItemDelegate(new NavigationDelegate(view));
    view->viewport()->setBackgroundRole(QPalette::AlternateBase);
}

QSize NavigationDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    const QFontMetrics metrics(baseCaptionFont(option));
    const QSize icon = option.decorationSize;
    // As wide as the strip, so a long caption word gets every pixel there is.
    int width = icon.width() + 2 * padding;
    if (const auto* view = qobject_cast<const QAbstractItemView*>(option.widget))
        width = qMax(width, view->viewport()->width());
    return {width, icon.height() + 3 * padding + captionLines * metrics.lineSpacing()};
}

void NavigationDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();

    // Background and selection as the style draws them, without the stock text.
    opt.text.clear();
    opt.icon = QIcon();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    const QRect area = option.rect.adjusted(padding, padding, -padding, -padding);
    const QSize iconSize = option.decorationSize;
    const QRect iconRect(area.left() + (area.width() - iconSize.width()) / 2, area.top(),
                         iconSize.width(), iconSize.height());
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    const bool selected = option.state & QStyle::State_Selected;
    icon.paint(painter, iconRect, Qt::AlignCenter,
               option.state & QStyle::State_Enabled ? QIcon::Normal : QIcon::Disabled);

    const QRect textRect(option.rect.left(), iconRect.bottom() + 1 + padding, option.rect.width(),
                         area.bottom() - iconRect.bottom() - padding);
    painter->save();
    const QString caption = index.data(Qt::DisplayRole).toString();
    painter->setFont(captionFont(option.font, caption, textRect.width()));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    if (selected) {
        // The selection marks the caption only, like the stock icon view.
        const QRect used = painter->fontMetrics().boundingRect(
            textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, caption);
        // Some themes' selection is too light for its own text (Fusion's is 3.7:1).
        const QColor text = option.palette.color(QPalette::HighlightedText);
        const QColor ground = QColor::fromRgb(
            contrast::groundFor(text.rgb(), option.palette.color(QPalette::Highlight).rgb()));
        painter->fillRect(used.adjusted(-1, 0, 1, 0), ground);
    }
    painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, caption);
    painter->restore();
}

} // namespace td
