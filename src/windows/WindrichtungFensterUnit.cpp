#include "WindrichtungFensterUnit.h"

#include "IniFiles.h"
#include "SysUtils.h"

#include <algorithm>
#include <cmath>

bool WindSektor(double Richtung, int& Sektor)
{
    double d = Richtung;
    if (d == KeinWert || !std::isfinite(d))
        return false;
    if (d < 0) {
        // Round(d * 1000) mod 360000 without a product too large for an
        // integer: the floating-point remainder is exact and keeps the halves.
        double tausendstel = d * 1000.0;
        if (!std::isfinite(tausendstel))
            tausendstel = std::fmod(d, 360.0) * 1000.0;
        const long long k = Round(std::fmod(tausendstel, 360000.0)) % 360000;
        d = static_cast<double>(k) / 1000.0 + 360.0;
    }
    if (d >= 360)
        d = std::fmod(d, 360.0);
    Sektor = std::clamp(static_cast<int>(d / 10.0), 0, KompassSektoren - 1);
    return true;
}

TKompassVerlauf WindVerlauf(const std::vector<double>& Richtungen)
{
    TKompassVerlauf verlauf{};
    const double anteil = 255.0 / static_cast<double>(std::max<std::size_t>(Richtungen.size(), 1));
    for (double d : Richtungen) {
        int s = 0;
        if (!WindSektor(d, s))
            continue;
        TVerlaufSektor& sektor = verlauf[static_cast<std::size_t>(s)];
        sektor.Belegt = true;
        sektor.Laenge = 255;
        if (sektor.Wert < 255)
            sektor.Wert = std::min(255.0, sektor.Wert + anteil);
    }
    return verlauf;
}

// ---------------------------------------------------------------------------

TWindrichtungFenster::TWindrichtungFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader,
                                           const QString& Beschriftung, const QString& Einheit, const QString& Spalte,
                                           const QString& IniDatei, int)
    : TSpaltenFenster(B, AOwner, 3)
{
    BaueForm();
    // Whole degrees whatever the column's decimals.
    Starte<TLoaderClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, 0);
}

void TWindrichtungFenster::BaueForm()
{
    resize(248, 294);
    AktuellerWertKompass = new TKompass(this);
    AktuellerWertKompass->setGeometry(7, 8, 235, 236);
    AktuellerWertKompass->SetAutoSize(false);
    AktuellerWertKompass->SetZeigeVerlauf(true);
    AktuellerWertKompass->SetPosition(-1.0);
    BeschriftungLabel = new TFensterLabel(this, 8, 248, 241, 13, QStringLiteral("####################"));
    BeschriftungLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    BeschriftungLabel->SetBold(true);
    AktuellerWertLabel = new TFensterLabel(this, 64, 264, 89, 25, QStringLiteral("-"));
    AktuellerWertLabel->setAlignment(Qt::AlignCenter);
    AktuellerWertLabel->SetColor(clBlack);
    AktuellerWertLabel->SetBold(true);
    AktuellerWertLabel->SetFontHeight(-25);
    AktuellerWertLabel->SetFontColor(clRed);
    AktuellerWertLabel->SetRand(2);
    EinheitLabel = new TFensterLabel(this, 160, 268, 31, 20, QStringLiteral("##"));
    EinheitLabel->SetBold(true);
    EinheitLabel->SetFontHeight(-17);
    Bevel1 = new TBevel(this, 64, 264, 89, 25);
    WertLabels = {AktuellerWertLabel};
    BeschriftungsLabels = {BeschriftungLabel, EinheitLabel};
    BaueMenu(true);
}

void TWindrichtungFenster::SetVerlaufInterval(double Value)
{
    VerlaufInterval = Value;
}

void TWindrichtungFenster::SetColor(TColor Value)
{
    TSpaltenFenster::SetColor(Value);
    if (AktuellerWertKompass)
        AktuellerWertKompass->SetColor(Value);
}

void TWindrichtungFenster::LiesEigeneSchluessel(const TIniFile& Ini)
{
    SetVerlaufInterval(Ini.ReadFloat(Name(), QStringLiteral("VerlaufInterval"), VerlaufInterval));
}

void TWindrichtungFenster::SchreibeEigeneSchluessel(TIniFile& Ini) const
{
    Ini.WriteFloat(Name(), QStringLiteral("VerlaufInterval"), VerlaufInterval);
}

void TWindrichtungFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double v = Sender->AktuellerWert(Spalte, 5);
    const TDateTime t = Sender->NeuesteZeit();
    TRealList werte;
    Sender->WerteZeitraum(Spalte, 5, t - VerlaufInterval, t + 1.0, &werte);
    AktuellerWertKompass->Verlauf = WindVerlauf(werte.Werte());
    if (v == KeinWert)
        return;
    AktuellerWertKompass->SetPosition(v);
    AktuellerWertLabel->SetCaption(WertText(v));
}
