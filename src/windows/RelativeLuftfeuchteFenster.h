#pragma once

#include "MessgeraetFensterUnit.h"

// Relative humidity as numbers (current value, minimum, mean and maximum)
// and on the round gauge, whose scale and sectors follow the ranges.
class TRLFenster : public TMessgeraetFenster {
public:
    TRLFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
               const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    void SetEinheit(const QString& Value) override;
    void Aktualisiere(TDatenLoader* Sender) override;

    TFensterLabel* AktuellerWertLabel = nullptr;
    TBevel* Bevel2 = nullptr;
    TBevel* Bevel6 = nullptr;
    TFensterLabel* Label9 = nullptr;
    TFensterLabel* Label5 = nullptr;
    TFensterLabel* Label6 = nullptr;
    TFensterLabel* MinLabel = nullptr;
    TFensterLabel* MittelLabel = nullptr;
    TFensterLabel* MaxLabel = nullptr;
    TBevel* Bevel3 = nullptr;
    TBevel* Bevel4 = nullptr;
    TBevel* Bevel5 = nullptr;
    TFensterLabel* MinEinheitLabel = nullptr;
    TFensterLabel* MittelEinheitLabel = nullptr;
    TFensterLabel* MaxEinheitLabel = nullptr;

private:
    void BaueForm();
};
