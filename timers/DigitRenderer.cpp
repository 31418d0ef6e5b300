// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/DigitRenderer.h"

#include "timers/BuiltinDigits.h"
#include "timers/FontPluginInterface.h"

#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QObject>
#include <QPainter>
#include <QPixmap>
#include <QPluginLoader>
#include <QSet>
#include <QVarLengthArray>
#include <QtMath>

#include <array>
#include <memory>

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

/// Says `what` of the skin `name` in the log, once per skin and process.
void tellOnce(const QString& name, const char* what)
{
    static QSet<QString> told;
    const QString key = name + QLatin1Char('\0') + QLatin1String(what);
    if (told.contains(key))
        return;
    told.insert(key);
    qWarning("Skin \"%s\": %s", qPrintable(name), what);
}

/// A picture of a skin no larger than this many device-independent pixels a
/// side, at no more than this many device pixels to one: a huge picture would
/// make a huge window and take all the memory.
constexpr int maxPictureSide = 256;
constexpr qreal maxPictureRatio = 4.0;

/// The skin's picture for `key`, scaled down (once) when it is oversize.
QPixmap picture(FontPluginInterface* font, const QString& key)
{
    const QPixmap p = font->symbolPixmap(key);
    if (p.isNull())
        return p;
    const qreal ratio = p.devicePixelRatio() > 0 ? p.devicePixelRatio() : 1.0;
    const qreal w = p.width() / ratio, h = p.height() / ratio;
    const qreal k = qMin<qreal>(1.0, maxPictureSide / qMax(w, h));
    if (k >= 1.0 && ratio <= maxPictureRatio)
        return p;
    static QHash<qint64, QPixmap> scaled;
    if (const auto it = scaled.constFind(p.cacheKey()); it != scaled.constEnd())
        return *it;
    tellOnce(font->name(), "pictures too large are scaled down to at most 256 x 256 pixels");
    const qreal r = qMin(ratio, maxPictureRatio);
    QPixmap small = p.scaled(qMax(1, qRound(w * k * r)), qMax(1, qRound(h * k * r)),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    small.setDevicePixelRatio(r);
    // A skin that draws new pictures all the time must not make this grow.
    if (scaled.size() >= 256)
        scaled.clear();
    return *scaled.insert(p.cacheKey(), small);
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
        const QPixmap p = (c >= '0' && c <= '9') ? picture(font, k.digits[c - '0'])
                                                 : picture(font, QString(QChar(c)));
        n.width += logicalWidth(p);
        n.height = logicalHeight(p);
        n.pictures.append(p);
    }
    return n;
}

