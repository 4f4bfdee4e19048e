#include "Graphics.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace {

constexpr TColor rgb(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }

// The classic desktop scheme; one table for every system colour.
constexpr TColor systemColors[] = {
    rgb(212, 208, 200),   // clScrollBar
    rgb(58, 110, 165),    // clBackground
    rgb(0, 0, 128),       // clActiveCaption
    rgb(128, 128, 128),   // clInactiveCaption
    rgb(212, 208, 200),   // clMenu
    rgb(255, 255, 255),   // clWindow
    rgb(0, 0, 0),         // clWindowFrame
    rgb(0, 0, 0),         // clMenuText
    rgb(0, 0, 0),         // clWindowText
    rgb(255, 255, 255),   // clCaptionText
    rgb(212, 208, 200),   // clActiveBorder
    rgb(212, 208, 200),   // clInactiveBorder
    rgb(128, 128, 128),   // clAppWorkSpace
    rgb(0, 0, 128),       // clHighlight
    rgb(255, 255, 255),   // clHighlightText
    rgb(212, 208, 200),   // clBtnFace
    rgb(128, 128, 128),   // clBtnShadow
    rgb(128, 128, 128),   // clGrayText
    rgb(0, 0, 0),         // clBtnText
    rgb(212, 208, 200),   // clInactiveCaptionText
    rgb(255, 255, 255),   // clBtnHighlight
    rgb(64, 64, 64),      // cl3DDkShadow
    rgb(212, 208, 200),   // cl3DLight
    rgb(0, 0, 0),         // clInfoText
    rgb(255, 255, 225),   // clInfoBk
};

bool isSystemColor(TColor c) { return static_cast<std::uint32_t>(c) & 0x80000000u; }

// Round half away from zero of a * b / c.
int mulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

enum class FontKind { Sans, Serif, Mono, Other };

FontKind kindOf(const QString& name)
{
    static const QStringList sans = {
        QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
        QStringLiteral("Tahoma"), QStringLiteral("Verdana"), QStringLiteral("Segoe UI"),
        QStringLiteral("MS Shell Dlg"), QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Helvetica"),
        QStringLiteral("Small Fonts"), QStringLiteral("System")};
    static const QStringList serif = {QStringLiteral("Times New Roman"), QStringLiteral("MS Serif"),
                                      QStringLiteral("Times"), QStringLiteral("Georgia")};
    static const QStringList mono = {QStringLiteral("Courier New"), QStringLiteral("Courier"),
                                     QStringLiteral("Lucida Console"), QStringLiteral("Consolas"),
                                     QStringLiteral("Fixedsys"), QStringLiteral("Terminal")};
    const QString n = name.trimmed();
    if (sans.contains(n, Qt::CaseInsensitive))
        return FontKind::Sans;
    if (serif.contains(n, Qt::CaseInsensitive))
        return FontKind::Serif;
    if (mono.contains(n, Qt::CaseInsensitive))
        return FontKind::Mono;
    return FontKind::Other;
}

QString firstInstalled(const QStringList& candidates, const QString& generic)
{
    if (qGuiApp)
        for (const QString& c : candidates)
            if (QFontDatabase::hasFamily(c))
                return c;
    return generic;
}

QString familyFor(FontKind kind)
{
    switch (kind) {
    case FontKind::Serif:
        // Liberation first: its widths match the fonts the forms were laid out for.
        return firstInstalled({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                               QStringLiteral("Noto Serif")},
                              QStringLiteral("serif"));
    case FontKind::Mono:
        return firstInstalled({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                               QStringLiteral("Noto Sans Mono")},
                              QStringLiteral("monospace"));
    default:
        return firstInstalled({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                               QStringLiteral("Noto Sans")},
                              QStringLiteral("sans-serif"));
    }
}

QFont::StyleHint hintFor(FontKind kind)
{
    switch (kind) {
    case FontKind::Serif: return QFont::Serif;
    case FontKind::Mono: return QFont::Monospace;
    default: return QFont::SansSerif;
    }
}

} // namespace

TColor ColorToRGB(TColor color)
{
    if (!isSystemColor(color))
        return color;
    const std::uint32_t index = static_cast<std::uint32_t>(color) & 0xFFu;
    return index < std::size(systemColors) ? systemColors[index] : clBlack;
}

QColor ColorToQColor(TColor color)
{
    if (color == clNone || color == clDefault)
        return QColor(0, 0, 0, 0);
    const std::uint32_t v = static_cast<std::uint32_t>(ColorToRGB(color));
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& color)
{
    if (!color.isValid() || color.alpha() == 0)
        return clNone;
    const QColor c = color.toRgb();
    return rgb(c.red(), c.green(), c.blue());
}

int TFontDesc::Size() const
{
    return -mulDiv(Height, 72, ScreenPixelsPerInch);
}

void TFontDesc::SetSize(int points)
{
    Height = -mulDiv(points, ScreenPixelsPerInch, 72);
}

QString ResolveFontFamily(const QString& name)
{
    static QMutex mutex;
    static QHash<QString, QString> resolved;
    const QString key = name.trimmed().toLower();
    QMutexLocker lock(&mutex);
    auto it = resolved.constFind(key);
    if (it != resolved.constEnd())
        return *it;
    QString family;
    if (!key.isEmpty() && qGuiApp && QFontDatabase::hasFamily(name.trimmed()))
        family = name.trimmed();
    else
        family = familyFor(kindOf(name));
    resolved.insert(key, family);
    return family;
}

QFont ToQFont(const TFontDesc& desc)
{
    const FontKind kind = kindOf(desc.Name);
    QFont font(ResolveFontFamily(desc.Name));
    font.setStyleHint(hintFor(kind));
    font.setBold(desc.Bold);
    font.setItalic(desc.Italic);
    font.setUnderline(desc.Underline);
    font.setStrikeOut(desc.StrikeOut);
    if (desc.Height < 0) {
        font.setPixelSize(-desc.Height);
    } else if (desc.Height > 0) {
        // Cell height: shrink the character size until the line fits.
        font.setPixelSize(desc.Height);
        if (qGuiApp) {
            const int cell = QFontMetrics(font).height();
            if (cell > desc.Height)
                font.setPixelSize(std::max(1, mulDiv(desc.Height, desc.Height, cell)));
        }
    }
    return font;
}
