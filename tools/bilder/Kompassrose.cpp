#include "InstrumentBilder.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace bilder {

namespace {

constexpr int Breite = 235, Hoehe = 236;
// The history's centre (W div 2, H div 2) as a point between pixels.
constexpr double MitteX = Breite / 2, MitteY = Hoehe / 2;
constexpr double Pi = 3.14159265358979323846;

// Radii of the dial, from the outside in.
constexpr double RandAussen = 116.5;   // navy edge of the blue rim
constexpr double RandMitte = 115.5;    // blue rim starts here
constexpr double BandAussen = 113.0;   // white band with the sixteen fields
constexpr double BandInnen = 85.5;
constexpr double Ring = 83.0;          // the thin ring, just beyond the needle's tip
constexpr double MarkeSpitze = 74.5;

// A point at a bearing (degrees clockwise from north) and a distance.
QPointF Punkt(double grad, double r)
{
    const double a = grad * Pi / 180.0;
    return {MitteX + r * std::sin(a), MitteY - r * std::cos(a)};
}

// The colour of a mark on the thin ring at this pixel, or 0: red triangles
// pointing inward at the eight main directions, short black lines between.
QRgb Marke(double dx, double dy)
{
    for (int i = 0; i < 32; ++i) {
        const double a = i * 11.25 * Pi / 180.0;
        // Along the bearing's ray and across it.
        const double laengs = dx * std::sin(a) - dy * std::cos(a);
        const double quer = dx * std::cos(a) + dy * std::sin(a);
        if (laengs < MarkeSpitze || laengs > BandInnen - 1)
            continue;
        if (i % 4 == 0) {
            if (std::abs(quer) <= 5.0 * (laengs - MarkeSpitze) / (BandInnen - 1 - MarkeSpitze))
                return Rot;
        } else if (std::abs(quer) <= 0.5 && laengs <= Ring && laengs >= Ring - (i % 2 ? 3.5 : 6.5)) {
            return Schwarz;
        }
    }
    return 0;
}

// Rings by distance of each pixel centre: silver, navy and blue rim, white
// band, the thin ring and its marks.
void Scheibe(QImage& bild)
{
    for (int y = 0; y < Hoehe; ++y) {
        auto* zeile = reinterpret_cast<QRgb*>(bild.scanLine(y));
        for (int x = 0; x < Breite; ++x) {
            const double d = std::hypot(x + 0.5 - MitteX, y + 0.5 - MitteY);
            if (d > RandAussen)
                zeile[x] = Silber;
            else if (d > RandMitte)
                zeile[x] = Marine;
            else if (d > BandAussen)
                zeile[x] = Blau;
            else if (d > BandInnen - 1 && d <= BandInnen)
                zeile[x] = Marine;   // inner edge of the band
            else if (const QRgb marke = Marke(x + 0.5 - MitteX, y + 0.5 - MitteY))
                zeile[x] = marke;
            else if (d > Ring - 1 && d <= Ring)
                zeile[x] = Schwarz;  // the thin ring
            else
                zeile[x] = Weiss;
        }
    }
}

// Radial lines between the sixteen fields.
void Teilung(QPainter& p)
{
    p.setPen(QPen(QColor::fromRgb(Marine), 1));
    for (int i = 0; i < 16; ++i) {
        const double grad = 11.25 + 22.5 * i;
        p.drawLine(Punkt(grad, BandInnen), Punkt(grad, BandAussen));
    }
}

// Draws the text centred on a point by its ink, not by its cell.
void Mittig(QPainter& p, const QString& text, QPointF mitte)
{
    const QRectF tinte = QFontMetricsF(p.font()).tightBoundingRect(text);
    p.drawText(QPointF(std::round(mitte.x() - tinte.center().x()),
                       std::round(mitte.y() - tinte.center().y())),
               text);
}

QFont Schrift(int pixel, int gewicht)
{
    QFont f(QString::fromLatin1(pixel < 11 ? "Liberation Sans" : "DejaVu Sans"));
    f.setPixelSize(pixel);
    f.setWeight(QFont::Weight(gewicht));
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    return f;
}

// Upright labels, N, O, S and W in large letters.
void Beschriftung(QPainter& p)
{
    static const char* const namen[16] = {"N", "NNO", "NO", "ONO", "O", "OSO", "SO", "SSO",
                                          "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
    const double mitteBand = (BandAussen + BandInnen) / 2;
    for (int i = 0; i < 16; ++i) {
        const QString text = QString::fromLatin1(namen[i]);
        const double grad = 22.5 * i;
        if (i % 4 == 0) {
            p.setFont(Schrift(17, QFont::Black));
            p.setPen(QColor::fromRgb(i == 0 ? Rot : Marine));
        } else {
            p.setFont(i % 2 ? Schrift(10, QFont::Normal) : Schrift(11, QFont::Bold));
            p.setPen(QColor::fromRgb(Schwarz));
        }
        Mittig(p, text, Punkt(grad, mitteBand));
    }
}

} // namespace

QImage Kompassrose()
{
    QImage bild(Breite, Hoehe, QImage::Format_RGB32);
    Scheibe(bild);
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    Teilung(p);
    Beschriftung(p);
    p.end();
    return bild;
}

} // namespace bilder
