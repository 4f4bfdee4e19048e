#pragma once

#include "GrundFensterUnit.h"

// What the two clocks share: a date and a time label with their captions,
// the font and colour settings, and a section of their own without column,
// caption, unit or ranges.
class TUhrFenster : public TGrundFenster {
public:
    int FensterID() const override { return m_fensterID; }

    void LadeKonfiguration(const QString& IniDatei) override;
    void SpeichereKonfiguration(const QString& IniDatei) override;

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
    TUhrFenster(Bau B, TFensterOwner& AOwner, const QString& DatumText, const QString& ZeitText, int FensterID);

private:
    int m_fensterID;
};
