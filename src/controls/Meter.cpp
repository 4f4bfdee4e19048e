#include "Meter.h"

#include "AppErrors.h"
#include "Canvas.h"
#include "Exceptions.h"
#include "Konstanten.h"
#include "SysUtils.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr TColor kGrau = 0x808080;
constexpr TColor kWeiss = 0xFFFFFF;
constexpr TColor kSchwarz = 0x000000;
constexpr TColor kGruen = 0x008000;
constexpr int kWertSchriftPunkte = 19;
// A sector bound further below the scale than this many spans is taken as
// this far below: 1000 spans are 750 full turns, so it lands on the scale start.
constexpr double kSpannenUnterSkala = 1000.0;

} // namespace

// --- Geometry -------------------------------------------------------------------

TMeterSkala MeterSkala(int Minimum, int Maximum)
{
    TMeterSkala s;
    s.Unten = Minimum;
    s.Oben = std::max<long long>(Maximum, static_cast<long long>(Minimum) + 1);
    return s;
}

double MeterWinkel(const TMeterSkala& Skala, double Wert)
{
    return 135.0 + (Wert - static_cast<double>(Skala.Unten)) * 270.0 / Skala.Spanne();
}

int MeterTabellenIndex(double Winkel)
{
    if (!std::isfinite(Winkel))
        return 0;
    // fmod is exact and keeps the halves, so this is Round(Winkel * 10) mod 3600.
    const long long k = Round(std::fmod(Winkel * 10.0, 3600.0)) % 3600;
    return static_cast<int>(k < 0 ? k + 3600 : k);
}

QPoint MeterPunkt(double Winkel, double Radius, int D)
{
    const int k = MeterTabellenIndex(Winkel);
    return QPoint(static_cast<int>(Round(Radius * CosTabelle()[static_cast<std::size_t>(k)])) + D / 2,
                  static_cast<int>(Round(Radius * SinTabelle()[static_cast<std::size_t>(k)])) + D / 2);
}

double MeterAnzeigeWert(double Position, double AnzeigeSchritt, const TMeterSkala& Skala)
{
    if (std::isnan(Position))
        return Position;
    const double lo = static_cast<double>(Skala.Unten);
    const double hi = static_cast<double>(Skala.Oben);
    // Anything a quantum or more off the scale ends on its edge anyway; cut it
    // there first so that no huge quotient is rounded.
    const double p = std::clamp(Position, lo - AnzeigeSchritt, hi + AnzeigeSchritt);
    const double wert = static_cast<double>(Round(p / AnzeigeSchritt)) * AnzeigeSchritt;
    return std::min(std::max(wert, lo), hi);
}

TColor MeterNabenFarbe(const TRanges& Bereiche, double Wert)
{
    if (std::isnan(Wert))
        return kGruen;
    try {
        return Bereiche.Farbe(Wert);
    } catch (const ERangeError&) {
        return kGruen;
    }
}

QString MeterWertText(double Wert, int Kommastellen, bool Waiting)
{
    if (Waiting || std::isnan(Wert))
        return QStringLiteral("-");
    return Format(QStringLiteral("%.") + IntToStr(std::max(0, Kommastellen)) + QStringLiteral("f"), {Wert});
}

std::vector<TMeterSektor> MeterSektoren(const TRanges& Bereiche, int Maximum, const TMeterSkala& Skala, int D)
{
    const double radius = D / 2.5;
    const double tiefst = static_cast<double>(Skala.Unten) - kSpannenUnterSkala * Skala.Spanne();
    QPoint p(0, D);
    std::vector<TMeterSektor> sektoren;
    if (Bereiche.Count() == 0) {
        sektoren.push_back({p, MeterPunkt(MeterWinkel(Skala, Maximum), radius, D), kGruen});
        return sektoren;
    }
    for (int i = 0; i < Bereiche.Count(); ++i) {
        const TBereich b = Bereiche.GetBereich(i);
        if (std::isnan(b.Bis))
            continue;
        const double e = std::max(std::min(static_cast<double>(Maximum), b.Bis), tiefst);
        const QPoint q = MeterPunkt(MeterWinkel(Skala, e), radius, D);
        sektoren.push_back({p, q, b.Farbe});
        p = q;
    }
    return sektoren;
}

std::vector<long long> MeterStriche(const TMeterSkala& Skala, int Schritt, bool AbMinimum)
{
    const long long s = std::max(1, Schritt);
    const long long lo = Skala.Unten;
    long long t = lo;
    if (!AbMinimum) {
        // The first multiple of the step at or above lo (% keeps the sign of lo).
        const long long r = lo % s;
        if (r != 0)
            t = lo > 0 ? lo + (s - r) : lo - r;
    }
    std::vector<long long> striche;
    for (; t <= Skala.Oben && static_cast<int>(striche.size()) < MeterMaxStriche; t += s)
        striche.push_back(t);
    return striche;
}

