#pragma once

#include "GrundFensterUnit.h"

// What the two clocks share: a date and a time label with their captions,
// the font and colour settings, and a section of their own without column,
// caption, unit or ranges.
class TUhrFenster : public TGrundFenster {
public:
    void LadeKonfiguration(const QString& IniDatei) override;
    void SpeichereKonfiguration(const QString& IniDatei) override;

    void SetSchrift(const QString& Value);
    void SetSchriftFarbeBesch(TColor Value);
    void SetSchriftFarbeWerte(TColor Value);
    void SetLHFarbe(TColor Value);

    QString Schrift;
    TColor LHFarbe = clBlack;
    TColor SchriftFarbeBesch = clBlack;
    TColor SchriftFarbeWerte = clBlack;

    TFensterLabel* Label2 = nullptr;
    TFensterLabel* DatumLabel = nullptr;
    TBevel* Bevel2 = nullptr;
    TFensterLabel* Label3 = nullptr;
    TFensterLabel* ZeitLabel = nullptr;
    TBevel* Bevel3 = nullptr;
    QAction* Optionen1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Deaktivieren1 = nullptr;

protected:
    // The clock's form with its two captions; FensterID is what its section
    // stores.
    TUhrFenster(TFensterOwner& AOwner, const QString& DatumText, const QString& ZeitText, int FensterID);

private:
    int m_fensterID;
};
