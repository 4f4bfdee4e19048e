#include "TermometerFensterUnit.h"

#include "AppErrors.h"
#include "Canvas.h"
#include "Exceptions.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "TextFensterUnit.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kSkalaUnten = 190;
constexpr int kSkalaOben = 50;
constexpr int kSaeuleLinks = 53;
constexpr int kSaeuleRechts = 64;   // exclusive
constexpr int kSaeuleUnten = 200;   // exclusive
// Furthest a scale window goes: far beyond any temperature, and any span
// added to it still fits an int.
constexpr double kGrenze = 1e9;

double pixelProGrad(int Skala)
{
    return static_cast<double>(kSkalaUnten - kSkalaOben) / Skala;
}

int ganzzahlig(double v)
{
    return static_cast<int>(Trunc(std::clamp(v, -kGrenze, kGrenze)));
}

} // namespace

// --- The scale ------------------------------------------------------------------

TSkalenbereich ErzeugeSkalenbereich(int A, int B)
{
    return {std::min(A, B), std::max(A, B)};
}

bool ThermometerMitSaeule(double Wert)
{
    return Wert != KeinWert && std::isfinite(Wert);
}

TSkalenbereich SchiebeSkala(TSkalenbereich Bereich, int Skala, double Wert)
{
    if (Bereich.Bis - Bereich.Von != Skala)
        Bereich = ErzeugeSkalenbereich(Bereich.Von, Bereich.Von + Skala);
    if (!ThermometerMitSaeule(Wert))
        return Bereich;
    const int t = ganzzahlig(Wert);
    if (Bereich.Von > Wert)
        Bereich = ErzeugeSkalenbereich(t - 1, t - 1 + Skala);
    if (Bereich.Bis < Wert)
        Bereich = ErzeugeSkalenbereich(t + 1 - Skala, t + 1);
    return Bereich;
}

std::vector<TThermometerStrich> ThermometerStriche(TSkalenbereich Bereich, int Skala)
{
    const double p = pixelProGrad(Skala);
    std::vector<TThermometerStrich> striche;
    striche.reserve(static_cast<std::size_t>(Bereich.Bis - Bereich.Von) + 1);
    for (int i = 0; i <= Bereich.Bis - Bereich.Von; ++i) {
        const int t = Bereich.Von + i;
        const TStrichArt art = t % 10 == 0 ? TStrichArt::Lang : t % 5 == 0 ? TStrichArt::Mittel : TStrichArt::Kurz;
        striche.push_back({t, static_cast<int>(Round(kSkalaUnten - i * p)), art});
    }
    return striche;
}

int ThermometerSaeulenOben(TSkalenbereich Bereich, int Skala, double Wert)
{
    const double oben = kSkalaUnten - (Wert - Bereich.Von) * pixelProGrad(Skala);
    return static_cast<int>(Round(std::clamp(oben, 0.0, static_cast<double>(kSaeuleUnten))));
}

void FaerbeSaeule(TBitmap& Bild, TColor Farbe)
{
    const auto rgb = static_cast<std::uint32_t>(ColorToRGB(Farbe));
    const auto rot = static_cast<uchar>(rgb & 0xFF);
    const auto gruen = static_cast<uchar>((rgb >> 8) & 0xFF);
    const auto blau = static_cast<uchar>((rgb >> 16) & 0xFF);
    const int bis = std::min(81, Bild.Width() - 1);
    for (int y = kSkalaOben; y < Bild.Height(); ++y) {
        const TScanLine zeile = Bild.ScanLine(y);
        for (int x = 43; x <= bis; ++x) {
            if (zeile.Blue(x) == 0 && zeile.Green(x) == 0 && zeile.Red(x) == 255) {
                zeile.Blue(x) = blau;
                zeile.Green(x) = gruen;
                zeile.Red(x) = rot;
            }
        }
    }
}

// --- The window -----------------------------------------------------------------

TTermometerFenster::TTermometerFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader,
                                       const QString& Beschriftung, const QString& Einheit, const QString& Spalte,
                                       const QString& IniDatei, int Nachkommastellen)
    : TSpaltenFenster(B, AOwner, 2)
{
    BaueForm();
    SetSkalenbereich(ErzeugeSkalenbereich(0, 30));
    Hintergrund.LoadFromResourceName(QStringLiteral("THERMOMETER"));
    Hintergrund.SetTransparent(true);
    Starte<TStandardClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    ZeigeWert(KeinWert);
}

