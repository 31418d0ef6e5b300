// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/DigitRenderer.h"

#include <QWidget>

namespace td {

/// Shows a timer's picture, centred, painting its skin pictures itself over
/// the window's ground. It keeps no picture of its own (the scaled skin
/// pictures are shared by all windows), and a new picture that differs in a
/// digit or two repaints only those cells; nothing is cleared first.
class DigitView : public QWidget
{
    Q_OBJECT

public:
    explicit DigitView(QWidget* parent = nullptr);

    /// Shows `layout`; an empty one shows nothing.
    void setPicture(const DisplayLayout& layout);
    void clear() { setPicture(DisplayLayout()); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    /// Where the picture sits, in the widget's pixels.
    QRect pictureRect() const;
    /// A cell of the picture in the widget's pixels, out to whole pixels.
    QRect cellRect(const QRect& devicePixels) const;

    DisplayLayout m_layout;
};

} // namespace td