TMeterWertBox MeterWertBox(int D, int H)
{
    const int oben = (D - H) / 2 + D / 4;
    return {D / 2 - D / 7, oben - 1, D / 2 + D / 7, oben + H + 1};
}

bool MeterTextPasst(int D, int W, const TMeterWertBox& Box)
{
    // The frame takes the columns Links and Rechts.
    const int x = (D - W) / 2;
    return x > Box.Links && x + W <= Box.Rechts;
}

int MeterWertSchriftAnpassen(TCanvas& c, const QString& Text, int D, const TMeterWertBox& Box)
{
    c.Font.SetSize(kWertSchriftPunkte);
    int w = c.TextWidth(Text);
    if (MeterTextPasst(D, w, Box))
        return w;
    // Start near the size that fits, then find the largest that does.
    int punkte = std::clamp(kWertSchriftPunkte * (Box.Rechts - Box.Links - 2) / std::max(1, w), 1,
                            kWertSchriftPunkte - 1);
    auto breite = [&](int p) {
        c.Font.SetSize(p);
        return c.TextWidth(Text);
    };
    while (punkte + 1 < kWertSchriftPunkte && MeterTextPasst(D, breite(punkte + 1), Box))
        ++punkte;
    w = breite(punkte);
    while (!MeterTextPasst(D, w, Box) && punkte > 1)
        w = breite(--punkte);
    return w;
}

// --- The control ------------------------------------------------------------------

