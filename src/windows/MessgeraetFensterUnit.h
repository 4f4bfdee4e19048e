#pragma once

#include "Meter.h"
#include "SpaltenFensterUnit.h"

// A column window built around the round gauge: the gauge's background
// follows the window colour, and the options dialog refills the gauge's own
// range list.
class TMessgeraetFenster : public TSpaltenFenster {
public:
    void SetColor(TColor Value) override;
    TRanges* InstrumentBereiche() override { return &AktuellerWertMeter->Bereiche(); }
    void ZeichneInstrument() override { AktuellerWertMeter->Zeichne(); }

    TMeter* AktuellerWertMeter = nullptr;

protected:
    using TSpaltenFenster::TSpaltenFenster;

    // The gauge at its place on the form, in the window's colour.
    TMeter* ErzeugeMessgeraet(int Links, int Oben, int Breite, int Hoehe);
    // The window's ranges, each stored range also copied into the gauge's
    // list; with ranges the gauge's scale runs from the lowest to the
    // highest bound, rounded.
    void LiesBereicheAus(const TIniFile& Ini) override;
};

// A bound rounded half to even and kept within what an int holds.
int GerundeteGrenze(double Wert);
