#pragma once

#include "Bitmap.h"
#include "Image.h"
#include "SpaltenFensterUnit.h"

// A trend: "steigend" with an arrow rising to the right for 1, "fallend"
// with the arrow mirrored top to bottom for 0, "-" without an arrow for
// anything else. Colours nothing by range.
class TTrendFenster : public TSpaltenFenster {
public:
    TTrendFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                  const QString& Spalte, const QString& IniDatei);

    void Aktualisiere(TDatenLoader* Sender) override;
    // The column's value: its whole-number part is the trend; no value
    // changes nothing, one whose whole-number part no int holds shows "-".
    void ZeigeWert(double Wert);
    // The picture takes the window colour it has now.
    void SetTrend(int Value);

    TBitmap Pfeil;
    int Trend = -1;

    TBevel* Bevel1 = nullptr;
    TFensterLabel* TrendLabel = nullptr;
    TBevel* Bevel2 = nullptr;
    TImage* Image1 = nullptr;
    TFensterLabel* TrendLabel2 = nullptr;

private:
    void BaueForm();
};

// The trend picture W x H: the window colour with the arrow over it, rising
// for 1, falling for 0, none otherwise.
TBitmap TrendBild(const TBitmap& Pfeil, int Trend, TColor Farbe, int W, int H);
