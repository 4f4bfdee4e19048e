#include "RelativeLuftfeuchteFenster.h"

TRLFenster::TRLFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                       const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen)
    : TMessgeraetFenster(B, AOwner, 5)
{
    BaueForm();
    Starte<TLoaderClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
}

void TRLFenster::BaueForm()
{
    resize(312, 174);
    auto wertLabel = [this](int left, int top, int width, int height, int fontHeight, const QString& text) {
        auto* l = new TFensterLabel(this, left, top, width, height, text);
        l->setAlignment(Qt::AlignRight | Qt::AlignTop);
        l->SetColor(clBlack);
        l->SetFontColor(clRed);
        l->SetBold(true);
        l->SetFontHeight(fontHeight);
        l->SetRand(2);
        return l;
    };
    auto text = [this](int left, int top, int width, int height, const QString& t) {
        return new TFensterLabel(this, left, top, width, height, t);
    };

    BeschriftungLabel = text(8, 8, 97, 13, QStringLiteral("############"));
    BeschriftungLabel->SetBold(true);
    AktuellerWertLabel = wertLabel(8, 32, 81, 29, -25, QStringLiteral("-     "));
    Bevel2 = new TBevel(this, 8, 32, 81, 29);
    EinheitLabel = text(88, 32, 39, 33, QStringLiteral("###"));
    EinheitLabel->setAlignment(Qt::AlignCenter);
    EinheitLabel->SetFontName(QStringLiteral("Arial"));
    EinheitLabel->SetFontHeight(-21);
    Bevel6 = new TBevel(this, 8, 72, 105, 97);
    Label9 = text(16, 80, 30, 13, QStringLiteral("Min"));
    Label5 = text(16, 113, 30, 13, QStringLiteral("Mittel"));
    Label6 = text(16, 145, 30, 13, QStringLiteral("Max"));
    MinLabel = wertLabel(48, 80, 41, 17, -13, QStringLiteral("-"));
    MittelLabel = wertLabel(48, 113, 41, 17, -13, QStringLiteral("-"));
    MaxLabel = wertLabel(48, 145, 41, 17, -13, QStringLiteral("-"));
    Bevel3 = new TBevel(this, 48, 80, 41, 17);
    Bevel4 = new TBevel(this, 48, 113, 41, 17);
    Bevel5 = new TBevel(this, 48, 145, 41, 17);
    MinEinheitLabel = text(92, 80, 17, 17, QStringLiteral("##"));
    MittelEinheitLabel = text(92, 112, 17, 17, QStringLiteral("##"));
    MaxEinheitLabel = text(92, 144, 17, 17, QStringLiteral("##"));

    TMeter* m = ErzeugeMessgeraet(127, 8, 177, 161);
    m->SetMinimum(0);
    m->SetMaximum(100);
    m->SetBeschriftungSchritt(10);
    m->SetAnzeigeSchritt(1.0);

    WertLabels = {MinLabel, MaxLabel, MittelLabel, AktuellerWertLabel};
    BeschriftungsLabels = {BeschriftungLabel, EinheitLabel, MinEinheitLabel, MaxEinheitLabel, MittelEinheitLabel};
    BaueMenu(true);
}

void TRLFenster::SetEinheit(const QString& Value)
{
    TMessgeraetFenster::SetEinheit(Value);
    for (TFensterLabel* l : {MinEinheitLabel, MittelEinheitLabel, MaxEinheitLabel})
        l->SetCaption(Value);
}

void TRLFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double akt = ZeigeStatistik(*Sender, *MaxLabel, *MinLabel, *MittelLabel, *AktuellerWertLabel);
    if (akt != KeinWert)
        AktuellerWertMeter->SetPosition(akt);
}
