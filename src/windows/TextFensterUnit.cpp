#include "TextFensterUnit.h"

#include "AppErrors.h"
#include "IniFiles.h"
#include "SysUtils.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

TStandardfenster::TStandardfenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                                   const QString& Einheit, const QString& Spalte, const QString& IniDatei,
                                   int Nachkommastellen)
    : TSpaltenFenster(B, AOwner, 1)
{
    BaueForm();
    Starte<TStandardClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
}

void TStandardfenster::BaueForm()
{
    resize(154, 123);
    auto wertLabel = [this](int left, int top, int width, int height, int fontHeight, TColor farbe,
                            Qt::Alignment senkrecht) {
        auto* l = new TFensterLabel(this, left, top, width, height, QStringLiteral("-"));
        l->setAlignment(Qt::AlignRight | senkrecht);
        l->SetBold(true);
        l->SetFontHeight(fontHeight);
        l->SetFontColor(farbe);
        l->SetColor(clBlack);
        l->SetRand(2);
        return l;
    };
    auto einheitLabel = [this](int left, int width) {
        auto* l = new TFensterLabel(this, left, 69, width, 25, QStringLiteral("######"));
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setWordWrap(true);
        return l;
    };

    Bevel6 = new TBevel(this, 4, 64, 145, 57);
    MittelEinheitLabel = einheitLabel(8, 137);
    AktuellerWertLabel = wertLabel(8, 24, 89, 33, -31, 254, Qt::AlignVCenter);
    BeschriftungLabel = new TFensterLabel(this, 8, 8, 161, 13, QStringLiteral("####################"));
    BeschriftungLabel->SetBold(true);
    MinEinheitLabel = einheitLabel(8, 41);
    MaxEinheitLabel = einheitLabel(104, 41);
    Bevel2 = new TBevel(this, 8, 24, 89, 33);
    MinLabel = wertLabel(8, 96, 41, 16, -13, clRed, Qt::AlignTop);
    MaxLabel = wertLabel(104, 96, 41, 16, -13, clRed, Qt::AlignTop);
    MittelLabel = wertLabel(56, 96, 41, 16, -13, clRed, Qt::AlignTop);
    EinheitLabel = new TFensterLabel(this, 100, 23, 51, 34, QStringLiteral("##"));
    EinheitLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    EinheitLabel->SetFontName(QStringLiteral("Arial"));
    EinheitLabel->SetFontHeight(-21);
    EinheitLabel->SetFontColor(clBlack);
    Bevel3 = new TBevel(this, 8, 96, 41, 17);
    Bevel4 = new TBevel(this, 56, 96, 41, 17);
    Bevel5 = new TBevel(this, 104, 96, 41, 17);

    WertLabels = {AktuellerWertLabel, MinLabel, MittelLabel, MaxLabel};
    BeschriftungsLabels = {BeschriftungLabel, EinheitLabel, MinEinheitLabel, MaxEinheitLabel, MittelEinheitLabel};

    BaueMenu(true);
    QObject::connect(PopupMenu1, &QMenu::aboutToShow, this, [this] { Guarded([&] { PopupMenu1Popup(); }); });
}

void TStandardfenster::SetEinheit(const QString& Value)
{
    TSpaltenFenster::SetEinheit(Value);
    MinEinheitLabel->SetCaption(Format(QStringLiteral("Min\r(%s)"), {Value}));
    MaxEinheitLabel->SetCaption(Format(QStringLiteral("Max\r(%s)"), {Value}));
    MittelEinheitLabel->SetCaption(Format(QStringLiteral("Mittel\r(%s)"), {Value}));
}

void TStandardfenster::Aktualisiere(TDatenLoader* Sender)
{
    if (Sender)
        ZeigeStatistik(*Sender, *MaxLabel, *MinLabel, *MittelLabel, *AktuellerWertLabel);
}

void TStandardfenster::PopupMenu1Popup()
{
    // The derived dew-point column has no history of its own to chart.
    N24hVerlauf1->setEnabled(!Name().contains(QLatin1String("ttp")));
}