// One picture at its place in a time image, in device-independent pixels.
struct Placement
{
    QPixmap picture;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Layout
{
    QVarLengthArray<Placement, 48> placements;
    int width = 0;
    int height = 0;
    qreal ratio = 1.0; // the skin's device pixels per picture pixel

    void add(const QPixmap& p, int x, int y)
    {
        if (!p.isNull())
            placements.append({p, x, y, logicalWidth(p), logicalHeight(p)});
    }
    void addNumber(const NumberPictures& n, int x, int y)
    {
        for (const QPixmap& p : n.pictures) {
            add(p, x, y);
            x += logicalWidth(p);
        }
    }
};

Layout layoutTime(FontPluginInterface* font, const TimeParts& parts)
{
    Layout layout;
    const SymbolKeys& k = keys();
    const std::array<qint64, 6> values = {parts.weeks,   parts.days,    parts.hours,
                                          parts.minutes, parts.seconds, parts.hundredths};
    auto shown = [&](int unit) { return unit < 6 && values[unit] != -1; };

    const QPixmap zero = picture(font, k.digits[0]);
    const QPixmap colon = picture(font, k.colon);
    const QPixmap slash = picture(font, k.slash);
    const int captionHeight = parts.captions ? logicalHeight(picture(font, k.captions[0])) : 0;
    layout.height = captionHeight + logicalHeight(zero);
    layout.ratio = zero.isNull() ? 1.0 : zero.devicePixelRatio();

    int x = logicalWidth(colon); // the left margin
    bool anyLeft = false;
    for (int i = 0; i < 6; ++i) {
        if (!shown(i))
            continue;
        // Weeks and days are counts of their own; the clock units after
        // another unit always show two digits.
        const bool leadingZero = i >= 2 && anyLeft;
        anyLeft = true;
        const NumberPictures number = numberPictures(font, values[i], leadingZero);
        int unitWidth = number.width;
        if (parts.captions) {
            const QPixmap caption = picture(font, k.captions[i]);
            const int captionWidth = logicalWidth(caption);
            if (captionWidth > number.width) {
                layout.add(caption, x, 0);
                layout.addNumber(number, x + (captionWidth - number.width) / 2, captionHeight);
                unitWidth = captionWidth;
            } else {
                layout.add(caption, x + (number.width - captionWidth) / 2, 0);
                layout.addNumber(number, x, captionHeight);
            }
        } else {
            layout.addNumber(number, x, 0);
        }
        x += unitWidth;

        // The slot after the unit; it takes its width even when left blank,
        // so days and hours keep a gap and the last unit a right margin.
        const QPixmap* separator = nullptr;
        bool drawn = false;
        switch (i) {
        case 0:
            separator = &slash;
            drawn = shown(1);
            break;
        case 1:
            separator = &slash;
            break;
        case 2:
        case 3:
        case 4:
            separator = &colon;
            drawn = shown(i + 1);
            break;
        default:
            break;
        }
        if (separator) {
            if (drawn)
                layout.add(*separator, x, captionHeight);
            x += logicalWidth(*separator);
        }
    }
    layout.width = x;
    return layout;
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

// The layout painted at the skin's own resolution: every picture as it is.
QImage paintExact(const Layout& layout, QImage::Format format)
{
    QImage image = blankImage(layout.width, layout.height, layout.ratio, format);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    // Only matters for a skin whose pictures disagree on their pixel ratio.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Placement& p : layout.placements)
        painter.drawPixmap(p.x, p.y, p.picture);
    return image;
}

// Pictures smoothly scaled to a size in device pixels, made once: scaling a
// whole time image on every tick costs far more than composing it.
class ScaledPictures
{
public:
    const QImage& get(const QPixmap& picture, int width, int height)
    {
        const Key key{picture.cacheKey(), width, height};
        auto it = images.constFind(key);
        if (it != images.constEnd())
            return *it;
        // A skin that draws new pictures all the time must not make this grow.
        if (images.size() >= 1024)
            images.clear();
        QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(1.0);
        if (image.size() != QSize(width, height))
            image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return *images.insert(key, image);
    }

private:
    struct Key
    {
        qint64 picture;
        int width;
        int height;
        bool operator==(const Key& o) const
        {
            return picture == o.picture && width == o.width && height == o.height;
        }
    };
    friend size_t qHash(const Key& k, size_t seed = 0)
    {
        return qHashMulti(seed, k.picture, k.width, k.height);
    }
    QHash<Key, QImage> images;
};

// The layout at `width` device pixels, each picture pre-scaled to its cell,
// as if the exact image had been scaled smoothly to that width.
DisplayLayout placeScaled(const Layout& layout, int width, qreal ratio)
{
    DisplayLayout placed;
    if (layout.width <= 0 || layout.height <= 0 || width <= 0)
        return placed;
    static ScaledPictures scaled;
    const qreal f = qreal(width) / layout.width;
    const int height = qRound(layout.height * f);
    if (height <= 0)
        return placed;
    placed.size = QSize(width, height);
    placed.ratio = ratio;
    placed.pictures.reserve(layout.placements.size());
    for (const Placement& p : layout.placements) {
        // Edges rounded, not sizes, so neighbours tile without gaps.
        const int left = qRound(p.x * f), top = qRound(p.y * f);
        const int w = qRound((p.x + p.width) * f) - left;
        const int h = qRound((p.y + p.height) * f) - top;
        if (w > 0 && h > 0)
            placed.pictures.append(
                {p.picture.cacheKey(), QRect(left, top, w, h), scaled.get(p.picture, w, h)});
    }
    return placed;
}

QImage paintScaled(const Layout& layout, int width, qreal ratio)
{
    const DisplayLayout placed = placeScaled(layout, width, ratio);
    if (placed.isNull())
        return QImage();
    QImage image(placed.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (const PlacedPicture& p : placed.pictures)
        painter.drawImage(p.rect.topLeft(), p.image);
    painter.end();
    image.setDevicePixelRatio(ratio);
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

QImage renderTime(FontPluginInterface* font, const TimeParts& parts)
{
    if (!font)
        return QImage();
    return paintExact(layoutTime(font, parts), QImage::Format_ARGB32);
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

namespace {

// Device pixels of a display image `width` device-independent pixels wide
// before scaling.
int displayPixels(int width, int fontSize, qreal ratio)
{
    return qRound(int(width * displayScale(fontSize)) * ratio);
}

qreal validRatio(qreal ratio)
{
    if (ratio > 0)
        return ratio;
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

BuiltinDigits& builtinDigits(const QFont& font)
{
    static QHash<QString, std::shared_ptr<BuiltinDigits>> made;
    std::shared_ptr<BuiltinDigits>& digits = made[font.key()];
    if (!digits)
        digits = std::make_shared<BuiltinDigits>(font);
    return *digits;
}

/// The skin to draw with, else the built-in digits: a timer always shows its time.
FontPluginInterface* drawingFont(const QList<QObject*>& plugins, const QString& defaultSkin,
                                 const QFont& windowFont)
{
    FontPluginInterface* font = displayFont(plugins, defaultSkin);
    if (font && !font->symbolPixmap(keys().digits[0]).isNull())
        return font;
    if (font)
        tellOnce(font->name(), "it draws no digits; timers show the built-in ones");
    return &builtinDigits(windowFont);
}

} // namespace

QImage renderForDisplay(const QList<QObject*>& plugins, const QString& defaultSkin,
                        const TimeParts& parts, int fontSize, qreal devicePixelRatio,
                        const QFont& windowFont)
{
    FontPluginInterface* font = drawingFont(plugins, defaultSkin, windowFont);
    devicePixelRatio = validRatio(devicePixelRatio);
    const Layout layout = layoutTime(font, parts);
    return paintScaled(layout, displayPixels(layout.width, fontSize, devicePixelRatio),
                       devicePixelRatio);
}

DisplayLayout layoutForDisplay(const QList<QObject*>& plugins, const QString& defaultSkin,
                               const TimeParts& parts, int fontSize, qreal devicePixelRatio,
                               const QFont& windowFont)
{
    FontPluginInterface* font = drawingFont(plugins, defaultSkin, windowFont);
    devicePixelRatio = validRatio(devicePixelRatio);
    const Layout layout = layoutTime(font, parts);
    return placeScaled(layout, displayPixels(layout.width, fontSize, devicePixelRatio),
                       devicePixelRatio);
}

namespace {

/// Why a loaded plug-in cannot draw digits; empty when it can.
QString refusal(FontPluginInterface* font)
{
    if (!font)
        return QStringLiteral("it is no digit font (it lacks the interface %1)")
            .arg(QLatin1String(FontPluginInterface_iid));
    for (const QString& digit : keys().digits)
        if (font->symbolPixmap(digit).isNull())
            return QStringLiteral("it gives an empty picture for \"%1\"").arg(digit);
    return QString();
}

} // namespace

QList<QObject*> loadFontPlugins(const QString& programFolder)
{
    QList<QObject*> plugins;
    QDir dir(programFolder);
    // Deliberately unchecked: without a "skins" folder the program's own
    // folder is listed, which holds no plug-in in a normal installation.
    dir.cd(QStringLiteral("skins"));
    // By name, so the first font (the default skin of a new user) is the same
    // on every machine rather than whatever the file system lists first.
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& file : files) {
        QPluginLoader loader(dir.absoluteFilePath(file));
        // Every symbol is bound now: a skin built against something that is
        // not there is refused here, instead of ending the program the first
        // time one of its functions runs.
        loader.setLoadHints(loader.loadHints() | QLibrary::ResolveAllSymbolsHint);
        if (QObject* instance = loader.instance()) {
            const QString problem = refusal(fontInterface(instance));
            if (!problem.isEmpty())
                qWarning("Skin %s not used: %s", qPrintable(loader.fileName()),
                         qPrintable(problem));
            // Without the interface it stays loaded, drawing nothing; a font
            // without digits would draw blank timers.
            if (problem.isEmpty() || !fontInterface(instance))
                plugins.append(instance);
            else
                loader.unload();
        } else if (QLibrary::isLibrary(file))
            qWarning("Skin %s not loaded: %s", qPrintable(loader.fileName()),
                     qPrintable(loader.errorString()));
    }
    return plugins;
}

} // namespace td