TMeter::TMeter(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TMeter::~TMeter() = default;

void TMeter::SetMinimum(int Value) { setze(m_minimum, Value); }

void TMeter::SetMaximum(int Value) { setze(m_maximum, Value); }

void TMeter::SetPosition(double Value)
{
    // Windows write the position on every tick; the same value on an
    // unchanged gauge would draw the same picture again.
    if (m_gezeichnet && !m_waiting && Value == m_position)
        return;
    m_position = Value;
    m_waiting = false;
    Zeichne();
}

int TMeter::BeschriftungSchritt() const
{
    return std::max(1, m_beschriftungSchritt);
}

void TMeter::SetBeschriftungSchritt(int Value)
{
    if (Value <= 0)
        return;
    setze(m_beschriftungSchritt, Value);
}

double TMeter::AnzeigeSchritt() const
{
    return std::max(m_anzeigeSchritt, 0.00001);
}

void TMeter::SetAnzeigeSchritt(double Value)
{
    if (!(Value > 0) || !std::isfinite(Value))
        return;
    setze(m_anzeigeSchritt, Value);
}

void TMeter::SetBeschriftungSchrittAbMinimum(bool Value) { setze(m_beschriftungSchrittAbMinimum, Value); }

void TMeter::SetZusatzBeschriftung(bool Value) { setze(m_zusatzBeschriftung, Value); }

void TMeter::SetBeschriftung(const QString& Value) { setze(m_beschriftung, Value); }

void TMeter::SetAnzahlKommastellen(int Value) { setze(m_anzahlKommastellen, Value); }

void TMeter::SetBereiche(const TRanges& Value) { setze(m_bereiche, Value); }

void TMeter::SetBeschrFarbeVonBereich(bool Value) { setze(m_beschrFarbeVonBereich, Value); }

void TMeter::SetBeschrFarbe(TColor Value) { setze(m_beschrFarbe, Value); }

void TMeter::SetBeschrHFarbe(TColor Value) { setze(m_beschrHFarbe, Value); }

void TMeter::SetColor(TColor Value)
{
    m_color = Value;
    m_gezeichnet = false;
}

void TMeter::Zeichne()
{
    m_gezeichnet = true;
    const int W = width();
    const int H = height();
    const int D = W;
    m_bild.SetSize(W, H);
    TBitmap t(D, std::min(H, D));
    TCanvas& c = t.Canvas();
    c.Font = m_font;
    c.Brush.Color = m_color;
    c.FillRect(Rect(0, 0, t.Width(), t.Height()));

    const TMeterSkala skala = MeterSkala(m_minimum, m_maximum);
    const double wert = MeterAnzeigeWert(m_position, AnzeigeSchritt(), skala);
    const TColor nabe = MeterNabenFarbe(m_bereiche, wert);

    c.Pen.Width = D / 150 + 1;
    zeichneSektoren(c, D, skala);
    zeichneZeiger(c, D, skala, wert, nabe);
    zeichneStriche(c, D, skala);
    if (m_zusatzBeschriftung)
        zeichneWertBox(c, D, wert, nabe);

    TCanvas& b = m_bild.Canvas();
    b.Brush.Color = m_color;
    b.Brush.Style = bsSolid;
    b.FillRect(Rect(0, 0, W, H));
    b.Draw((W - D) / 2, std::max((H - D) / 2, 0), t);
    update();
}

void TMeter::zeichneSektoren(TCanvas& c, int D, const TMeterSkala& skala)
{
    c.Pen.Color = kGrau;
    for (const TMeterSektor& s : MeterSektoren(m_bereiche, m_maximum, skala, D)) {
        c.Brush.Color = s.Farbe;
        c.Pie(0, 0, D, D, s.Bis.x(), s.Bis.y(), s.Von.x(), s.Von.y());
    }
    // The inner disc leaves only a ring of the sectors; the arc marks the scale.
    const int rand = D / 20;
    c.Pen.Color = kWeiss;
    c.Pen.Style = psClear;
    c.Brush.Color = m_color;
    c.Pie(rand, rand, D - rand, D - rand, rand, D, rand, D);
    c.Pen.Style = psSolid;
    c.Arc(rand, rand, D - rand, D - rand, D, D, 0, D);
}

void TMeter::zeichneZeiger(TCanvas& c, int D, const TMeterSkala& skala, double wert, TColor nabe)
{
    // No value: the needle rests at the scale start.
    const double winkel = std::isnan(wert) ? 135.0 : MeterWinkel(skala, wert);
    c.Pen.Color = kSchwarz;
    c.MoveTo(D / 2, D / 2);
    const QPoint spitze = MeterPunkt(winkel, D / 2.5, D);
    c.LineTo(spitze.x(), spitze.y());

    c.Pen.Style = psClear;
    c.Brush.Color = nabe;
    c.Pie(D / 2 - 7, D / 2 - 7, D / 2 + 7, D / 2 + 7, D, D, D, D);
}

void TMeter::zeichneStriche(TCanvas& c, int D, const TMeterSkala& skala)
{
    const TFontDesc schrift = c.Font;
    c.Font.Bold = c.Font.Italic = c.Font.Underline = c.Font.StrikeOut = false;
    c.Pen.Style = psSolid;
    c.Pen.Width = 1;
    c.Brush.Style = bsClear;
    const double r1 = D / 2 - D / 20.0;
    const double rText = D / 2 - D / 25.0 - 25;
    for (long long t : MeterStriche(skala, BeschriftungSchritt(), m_beschriftungSchrittAbMinimum)) {
        const double a = MeterWinkel(skala, static_cast<double>(t));
        const QPoint aussen = MeterPunkt(a, r1, D);
        const QPoint innen = MeterPunkt(a, r1 - 10, D);
        c.MoveTo(aussen.x(), aussen.y());
        c.LineTo(innen.x(), innen.y());
        const QString text = IntToStr(t);
        const QPoint p = MeterPunkt(a, rText, D);
        c.TextOut(p.x() - c.TextWidth(text) / 2, p.y() - c.TextHeight(text) / 2, text);
    }
    c.Font = schrift;
}

void TMeter::zeichneWertBox(TCanvas& c, int D, double wert, TColor nabe)
{
    c.TextOut((D - c.TextWidth(m_beschriftung)) / 2, D / 2 + 2 * c.TextHeight(m_beschriftung), m_beschriftung);

    const QString text = MeterWertText(wert, m_anzahlKommastellen, m_waiting);
    c.Brush.Style = bsSolid;
    c.Brush.Color = m_beschrHFarbe;
    c.Font.SetSize(kWertSchriftPunkte);
    c.Font.Color = m_beschrFarbeVonBereich ? nabe : m_beschrFarbe;
    // The box keeps the height of the 19-point text whatever size the text gets.
    const TMeterWertBox box = MeterWertBox(D, c.TextHeight(text));
    c.FillRect(Rect(box.Links, box.Oben, box.Rechts, box.Unten));
    c.Pen.Color = kGrau;
    c.MoveTo(box.Links, box.Oben);
    c.LineTo(box.Rechts, box.Oben);
    c.Pen.Color = kWeiss;
    c.LineTo(box.Rechts, box.Unten);
    c.LineTo(box.Links, box.Unten);
    c.Pen.Color = kGrau;
    c.LineTo(box.Links, box.Oben);

    const int w = MeterWertSchriftAnpassen(c, text, D, box);
    c.TextOut((D - w) / 2, (D - c.TextHeight(text)) / 2 + D / 4, text);
}

void TMeter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_bild.Image());
}

void TMeter::resizeEvent(QResizeEvent*)
{
    Guarded([this] { Zeichne(); });
}
