#include "InstrumentBilder.h"

#include <QPainter>
#include <QPolygonF>
#include <cmath>

namespace bilder {

QList<QRgb> Palette16()
{
    return {Schwarz, Kastanie, Gruen, Oliv, Marine, Purpur, Petrol, Grau,
            Silber, Rot, Hellgruen, Gelb, Blau, Fuchsie, Aqua, Weiss};
}

bool NurFarben(const QImage& bild, const QList<QRgb>& farben)
{
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            if (!farben.contains(bild.pixel(x, y) | 0xFF000000))
                return false;
    return true;
}

namespace {

void Punkt(QImage& bild, int x, int y, QRgb farbe)
{
    if (x >= 0 && y >= 0 && x < bild.width() && y < bild.height())
        bild.setPixel(x, y, farbe);
}

void Zeile(QImage& bild, int y, int von, int bis, QRgb farbe)
{
    for (int x = von; x <= bis; ++x)
        Punkt(bild, x, y, farbe);
}

// Rain gauge: the white inside is symmetric about x 54.5, so the right edge
// of a row is 109 minus its left edge.
constexpr int RegenAchse = 109;

// Left edge of the white inside: the funnel narrows from x 9 at row 14 to
// x 23 at row 50, the tube from there to x 33 at row 227.
int RegenInnenLinks(int y)
{
    if (y <= 50)
        return 9 + int(std::lround(14.0 * (y - 14) / 36.0));
    return 23 + int(std::lround(10.0 * (y - 50) / 177.0));
}

} // namespace

QImage Regenmesser()
{
    QImage bild(111, 241, QImage::Format_RGB32);
    bild.fill(Silber);

    // Glass: white inside, two pixels of black wall on either side.
    for (int y = 14; y <= 227; ++y) {
        const int links = RegenInnenLinks(y);
        const int rechts = RegenAchse - links;
        Zeile(bild, y, links - 2, links - 1, Schwarz);
        Zeile(bild, y, links, rechts, Weiss);
        Zeile(bild, y, rechts + 1, rechts + 2, Schwarz);
    }
    // The funnel's rolled lip overhangs the glass.
    Zeile(bild, 10, 6, RegenAchse - 6, Schwarz);
    for (int y = 11; y <= 13; ++y)
        Zeile(bild, y, 4, RegenAchse - 4, Schwarz);
    // Where the funnel sits on the tube: a collar round the wall.
    for (int y = 48; y <= 52; ++y) {
        const int links = RegenInnenLinks(y);
        Zeile(bild, y, links - 4, links - 3, Schwarz);
        Zeile(bild, y, RegenAchse - links + 3, RegenAchse - links + 4, Schwarz);
    }
    // The funnel's spout inside the tube, ending above the scale's top.
    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor::fromRgb(Schwarz), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygon{{22, 49}, {46, 61}, {46, 63}});
    p.drawPolyline(QPolygon{{87, 49}, {63, 61}, {63, 63}});
    p.end();
    // Rounded bottom and the ground spike below it.
    Zeile(bild, 228, 31, RegenAchse - 31, Schwarz);
    Zeile(bild, 229, 32, RegenAchse - 32, Schwarz);
    Zeile(bild, 230, 34, RegenAchse - 34, Schwarz);
    for (int y = 231; y <= 240; ++y) {
        const int halb = 7 - (y - 231) * 7 / 10;
        Zeile(bild, y, 54 - halb, 55 + halb, Schwarz);
    }
    return bild;
}

QImage Thermometer()
{
    QImage bild(120, 243, QImage::Format_RGB32);
    bild.fill(Silber);

    // Bulb: a red disc about (58.5, 225.5) in a black ring that is two pixels
    // wide at the sides and one at the bottom (row 242 stays background).
    const double mx = 58.5, my = 225.5;
    for (int y = 180; y <= 241; ++y) {
        for (int x = 35; x <= 82; ++x) {
            const double dx = x + 0.5 - mx, dy = y + 0.5 - my;
            const bool hals = x >= 53 && x <= 63 && y >= 200 && y <= 215;
            const bool kugel = std::hypot(dx, dy) <= 15.5;
            const double ring = (dx / 17.3) * (dx / 17.3) + (dy / 16.3) * (dy / 16.3);
            if (y >= 200 && (hals || kugel))
                bild.setPixel(x, y, Rot);
            else if (ring <= 1.0)
                bild.setPixel(x, y, Schwarz);
        }
    }
    // Highlight: a thin arc in the bulb's right half.
    for (int y = 210; y <= 240; ++y) {
        for (int x = 59; x <= 73; ++x) {
            const double dx = x + 0.5 - mx, dy = y + 0.5 - my;
            const double d = std::hypot(dx, dy);
            const double grad = std::atan2(dx, -dy) * 180.0 / 3.14159265358979323846;
            if (d >= 10.0 && d < 11.2 && grad > 35.0 && grad < 115.0)
                bild.setPixel(x, y, Schwarz);
        }
    }

    // Tube: black walls x 51-52 and 64-65, white inside down to row 199.
    for (int y = 28; y <= 212; ++y) {
        Zeile(bild, y, 51, 52, Schwarz);
        Zeile(bild, y, 64, 65, Schwarz);
        if (y <= 199)
            Zeile(bild, y, 53, 63, Weiss);
    }
    // Rounded top, rows 24 to 27, and rounded inner corners below it.
    Zeile(bild, 24, 55, 61, Schwarz);
    Zeile(bild, 25, 53, 63, Schwarz);
    Zeile(bild, 26, 52, 64, Schwarz);
    Zeile(bild, 27, 51, 65, Schwarz);
    Punkt(bild, 53, 28, Schwarz);
    Punkt(bild, 63, 28, Schwarz);
    return bild;
}

QImage TrendPfeil()
{
    QImage bild(67, 39, QImage::Format_RGB32);
    bild.fill(Schwarz);

    // Shaft from the lower left to the head at the upper right.
    const QPointF schwanz(5.0, 33.5), spitze(62.0, 5.0);
    const QPointF weg = spitze - schwanz;
    const double laenge = std::hypot(weg.x(), weg.y());
    const QPointF u = weg / laenge, n(-u.y(), u.x());
    const double schaft = 4.0, kopfBreite = 11.5, kopfLaenge = 21.0;
    const QPointF basis = spitze - u * kopfLaenge;
    const QPolygonF pfeil{schwanz + n * schaft, basis + n * schaft, basis + n * kopfBreite,
                          spitze,               basis - n * kopfBreite, basis - n * schaft,
                          schwanz - n * schaft};

    QPainter p(&bild);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(Weiss));
    p.drawPolygon(pfeil);
    p.end();
    return bild;
}

} // namespace bilder
