#pragma once

#include "MessgeraetFensterUnit.h"

// A barometer: the newest value of the column on a round gauge with caption,
// value box and coloured range sectors.
class TLuftdruckFenster : public TMessgeraetFenster {
public:
    TLuftdruckFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                      const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    // The gauge shows caption and unit as "caption (unit)".
    void SetBeschriftung(const QString& Value) override;
    void SetEinheit(const QString& Value) override;
    void SetLHFarbe(TColor Value) override;
    // Font name and colour show at the gauge's next redraw.
    void SetSchrift(const QString& Value) override;
    void SetSchriftFarbeBesch(TColor Value) override;
    // The number's colour, applied only while there are no ranges.
    void SetSchriftFarbeWerte(TColor Value) override;

    void Aktualisiere(TDatenLoader* Sender) override;
};
