#include "RegenMesser.h"

#include "AppErrors.h"
#include "Canvas.h"
#include "SysUtils.h"

#include <QPainter>
#include <algorithm>

namespace {

// The water's box reaches from the left edge to x 100, down to row 230.
constexpr int kWasserRechts = 100;
constexpr int kWasserUnten = 230;
constexpr int kSkalaX = 35;
constexpr int kSkalaLinieOben = 68;
constexpr int kSkalaLinieUnten = 217;
constexpr int kBeschriftungX = 60;
// A value further off the scale than this many rows lies off the picture anyway.
constexpr double kMaxZeilenAbstand = 1000.0;

double begrenzt(double Position)
{
    return std::clamp(Position, -RegenMesserGrenze, RegenMesserGrenze);
}

// With an interval of 1 the rounded top can leave a positive amount under
// the scale: the scale then starts at its whole part.
TRegenSkala mitWasserInSicht(TRegenSkala s, int Intervall, double p)
{
    if (p > 0 && static_cast<double>(s.Unten) > p) {
        s.Unten = Trunc(p);
        s.Oben = s.Unten + Intervall;
    }
    return s;
}

} // namespace

// --- The sliding scale --------------------------------------------------------

TRegenSkala RegenSkalaNachPosition(TRegenSkala Skala, int Intervall, double Position)
{
    const double p = begrenzt(Position);
    if (static_cast<double>(Skala.Unten) > p) {
        Skala.Unten = Trunc(p);
        Skala.Oben = Skala.Unten + Intervall;
    } else if (static_cast<double>(Skala.Oben) < p) {
        Skala.Oben = Round(p) + 1;
        Skala.Unten = Skala.Oben - Intervall;
    }
    return mitWasserInSicht(Skala, Intervall, p);
}

TRegenSkala RegenSkalaZentriert(double Position, int Intervall)
{
    const double p = begrenzt(Position);
    TRegenSkala s;
    s.Unten = std::max(0LL, Round(p - Intervall / 2));
    s.Oben = s.Unten + Intervall;
    return mitWasserInSicht(s, Intervall, p);
}

int RegenMesserY(const TRegenSkala& Skala, int Intervall, double Wert)
{
    const double zeilen = 145.0 / Intervall * (begrenzt(Wert) - static_cast<double>(Skala.Unten));
    return RegenSkalaYUnten - static_cast<int>(Round(std::clamp(zeilen, -kMaxZeilenAbstand, kMaxZeilenAbstand)));
}

std::vector<TRegenStrich> RegenMesserStriche(const TRegenSkala& Skala, int Intervall, int AnzeigeInterval)
{
    std::vector<TRegenStrich> striche;
    const long long anzahl = std::min<long long>(Skala.Oben - Skala.Unten + 1, RegenMesserMaxStriche);
    for (long long k = 0; k < anzahl; ++k) {
        const long long v = Skala.Unten + k;
        TRegenStrich s;
        s.Wert = v;
        s.Y = RegenMesserY(Skala, Intervall, static_cast<double>(v));
        s.BisX = v % 10 == 0 ? 55 : v % 5 == 0 ? 50 : 45;
        s.Beschriftet = AnzeigeInterval > 0 && v % AnzeigeInterval == 0;
        striche.push_back(s);
    }
    return striche;
}

// --- The control ----------------------------------------------------------------

TRegenMesser::TRegenMesser(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Without its picture the gauge shows its colour alone.
    try {
        m_vorlage.LoadFromResourceName(QStringLiteral("BILD"));
        m_vorlage.SetTransparentColor(clWhite);
        m_vorlage.SetTransparent(true);
    } catch (...) {
        m_vorlage = TBitmap();
    }
}

TRegenMesser::~TRegenMesser() = default;

int TRegenMesser::SkalaInterval() const
{
    return std::max(m_skalaInterval, 1);
}

void TRegenMesser::SetSkalaInterval(int Value)
{
    m_skalaInterval = std::max(Value, 1);
    m_skala = RegenSkalaZentriert(m_position, SkalaInterval());
    Zeichne();
}

void TRegenMesser::SetPosition(double Value)
{
    // The same amount again leaves scale and water as they are.
    if (Value == m_position)
        return;
    m_position = Value;
    m_skala = RegenSkalaNachPosition(m_skala, SkalaInterval(), Value);
    Zeichne();
}

void TRegenMesser::SetAnzeigeInterval(int Value)
{
    m_anzeigeInterval = std::max(Value, 1);
    Zeichne();
}

void TRegenMesser::SetFarbe(TColor Value)
{
    if (Value == m_farbe)
        return;
    m_farbe = Value;
    Zeichne();
}

void TRegenMesser::SetBeschrFarbe(TColor Value)
{
    if (Value == m_beschrFarbe)
        return;
    m_beschrFarbe = Value;
    Zeichne();
}

void TRegenMesser::SetColor(TColor Value)
{
    if (Value == m_color)
        return;
    m_color = Value;
    Zeichne();
}

void TRegenMesser::SetAutoSize(bool Value)
{
    m_autoSize = Value;
    if (m_autoSize && !m_vorlage.Empty())
        resize(m_vorlage.Width(), m_vorlage.Height());
}

void TRegenMesser::Zeichne()
{
    // The picture with the water behind it; new bitmaps are white, which
    // shows above the water.
    TBitmap w(m_vorlage.Width(), m_vorlage.Height());
    TCanvas& c = w.Canvas();
    c.Brush.Color = m_farbe;
    if (m_position > 0) {
        const int y = RegenMesserY(m_skala, SkalaInterval(), m_position);
        if (y < kWasserUnten)
            c.Rectangle(0, y, kWasserRechts, kWasserUnten);
    }
    c.Draw(0, 0, m_vorlage);
    zeichneSkala(w);
    // The surround (the picture's bottom-left colour) lets Color through.
    w.SetTransparentMode(tmAuto);
    w.SetTransparent(true);

    m_bild.SetSize(width(), height());
    TCanvas& f = m_bild.Canvas();
    f.Brush.Color = m_color;
    f.Brush.Style = bsSolid;
    f.Pen.Style = psClear;
    f.Rectangle(0, 0, width() + 1, height() + 1);
    f.StretchDraw(Rect(0, 0, width(), height()), w);
    update();
}

void TRegenMesser::zeichneSkala(TBitmap& w)
{
    TCanvas& c = w.Canvas();
    c.Font.Color = m_beschrFarbe;
    c.Pen.Color = m_beschrFarbe;
    c.MoveTo(kSkalaX, kSkalaLinieOben);
    c.LineTo(kSkalaX, kSkalaLinieUnten);
    c.Brush.Style = bsClear;
    const int halbeZeile = c.TextHeight(QStringLiteral("8")) / 2;
    for (const TRegenStrich& s : RegenMesserStriche(m_skala, SkalaInterval(), m_anzeigeInterval)) {
        c.MoveTo(kSkalaX, s.Y);
        c.LineTo(s.BisX, s.Y);
        if (s.Beschriftet)
            c.TextOut(kBeschriftungX, s.Y - halbeZeile, IntToStr(s.Wert));
    }
}

void TRegenMesser::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_bild.Image());
}

void TRegenMesser::resizeEvent(QResizeEvent*)
{
    Guarded([this] {
        if (m_autoSize && !m_vorlage.Empty() && size() != QSize(m_vorlage.Width(), m_vorlage.Height())) {
            resize(m_vorlage.Width(), m_vorlage.Height());
            return;
        }
        Zeichne();
    });
}
