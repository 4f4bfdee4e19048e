#pragma once

#include "TextFensterUnit.h"

// A yes/no state: "Ja" for 1, "Nein" for 0, "-" for anything else, coloured
// by the range that holds the state number.
class TZustandFenster : public TSpaltenFenster {
public:
    TZustandFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                    const QString& Spalte, const QString& IniDatei);

    void Aktualisiere(TDatenLoader* Sender) override;
    void ZeigeZustand(int Value);

    int Zustand = -1;

    TFensterLabel* ZustandLabel = nullptr;
    TBevel* Bevel2 = nullptr;
};

// The whole-number part of a state or trend value; false for a value whose
// whole-number part is no 32-bit number (NaN included).
bool GanzzahlTeil(double Wert, int& Ergebnis);
