#pragma once

#include "MessgeraetFensterUnit.h"

#include <array>

// Beaufort number of a speed in m/s; a speed on a band's upper bound belongs
// to that band, a negative one (or none) gives 0, above 36.9 gives 13.
int BeaufortZahl(double MeterProSekunde);

// The wind speed on the round gauge in "m/s", "km/h", "Knoten" or
// "Beaufort", with the other three units in small labels beneath. Each unit
// keeps a range list of its own.
class TWindspeedFenster : public TMessgeraetFenster {
public:
    TWindspeedFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                      const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    // The caption of the gauge; the unit switch sets it to the unit's name.
    void SetBeschriftung(const QString& Value) override;
    // Switches the shown unit: the working ranges go back into the unit
    // shown so far, the new unit's ranges come into the window and gauge.
    void SetEinheit(const QString& Value) override;
    void SetLHFarbe(TColor Value) override;
    void SetSchrift(const QString& Value) override;
    void SetSchriftFarbeBesch(TColor Value) override;
    void SetSchriftFarbeWerte(TColor Value) override;

    void Aktualisiere(TDatenLoader* Sender) override;
    TVerlaufAufruf VerlaufAufruf() override;
    void Deaktivieren1Click() override;
    void Beaufort1Click(QAction* Sender);

    std::unique_ptr<TRanges> BereicheKTN;
    std::unique_ptr<TRanges> BereicheMS;
    std::unique_ptr<TRanges> BereicheKMH;
    std::unique_ptr<TRanges> BereicheBF;

    TFensterLabel* Label1 = nullptr;
    TFensterLabel* BeschrULLabel = nullptr;
    TFensterLabel* BeschrUMLabel = nullptr;
    TFensterLabel* BeschrURLabel = nullptr;
    TFensterLabel* WertULLabel = nullptr;
    TFensterLabel* WertUMLabel = nullptr;
    TFensterLabel* WertURLabel = nullptr;
    TBevel* Bevel3 = nullptr;
    TBevel* Bevel4 = nullptr;
    TBevel* Bevel5 = nullptr;
    TBevel* Bevel6 = nullptr;
    QAction* Einheit1 = nullptr;
    QAction* Beaufort1 = nullptr;
    QAction* kmh1 = nullptr;
    QAction* Knoten1 = nullptr;
    QAction* m21 = nullptr;

protected:
    void LiesBereicheAus(const TIniFile& Ini) override;
    void SchreibeBereicheIn(TIniFile& Ini) const override;
    void LiesEigeneSchluessel(const TIniFile& Ini) override;
    void SchreibeEigeneSchluessel(TIniFile& Ini) const override;
    // The ranges edited in the dialog become the shown unit's.
    void NachOptionen() override { SetEinheit(Einheit); }

private:
    struct TEinheitZeile;
    static const std::array<TEinheitZeile, 4>& Einheiten();
    const TEinheitZeile* ZeileFuer(const QString& Einheit) const;
    // The working ranges back into the list of the unit shown.
    void NimmBereicheZurueck();
    void BaueForm();
};
