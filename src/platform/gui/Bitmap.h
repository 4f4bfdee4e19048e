#pragma once

#include "ColorTypes.h"

#include <QImage>
#include <QString>
#include <memory>

class TCanvas;

// One pixel row of a bitmap. Each pixel holds its blue, green and red bytes in
// that order, followed by one unused byte that must stay 0xFF: pixels are
// BytesPerPixel apart, so code that walks the bytes steps by that, not by 3.
class TScanLine {
public:
    static constexpr int BytesPerPixel = 4;

    TScanLine(uchar* row, int width) : m_row(row), m_width(width) {}
    int Width() const { return m_width; }
    // The blue, green and red bytes of pixel x; no bounds check.
    uchar* Pixel(int x) const { return m_row + x * BytesPerPixel; }
    uchar& Blue(int x) const { return Pixel(x)[0]; }
    uchar& Green(int x) const { return Pixel(x)[1]; }
    uchar& Red(int x) const { return Pixel(x)[2]; }

private:
    uchar* m_row;
    int m_width;
};

enum TTransparentMode { tmAuto, tmFixed };

// An off-screen picture with 24-bit colour (stored as QImage::Format_RGB32,
// so QPainter draws on it at full speed). A new or enlarged bitmap is white.
// Copies share nothing the other side can see change.
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap();

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool Empty() const { return m_image.isNull(); }
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    // Keeps the picture at the top left; new area is white. A side of 0 or
    // less makes the bitmap empty.
    void SetSize(int width, int height);

    TCanvas& Canvas() { return *m_canvas; }

    // Picture and transparency settings of the source.
    void Assign(const TBitmap& source);

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value) { m_transparent = value; }
    TTransparentMode TransparentMode() const { return m_transparentMode; }
    // tmAuto forgets a fixed colour.
    void SetTransparentMode(TTransparentMode mode);
    // tmAuto: the colour of the bottom-left pixel as it is now (clNone when
    // empty); tmFixed: the colour set.
    TColor TransparentColor() const;
    // Switches to tmFixed.
    void SetTransparentColor(TColor color);

    // The picture ":/bilder/<Name>.png" from the program's resources.
    // Raises EResNotFound "Ressource %s nicht gefunden" when there is none.
    void LoadFromResourceName(const QString& name);

    // Row y, 0 <= y < Height(); raises ERangeError otherwise. The row stays
    // valid until the size or the picture is replaced.
    TScanLine ScanLine(int y);

    // The pixels as they are now, for copying to the screen.
    const QImage& Image() const;

private:
    friend class TCanvas;
    void setImage(QImage image);

    QImage m_image;
    std::unique_ptr<TCanvas> m_canvas;
    bool m_transparent = false;
    TTransparentMode m_transparentMode = tmAuto;
    TColor m_transparentColor = clDefault;
};
