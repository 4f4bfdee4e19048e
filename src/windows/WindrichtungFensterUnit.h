#pragma once

#include "Kompass.h"
#include "SpaltenFensterUnit.h"

#include <vector>

// The sector 0..35 of a direction in degrees: negative ones are brought
// above 0 in thousandths of a degree, 360 and more are reduced modulo 360,
// so 360 counts as 0. False for no direction (the no-value marker, NaN,
// infinities).
bool WindSektor(double Richtung, int& Sektor);

// The history of the directions (newest first, as the loader gives them):
// each adds 255 / n to its sector's share, capped at 255, where n counts
// every entry, also those without a direction; every occupied sector is
// drawn at full length.
TKompassVerlauf WindVerlauf(const std::vector<double>& Richtungen);

// The wind direction of one column on the compass: the needle at the newest
// direction, the history of the last VerlaufInterval days as sectors and the
// newest direction in whole degrees. Colours nothing by range.
class TWindrichtungFenster : public TSpaltenFenster {
public:
    TWindrichtungFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                         const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    void Aktualisiere(TDatenLoader* Sender) override;
    // Days; applies at the next refresh.
    void SetVerlaufInterval(double Value);
    // The compass takes the window colour through its corners.
    void SetColor(TColor Value) override;

    TSpannenArt SpannenArt() const override { return TSpannenArt::Tage; }
    double Spanne() const override { return VerlaufInterval; }
    void SetSpanne(double Value) override { SetVerlaufInterval(Value); }

    double VerlaufInterval = 0.04166;

    TKompass* AktuellerWertKompass = nullptr;
    TFensterLabel* AktuellerWertLabel = nullptr;
    TBevel* Bevel1 = nullptr;

protected:
    void LiesEigeneSchluessel(const TIniFile& Ini) override;
    void SchreibeEigeneSchluessel(TIniFile& Ini) const override;

private:
    void BaueForm();
};
