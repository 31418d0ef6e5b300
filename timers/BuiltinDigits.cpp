// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/BuiltinDigits.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace td {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("td::BuiltinDigits", text); // lupdate's context
}

/// Sharp on screens up to twice the usual density.
qreal pictureRatio()
{
    return qMax<qreal>(2.0, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

} // namespace

BuiltinDigits::BuiltinDigits(const QFont& font) : m_font(font) {}

QString BuiltinDigits::title()
{
    return tr("Built-in digits");
}

QPixmap BuiltinDigits::symbolPixmap(QString key)
{
    auto it = m_pictures.constFind(key);
    if (it != m_pictures.constEnd())
        return *it;
    QFont digits = m_font;
    digits.setPixelSize(DigitPixels);
    const QFontMetricsF metrics(digits);
    const int height = qCeil(metrics.height());
    QPixmap picture;
    if (key.size() == 1 && key.at(0).isDigit()) {
        // One width for every digit, so a ticking number stands still.
        qreal width = 0;
        for (char c = '0'; c <= '9'; ++c)
            width = qMax(width, metrics.horizontalAdvance(QLatin1Char(c)));
        picture = draw(key, digits, qCeil(width) + 2, height);
    } else if (key == QLatin1String("colon") || key == QLatin1String("slash")) {
        const QString text =
            key == QLatin1String("colon") ? QStringLiteral(":") : QStringLiteral("/");
        picture = draw(text, digits, qCeil(metrics.horizontalAdvance(text)) + 6, height);
    } else {
        static const QHash<QString, const char*> captions = {
            {QStringLiteral("week"), QT_TRANSLATE_NOOP("td::BuiltinDigits", "weeks")},
            {QStringLiteral("day"), QT_TRANSLATE_NOOP("td::BuiltinDigits", "days")},
            {QStringLiteral("hour"), QT_TRANSLATE_NOOP("td::BuiltinDigits", "hours")},
            {QStringLiteral("min"), QT_TRANSLATE_NOOP("td::BuiltinDigits", "min")},
            {QStringLiteral("sec"), QT_TRANSLATE_NOOP("td::BuiltinDigits", "sec")},
            {QStringLiteral("msec"), QT_TRANSLATE_NOOP("td::BuiltinDigits", "1/100")}};
        const char* caption = captions.value(key);
        if (!caption)
            return QPixmap();
        QFont small = m_font;
        small.setPixelSize(DigitPixels * 2 / 5);
        const QString text = tr(caption);
        picture = draw(text, small, qCeil(QFontMetricsF(small).horizontalAdvance(text)) + 8,
                       qCeil(QFontMetricsF(small).height()) + 2);
    }
    m_pictures.insert(key, picture);
    return picture;
}

QPixmap BuiltinDigits::draw(const QString& text, const QFont& font, int width, int height) const
{
    const qreal ratio = pictureRatio();
    QPixmap picture(qCeil(width * ratio), qCeil(height * ratio));
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(font);
    QPainterPath path;
    path.addText((width - metrics.horizontalAdvance(text)) / 2,
                 (height - metrics.height()) / 2 + metrics.ascent(), font, text);
    painter.strokePath(
        path, QPen(QColor(255, 255, 255, 210), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, QColor(40, 44, 52));
    return picture;
}

} // namespace td
