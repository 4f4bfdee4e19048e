#include "Bitmap.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "SysUtils.h"

#include <algorithm>
#include <cstring>

TBitmap::TBitmap() : m_canvas(new TCanvas(*this)) {}

TBitmap::TBitmap(int width, int height) : TBitmap()
{
    SetSize(width, height);
}

TBitmap::TBitmap(const TBitmap& other) : TBitmap()
{
    Assign(other);
}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::setImage(QImage image)
{
    m_canvas->release();
    if (!image.isNull() && image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    m_image = std::move(image);
}

void TBitmap::SetSize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    if (width <= 0 || height <= 0) {
        setImage(QImage());
        return;
    }
    QImage grown(width, height, QImage::Format_RGB32);
    grown.fill(Qt::white);
    const QImage& old = Image();
    const int w = std::min(width, old.width());
    const int h = std::min(height, old.height());
    for (int y = 0; y < h; ++y)
        std::memcpy(grown.scanLine(y), old.constScanLine(y), static_cast<std::size_t>(w) * TScanLine::BytesPerPixel);
    setImage(std::move(grown));
}

void TBitmap::Assign(const TBitmap& source)
{
    if (this == &source)
        return;
    // Shared until one side draws; the painter detaches it then.
    setImage(source.Image());
    m_transparent = source.m_transparent;
    m_transparentMode = source.m_transparentMode;
    m_transparentColor = source.m_transparentColor;
}

void TBitmap::SetTransparentMode(TTransparentMode mode)
{
    m_transparentMode = mode;
    if (mode == tmAuto)
        m_transparentColor = clDefault;
}

TColor TBitmap::TransparentColor() const
{
    if (m_transparentMode == tmFixed)
        return m_transparentColor;
    if (Empty())
        return clNone;
    return m_canvas->Pixel(0, Height() - 1);
}

void TBitmap::SetTransparentColor(TColor color)
{
    m_transparentColor = color;
    m_transparentMode = tmFixed;
}

void TBitmap::LoadFromResourceName(const QString& name)
{
    QImage image(QStringLiteral(":/bilder/") + name + QStringLiteral(".png"));
    if (image.isNull())
        throw EResNotFound(Format(QStringLiteral("Ressource %s nicht gefunden"), {name}));
    setImage(std::move(image));
}

TScanLine TBitmap::ScanLine(int y)
{
    if (y < 0 || y >= Height())
        throw ERangeError(QStringLiteral("Fehler bei Bereichsprüfung"));
    m_canvas->release();
    return TScanLine(m_image.scanLine(y), Width());
}

const QImage& TBitmap::Image() const
{
    m_canvas->release();
    return m_image;
}
