#include "TendFensterUnit.h"

#include "Canvas.h"
#include "ZustandFensterUnit.h"

TBitmap TrendBild(const TBitmap& Pfeil, int Trend, TColor Farbe, int W, int H)
{
    TBitmap bild(W, H);
    TCanvas& c = bild.Canvas();
    c.Brush.Color = Farbe;
    c.FillRect(Rect(0, 0, W, H));
    if (Trend == 1) {
        c.Draw(0, 0, Pfeil);
    } else if (Trend == 0) {
        TBitmap gespiegelt(Pfeil);
        gespiegelt.Canvas().CopyRect(Rect(0, 0, W, H), Pfeil, Rect(0, H, W, 0));
        gespiegelt.SetTransparent(true);
        c.Draw(0, 0, gespiegelt);
    }
    return bild;
}

TTrendFenster::TTrendFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                             const QString& Spalte, const QString& IniDatei)
    : TSpaltenFenster(B, AOwner, 8, false)
{
    BaueForm();
    Pfeil.LoadFromResourceName(QStringLiteral("PFEIL"));
    Pfeil.SetTransparent(true);
    Starte<TStandardClient>(Loader, Beschriftung, QString(), Spalte, IniDatei, 0);
    SetTrend(-1);
}

void TTrendFenster::BaueForm()
{
    resize(152, 113);
    Bevel1 = new TBevel(this, 8, 67, 129, 43);
    BeschriftungLabel = new TFensterLabel(this, 8, 8, 129, 13, QStringLiteral("###################"));
    BeschriftungLabel->SetBold(true);
    TrendLabel = new TFensterLabel(this, 8, 32, 129, 33, QStringLiteral("steigt/fällt"));
    TrendLabel->setAlignment(Qt::AlignCenter);
    TrendLabel->SetBold(true);
    TrendLabel->SetFontHeight(-25);
    TrendLabel->SetFontColor(clRed);
    TrendLabel->SetColor(clBlack);
    TrendLabel->SetRand(2);
    Bevel2 = new TBevel(this, 8, 32, 129, 33);
    Image1 = new TImage(this, 64, 69, 67, 39);
    TrendLabel2 = new TFensterLabel(this, 24, 80, 37, 13, QStringLiteral("Trend:"));
    WertLabels = {TrendLabel};
    BeschriftungsLabels = {BeschriftungLabel, TrendLabel2};
    BaueMenu(false);
}

void TTrendFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (Sender)
        ZeigeWert(Sender->AktuellerWert(Spalte, 5));
}

void TTrendFenster::ZeigeWert(double Wert)
{
    int t = 0;
    // A value no int holds is no trend a logger could mean.
    if (!GanzzahlTeil(Wert, t))
        SetTrend(-1);
    else if (t != KeinWert)
        SetTrend(t);
}

void TTrendFenster::SetTrend(int Value)
{
    Trend = Value;
    TrendLabel->SetCaption(Value == 1 ? QStringLiteral("steigend")
                           : Value == 0 ? QStringLiteral("fallend")
                                        : QStringLiteral("-"));
    Image1->SetPicture(TrendBild(Pfeil, Value, Color(), Image1->width(), Image1->height()));
}
