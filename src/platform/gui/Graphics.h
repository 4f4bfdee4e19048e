#pragma once

#include "ColorTypes.h"

#include <QColor>
#include <QFont>
#include <QString>

// clNone and clDefault have no colour of their own and give a transparent
// QColor; system colours resolve through the one table of ColorToRGB.
QColor ColorToQColor(TColor color);
// A fully transparent colour gives clNone.
TColor QColorToColor(const QColor& color);
// Resolves system colours to 0x00BBGGRR; every other value comes back as it is.
TColor ColorToRGB(TColor color);

// A font as forms and settings describe it. Height < 0 is the character
// height in pixels, Height > 0 the cell height (characters plus internal
// leading); Size is in points at 96 pixels per inch and is just another view
// of Height.
struct TFontDesc {
    QString Name = QStringLiteral("MS Sans Serif");
    int Height = -11;
    TColor Color = clWindowText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    int Size() const;
    void SetSize(int points);
};

constexpr int ScreenPixelsPerInch = 96;

// Font names of the original desktop that this one lacks map to an installed
// family of the same kind (sans, serif, monospace).
QString ResolveFontFamily(const QString& name);
QFont ToQFont(const TFontDesc& desc);