void TTermometerFenster::BaueForm()
{
    resize(125, 315);
    Image1 = new TImage(this, 3, 31, 120, 243);
    Image1->SetAutoSize(true);
    BeschriftungLabel = new TFensterLabel(this, 2, 5, 121, 25, QStringLiteral("###########"));
    BeschriftungLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    BeschriftungLabel->SetBold(true);
    BeschriftungLabel->setWordWrap(true);
    AktuellerWertLabel = new TFensterLabel(this, 5, 276, 73, 29, QStringLiteral("-"));
    AktuellerWertLabel->setAlignment(Qt::AlignCenter);
    AktuellerWertLabel->SetBold(true);
    AktuellerWertLabel->SetFontHeight(-24);
    AktuellerWertLabel->SetFontColor(clRed);
    AktuellerWertLabel->SetColor(clBlack);
    AktuellerWertLabel->SetRand(2);
    Bevel2 = new TBevel(this, 5, 276, 73, 29);
    EinheitLabel = new TFensterLabel(this, 80, 277, 43, 25, QStringLiteral("##"));
    EinheitLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    EinheitLabel->SetFontHeight(-21);
    // Font and caption colour don't reach the unit.
    WertLabels = {AktuellerWertLabel};
    BeschriftungsLabels = {BeschriftungLabel};

    BaueMenu(false);
    Skala1 = BaueWahlMenu(*this, QStringLiteral("Skala1"), QStringLiteral("Skala in °"), {10, 15, 20, 25, 30},
                          SkalaPunkte, [this](QAction* punkt) { N101Click(punkt); });
    QObject::connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { Guarded([&] { PopupMenu1Popup(); }); });
}

void TTermometerFenster::SetSkalenbereich(TSkalenbereich Value)
{
    SkalaVon = Value.Von;
    SkalaBis = Value.Bis;
}

void TTermometerFenster::LiesEigeneSchluessel(const TIniFile& Ini)
{
    SetSkala(Ini.ReadInteger(Name(), QStringLiteral("Skala"), StandardSkala));
}

void TTermometerFenster::SpeichereKonfiguration(const QString& IniDatei)
{
    TGrundFenster::SpeichereKonfiguration(IniDatei);
    TIniFile ini(IniDatei);
    SchreibeBildfensterSektion(ini);
    ini.WriteInteger(Name(), QStringLiteral("Skala"), Skala);
}

void TTermometerFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double v = Sender->AktuellerWert(Spalte, 5);
    if (v != KeinWert)
        ZeigeWert(v);
}

void TTermometerFenster::ZeigeWert(double Value)
{
    Wert = Value;
    if (HatBereiche()) {
        // A value in none of the ranges leaves text and picture as they were.
        try {
            const TColor farbe = Bereiche->Farbe(Value);
            AktuellerWertLabel->SetCaption(WertText(Value));
            Zeichne(farbe, Value);
        } catch (const ERangeError&) {
        }
        return;
    }
    AktuellerWertLabel->SetCaption(WertText(Value));
    Zeichne(SchriftFarbeWerte, Value);
}

void TTermometerFenster::SetSkala(int Value)
{
    if (Value >= MinSkala && Value <= MaxSkala)
        Skala = Value;
    TColor farbe = clRed;
    if (HatBereiche()) {
        try {
            farbe = Bereiche->Farbe(Wert);
        } catch (const ERangeError&) {
        }
    }
    Zeichne(farbe, Wert);
}

void TTermometerFenster::Zeichne(TColor Farbe, double Value)
{
    SetSkalenbereich(SchiebeSkala({SkalaVon, SkalaBis}, Skala, Value));
    const Stand stand{Farbe, Value, {SkalaVon, SkalaBis}, Skala, Color()};
    if (m_gezeichnet && stand == m_gezeigt)
        return;
    m_gezeigt = stand;
    m_gezeichnet = true;
    TBitmap bild(Hintergrund.Width(), Hintergrund.Height());
    TCanvas& c = bild.Canvas();
    c.Brush.Color = Color();
    c.FillRect(Rect(0, 0, bild.Width(), bild.Height()));
    zeichneSkala(c);
    // The tube covers the middle of the ticks.
    c.Draw(0, 0, Hintergrund);
    if (ThermometerMitSaeule(Value)) {
        c.Brush.Color = clRed;
        c.FillRect(Rect(kSaeuleLinks, ThermometerSaeulenOben({SkalaVon, SkalaBis}, Skala, Value), kSaeuleRechts,
                        kSaeuleUnten));
        FaerbeSaeule(bild, Farbe);
    }
    Image1->SetPicture(bild);
}

void TTermometerFenster::zeichneSkala(TCanvas& c)
{
    for (const TThermometerStrich& s : ThermometerStriche({SkalaVon, SkalaBis}, Skala)) {
        // Line ends and label places: long ticks reach furthest out.
        const int links = s.Art == TStrichArt::Lang ? 30 : s.Art == TStrichArt::Mittel ? 35 : 45;
        c.MoveTo(links, s.Y);
        c.LineTo(117 - links, s.Y);
        if (s.Art == TStrichArt::Kurz)
            continue;
        const QString text = IntToStr(s.Grad);
        const int h = c.TextHeight(text) / 2;
        c.TextOut(links - c.TextWidth(text) - 5, s.Y - h, text);
        c.TextOut(122 - links, s.Y - h, text);
    }
}

void TTermometerFenster::N101Click(QAction* Sender)
{
    if (Sender)
        SetSkala(StrToInt(Sender->text().remove(u'&')));
}

void TTermometerFenster::PopupMenu1Popup()
{
    for (QAction* punkt : SkalaPunkte)
        punkt->setChecked(StrToInt(punkt->text().remove(u'&')) == Skala);
}
