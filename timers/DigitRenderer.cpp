#include "timers/DigitRenderer.h"

#include "timers/FontPluginInterface.h"

#include <QDir>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QPluginLoader>
#include <QVarLengthArray>
#include <QtMath>

#include <array>

namespace td {

namespace {

// Keys are built once: asking a skin for a picture then costs no allocation.
struct SymbolKeys
{
    std::array<QString, 10> digits;
    QString colon = QStringLiteral("colon");
    QString slash = QStringLiteral("slash");
    std::array<QString, 6> captions = {QStringLiteral("week"), QStringLiteral("day"),
                                       QStringLiteral("hour"), QStringLiteral("min"),
                                       QStringLiteral("sec"),  QStringLiteral("msec")};
    SymbolKeys()
    {
        for (int i = 0; i < 10; ++i)
            digits[i] = QString(QChar(u'0' + i));
    }
};

const SymbolKeys& keys()
{
    static const SymbolKeys k;
    return k;
}

// Layout works in device-independent pixels, so a skin drawn at 2x lays out
// exactly like the same skin drawn at 1x.
int logicalWidth(const QPixmap& p)
{
    return p.isNull() ? 0 : qRound(p.width() / p.devicePixelRatio());
}

int logicalHeight(const QPixmap& p)
{
    return p.isNull() ? 0 : qRound(p.height() / p.devicePixelRatio());
}

struct NumberPictures
{
    QVarLengthArray<QPixmap, 24> pictures;
    int width = 0;
    int height = 0;
};

NumberPictures numberPictures(FontPluginInterface* font, qint64 value, bool leadingZero)
{
    // Decimal text without a heap allocation; 64 bits, so a long span in
    // hundredths does not wrap round into a negative number.
    char text[24];
    int len = 0;
    const bool negative = value < 0;
    quint64 magnitude = negative ? quint64(0) - quint64(value) : quint64(value);
    do {
        text[len++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (leadingZero && !negative && value < 10)
        text[len++] = '0';
    if (negative)
        text[len++] = '-';

    NumberPictures n;
    const SymbolKeys& k = keys();
    for (int i = len - 1; i >= 0; --i) {
        const char c = text[i];
        const QPixmap p = (c >= '0' && c <= '9') ? font->symbolPixmap(k.digits[c - '0'])
                                                 : font->symbolPixmap(QString(QChar(c)));
        n.width += logicalWidth(p);
        n.height = logicalHeight(p);
        n.pictures.append(p);
    }
    return n;
}

void drawNumber(QPainter& painter, const NumberPictures& n, int x, int y)
{
    for (const QPixmap& p : n.pictures) {
        painter.drawPixmap(x, y, p);
        x += logicalWidth(p);
    }
}

// An image of `w` x `h` device-independent pixels at `dpr`, filled with
// transparent white.
QImage blankImage(int w, int h, qreal dpr, QImage::Format format)
{
    if (w <= 0 || h <= 0)
        return QImage();
    QImage image(qCeil(w * dpr), qCeil(h * dpr), format);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(255, 255, 255, 0));
    return image;
}

QImage composeTime(FontPluginInterface* font, const TimeParts& parts, QImage::Format format)
{
    if (!font)
        return QImage();
    const SymbolKeys& k = keys();
    const std::array<qint64, 6> values = {parts.weeks,   parts.days,    parts.hours,
                                          parts.minutes, parts.seconds, parts.hundredths};
    auto shown = [&](int unit) { return unit < 6 && values[unit] != -1; };

    const QPixmap zero = font->symbolPixmap(k.digits[0]);
    const QPixmap colon = font->symbolPixmap(k.colon);
    const QPixmap slash = font->symbolPixmap(k.slash);
    const int captionHeight = parts.captions ? logicalHeight(font->symbolPixmap(k.captions[0])) : 0;
    const int height = captionHeight + logicalHeight(zero);

    struct Unit
    {
        NumberPictures number;
        QPixmap caption;
        int width = 0;
        const QPixmap* separator = nullptr; // the slot after the unit
        bool drawSeparator = false;
    };
    std::array<Unit, 6> units;
    int width = logicalWidth(colon);
    bool anyLeft = false;
    for (int i = 0; i < 6; ++i) {
        if (!shown(i))
            continue;
        Unit& u = units[i];
        // Weeks and days are counts of their own; the clock units after
        // another unit always show two digits.
        const bool leadingZero = i >= 2 && anyLeft;
        u.number = numberPictures(font, values[i], leadingZero);
        u.width = u.number.width;
        if (parts.captions) {
            u.caption = font->symbolPixmap(k.captions[i]);
            u.width = qMax(u.width, logicalWidth(u.caption));
        }
        switch (i) {
        case 0:
            u.separator = &slash;
            u.drawSeparator = shown(1);
            break;
        case 1:
            // A slash-wide gap between the calendar part and the clock part.
            u.separator = &slash;
            break;
        case 2:
        case 3:
        case 4:
            u.separator = &colon;
            u.drawSeparator = shown(i + 1);
            break;
        default:
            break;
        }
        width += u.width + (u.separator ? logicalWidth(*u.separator) : 0);
        anyLeft = true;
    }

    const qreal dpr = zero.isNull() ? 1.0 : zero.devicePixelRatio();
    QImage image = blankImage(width, height, dpr, format);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    // Only matters for a skin whose pictures disagree on their pixel ratio.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    int x = logicalWidth(colon);
    for (int i = 0; i < 6; ++i) {
        if (!shown(i))
            continue;
        const Unit& u = units[i];
        if (parts.captions) {
            const int captionWidth = logicalWidth(u.caption);
            if (captionWidth > u.number.width) {
                painter.drawPixmap(x, 0, u.caption);
                drawNumber(painter, u.number, x + (captionWidth - u.number.width) / 2,
                           captionHeight);
            } else {
                painter.drawPixmap(x + (u.number.width - captionWidth) / 2, 0, u.caption);
                drawNumber(painter, u.number, x, captionHeight);
            }
        } else {
            drawNumber(painter, u.number, x, 0);
        }
        x += u.width;
        if (u.separator) {
            if (u.drawSeparator)
                painter.drawPixmap(x, captionHeight, *u.separator);
            x += logicalWidth(*u.separator);
        }
    }
    return image;
}

} // namespace

FontPluginInterface* fontInterface(QObject* plugin)
{
    return plugin ? qobject_cast<FontPluginInterface*>(plugin) : nullptr;
}

FontPluginInterface* findFontPlugin(const QList<QObject*>& plugins, const QString& name)
{
    for (QObject* plugin : plugins) {
        FontPluginInterface* font = fontInterface(plugin);
        if (font && font->name() == name)
            return font;
    }
    return nullptr;
}

FontPluginInterface* firstFontPlugin(const QList<QObject*>& plugins)
{
    for (QObject* plugin : plugins) {
        if (FontPluginInterface* font = fontInterface(plugin))
            return font;
    }
    return nullptr;
}

FontPluginInterface* displayFont(const QList<QObject*>& plugins, const QString& defaultSkin)
{
    FontPluginInterface* font = findFontPlugin(plugins, defaultSkin);
    return font ? font : firstFontPlugin(plugins);
}

QImage renderNumber(FontPluginInterface* font, qint64 value, bool leadingZero)
{
    if (!font)
        return QImage();
    const NumberPictures n = numberPictures(font, value, leadingZero);
    const qreal dpr = n.pictures.isEmpty() ? 1.0 : n.pictures.last().devicePixelRatio();
    QImage image = blankImage(n.width, n.height, dpr, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    drawNumber(painter, n, 0, 0);
    return image;
}

QImage renderTime(FontPluginInterface* font, const TimeParts& parts)
{
    return composeTime(font, parts, QImage::Format_ARGB32);
}

QImage renderTime(const QList<QObject*>& plugins, const QString& name, const TimeParts& parts)
{
    return renderTime(findFontPlugin(plugins, name), parts);
}

double displayScale(int fontSize)
{
    const int f = fontSize == 0 ? 1 : fontSize == 1 ? 2 : 3;
    return 0.3 * f + 0.1;
}

QImage scaleForDisplay(const QImage& image, int fontSize, qreal devicePixelRatio)
{
    if (image.isNull())
        return QImage();
    if (!(devicePixelRatio > 0))
        devicePixelRatio = 1.0;
    const int width = qRound(image.width() / image.devicePixelRatio());
    const int target = int(width * displayScale(fontSize));
    const int pixels = qRound(target * devicePixelRatio);
    if (pixels <= 0)
        return QImage();
    QImage scaled = image.scaledToWidth(pixels, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(devicePixelRatio);
    return scaled;
}

QImage renderForDisplay(const QList<QObject*>& plugins, const QString& defaultSkin,
                        const TimeParts& parts, int fontSize, qreal devicePixelRatio)
{
    // Premultiplied pixels are what the painter and the smooth scaler work in;
    // the scaled result looks the same as from the plain format, only sooner.
    const QImage image =
        composeTime(displayFont(plugins, defaultSkin), parts, QImage::Format_ARGB32_Premultiplied);
    return scaleForDisplay(image, fontSize, devicePixelRatio);
}

QList<QObject*> loadFontPlugins(const QString& programFolder)
{
    QList<QObject*> plugins;
    QDir dir(programFolder);
    // Deliberately unchecked: without a "skins" folder the program's own
    // folder is listed, which holds no plug-in in a normal installation.
    dir.cd(QStringLiteral("skins"));
    const QStringList files = dir.entryList(QDir::Files, QDir::Unsorted);
    for (const QString& file : files) {
        QPluginLoader loader(dir.absoluteFilePath(file));
        if (QObject* instance = loader.instance())
            plugins.append(instance);
    }
    return plugins;
}

} // namespace td
