#include "MessgeraetFensterUnit.h"

#include "SysUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>

int GerundeteGrenze(double Wert)
{
    if (std::isnan(Wert))
        return 0;
    const double grenze = std::clamp(Wert, static_cast<double>(std::numeric_limits<int>::min()),
                                     static_cast<double>(std::numeric_limits<int>::max()));
    return static_cast<int>(Round(grenze));
}

TMeter* TMessgeraetFenster::ErzeugeMessgeraet(int Links, int Oben, int Breite, int Hoehe)
{
    AktuellerWertMeter = new TMeter(this);
    AktuellerWertMeter->setGeometry(Links, Oben, Breite, Hoehe);
    AktuellerWertMeter->SetColor(Color());
    return AktuellerWertMeter;
}

void TMessgeraetFenster::SetColor(TColor Value)
{
    TSpaltenFenster::SetColor(Value);
    if (AktuellerWertMeter) {
        AktuellerWertMeter->SetColor(Value);
        AktuellerWertMeter->Zeichne();
    }
}

void TMessgeraetFenster::LiesBereicheAus(const TIniFile& Ini)
{
    LiesBereiche(Ini);
    for (int i = 0; i < Bereiche->Count(); ++i)
        AktuellerWertMeter->Bereiche().Add(Bereiche->GetBereich(i));
    if (!HatBereiche())
        return;
    double oben = 0;
    double unten = 0;
    Bereiche->Gesamtbereich(oben, unten);
    AktuellerWertMeter->SetMinimum(GerundeteGrenze(unten));
    AktuellerWertMeter->SetMaximum(GerundeteGrenze(oben));
}
