#include "Kompass.h"

#include "Canvas.h"
#include "Konstanten.h"
#include "Meter.h"
#include "SysUtils.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr TColor kNadelLinks = 0xFFFFFF;
constexpr TColor kNadelRechts = 0x808080;
// The rays of a wedge run through points this far from the centre.
constexpr int kStrahl = 100;

QPoint gedreht(QPoint p, double winkel)
{
    DrehePunkt(p, winkel);
    return p;
}

} // namespace

// --- Geometry -------------------------------------------------------------------

void DrehePunkt(QPoint& P, double Winkel)
{
    // The gauge's wrapping index: Round(Winkel * 10) mod 3600, however large.
    const auto k = static_cast<std::size_t>(MeterTabellenIndex(Winkel));
    const double c = CosTabelle()[k];
    const double s = SinTabelle()[k];
    const double x = P.x();
    const double y = P.y();
    P = QPoint(static_cast<int>(Round(x * c - y * s)), static_cast<int>(Round(x * s + y * c)));
}

bool KompassZeigtRichtung(double Position)
{
    return std::isfinite(Position) && Position >= 0;
}

TColor KompassSektorFarbe(double Wert)
{
    const double w = std::isnan(Wert) ? 0.0 : std::clamp(Wert, 0.0, 255.0);
    const int gruen = 255 - static_cast<int>(Round(w));
    return static_cast<TColor>(255 | (gruen << 8));
}

int KompassSektorRadius(std::uint8_t Laenge)
{
    return static_cast<int>(Round(Laenge * 60.0 / 255.0));
}

std::vector<TKompassKeil> KompassKeile(const TKompassVerlauf& Verlauf, int W, int H)
{
    std::vector<TKompassKeil> keile;
    const QPoint mitte(W / 2, H / 2);
    for (int i = 0; i < KompassSektoren; ++i) {
        const TVerlaufSektor& s = Verlauf[static_cast<std::size_t>(i)];
        if (!s.Belegt)
            continue;
        const int r = KompassSektorRadius(s.Laenge);
        if (r <= 0)
            continue;
        // Counter-clockwise from the sector's clockwise edge back to its start.
        keile.push_back({i, mitte, r, mitte + gedreht(QPoint(0, -kStrahl), (i + 1) * 10.0),
                         mitte + gedreht(QPoint(0, -kStrahl), i * 10.0), KompassSektorFarbe(s.Wert)});
    }
    return keile;
}

TKompassNadel KompassNadel(double Position, int W, int H)
{
    const QPoint drehpunkt(W / 2, H / 2 - 2);
    auto punkt = [&](int x, int y) { return drehpunkt + gedreht(QPoint(x, y), Position); };
    return {{punkt(0, 10), punkt(-10, 0), punkt(0, -80)}, {punkt(0, 10), punkt(10, 0), punkt(0, -80)}};
}

// --- The control ----------------------------------------------------------------

TKompass::TKompass(QWidget* parent) : QWidget(parent)
{
    // Without its dial the compass shows nothing; it is not worth an error.
    try {
        m_hintergrund.LoadFromResourceName(QStringLiteral("HINTERGRUND"));
        m_hintergrund.SetTransparent(true);
    } catch (...) {
        m_hintergrund = TBitmap();
    }
}

TKompass::~TKompass() = default;

void TKompass::SetPosition(double Value)
{
    m_position = Value;
    Zeichne();
}

void TKompass::SetZeigeVerlauf(bool Value)
{
    m_zeigeVerlauf = Value;
    Zeichne();
}

void TKompass::SetAutoSize(bool Value)
{
    m_autoSize = Value;
    if (Value && !m_hintergrund.Empty())
        resize(m_hintergrund.Width(), m_hintergrund.Height());
}

void TKompass::SetColor(TColor Value)
{
    m_color = Value;
    Zeichne();
}

void TKompass::Zeichne()
{
    if (baueBild())
        update();
}

bool TKompass::baueBild()
{
    const Stand stand{m_position, m_zeigeVerlauf, m_color, Verlauf};
    if (m_gezeichnet && stand == m_gezeigt)
        return false;
    m_gezeigt = stand;
    m_gezeichnet = true;

    if (m_hintergrund.Empty()) {
        m_bild = TBitmap();
        return true;
    }
    if (m_grund.Empty() || m_grundFarbe != m_color) {
        m_grund = TBitmap(m_hintergrund.Width(), m_hintergrund.Height());
        TCanvas& g = m_grund.Canvas();
        g.Brush.Color = m_color;
        g.FillRect(Rect(0, 0, m_grund.Width(), m_grund.Height()));
        g.Draw(0, 0, m_hintergrund);
        m_grundFarbe = m_color;
    }
    m_bild.Assign(m_grund);
    if (KompassZeigtRichtung(m_position)) {
        TCanvas& c = m_bild.Canvas();
        if (m_zeigeVerlauf)
            zeichneVerlauf(c);
        zeichneNadel(c);
    }
    return true;
}

void TKompass::zeichneVerlauf(TCanvas& c) const
{
    c.Brush.Style = bsSolid;
    for (const TKompassKeil& k : KompassKeile(Verlauf, m_bild.Width(), m_bild.Height())) {
        c.Brush.Color = k.Farbe;
        c.Pen.Color = k.Farbe;
        c.Pie(k.Mitte.x() - k.Radius, k.Mitte.y() - k.Radius, k.Mitte.x() + k.Radius, k.Mitte.y() + k.Radius,
              k.Start.x(), k.Start.y(), k.Ende.x(), k.Ende.y());
        c.Pen.Color = clBlack;
    }
}

void TKompass::zeichneNadel(TCanvas& c) const
{
    const TKompassNadel nadel = KompassNadel(m_position, m_bild.Width(), m_bild.Height());
    c.Pen = TPen{};
    c.Brush.Style = bsSolid;
    c.Brush.Color = kNadelLinks;
    c.Polygon(nadel.Links);
    c.Brush.Color = kNadelRechts;
    c.Polygon(nadel.Rechts);
}

void TKompass::paintEvent(QPaintEvent*)
{
    // A history the owner wrote without a setter after it (no new
    // direction) shows with the next paint.
    baueBild();
    if (m_bild.Empty())
        return;
    QPainter p(this);
    // Nearest pixel: the stretched dial keeps its exact colours.
    p.drawImage(rect(), m_bild.Image());
}
