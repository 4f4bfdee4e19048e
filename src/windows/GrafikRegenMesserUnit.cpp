#include "GrafikRegenMesserUnit.h"

#include "ComponentNames.h"
#include "IniFiles.h"
#include "RegenMesserFensterUnit.h"

#include <QAction>
#include <QMenu>

TGrafikRegenMesserFenster::TGrafikRegenMesserFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader,
                                                     const QString& Beschriftung, const QString& Einheit,
                                                     const QString& Spalte, const QString& IniDatei,
                                                     int Nachkommastellen)
    : TSpaltenFenster(B, AOwner, 11)
{
    BaueForm();
    Starte<TLoaderClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    // An open rain-gauge window's settings, changes not yet written
    // included, come before the file's; the last such window wins.
    for (QObject* k : Owner().Komponenten().Components())
        if (const auto* regen = dynamic_cast<const TRegenMesserFenster*>(k))
            SetzePerioden(regen->VerlaufIntervalRegen, regen->Mittelwertzeit);
}

void TGrafikRegenMesserFenster::BaueForm()
{
    resize(125, 315);
    WerteFarbeImmer = true;
    AktuellerWertMesser = new TRegenMesser(this);
    AktuellerWertMesser->setGeometry(8, 39, 111, 241);
    AktuellerWertMesser->SetColor(Color());
    AktuellerWertMesser->SetSkalaInterval(10);
    AktuellerWertMesser->SetPosition(5.0);
    AktuellerWertMesser->SetAnzeigeInterval(5);
    AktuellerWertMesser->SetFarbe(clBackground);
    AktuellerWertMesser->SetBeschrFarbe(clBlack);
    AktuellerWertMesser->SetAutoSize(false);

    BeschriftungLabel = new TFensterLabel(this, 6, 7, 115, 26, QStringLiteral("#############"));
    BeschriftungLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    BeschriftungLabel->setWordWrap(true);
    BeschriftungLabel->SetBold(true);
    AktuellerWertLabel = new TFensterLabel(this, 8, 283, 73, 25, QStringLiteral("###.#"));
    AktuellerWertLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AktuellerWertLabel->SetColor(clBlack);
    AktuellerWertLabel->SetFontColor(clRed);
    AktuellerWertLabel->SetBold(true);
    AktuellerWertLabel->SetFontHeight(-21);
    AktuellerWertLabel->SetRand(2);
    EinheitLabel = new TFensterLabel(this, 85, 280, 36, 30, QStringLiteral("###"));
    EinheitLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    EinheitLabel->SetFontHeight(-16);
    Bevel1 = new TBevel(this, 8, 283, 73, 25);
    WertLabels = {AktuellerWertLabel};
    BeschriftungsLabels = {BeschriftungLabel, EinheitLabel};

    BaueMenu(false);
    Skala1 = BaueWahlMenu(*this, QStringLiteral("Skala1"), QStringLiteral("Skala in mm"), {10, 15, 20, 25, 30},
                          SkalaPunkte, [this](QAction* punkt) { N101Click(punkt); });
}

void TGrafikRegenMesserFenster::LiesEigeneSchluessel(const TIniFile& Ini)
{
    SetSkala(Ini.ReadInteger(Name(), QStringLiteral("Skala"), 30));
    SetVerlaufIntervalRegen(Ini.ReadInteger(QStringLiteral("Global"), QStringLiteral("VerlaufIntervalRegen"), 24));
    SetMittelwertzeit(Ini.ReadInteger(QStringLiteral("Global"), QStringLiteral("Mittelwertzeit"), 60));
}

void TGrafikRegenMesserFenster::SpeichereKonfiguration(const QString& IniDatei)
{
    TGrundFenster::SpeichereKonfiguration(IniDatei);
    TIniFile ini(IniDatei);
    SchreibeBildfensterSektion(ini);
    ini.WriteInteger(Name(), QStringLiteral("Skala"), AktuellerWertMesser->SkalaInterval());
}

void TGrafikRegenMesserFenster::SetSkala(int Value)
{
    Skala = Value;
    AktuellerWertMesser->SetSkalaInterval(Value);
    SetzeHaken(SkalaPunkte, Value);
}

void TGrafikRegenMesserFenster::N101Click(QAction* Sender)
{
    if (Sender)
        SetSkala(Sender->data().toInt());
}

void TGrafikRegenMesserFenster::SetMittelwertzeit(int Value)
{
    SetzePerioden(VerlaufIntervalRegen, Value);
}

void TGrafikRegenMesserFenster::SetVerlaufIntervalRegen(int Value)
{
    SetzePerioden(Value, Mittelwertzeit);
}

void TGrafikRegenMesserFenster::SetzePerioden(int Stunden, int Minuten)
{
    // Refused, the settings held stay and the total still shows at once.
    int n = 0;
    if (RegenPeriodenAnzahl(Stunden, Minuten, n)) {
        VerlaufIntervalRegen = Stunden;
        Mittelwertzeit = Minuten;
    }
    if (TDatenLoader* loader = Loader())
        Aktualisiere(loader);
}

void TGrafikRegenMesserFenster::SetColor(TColor Value)
{
    TSpaltenFenster::SetColor(Value);
    if (AktuellerWertMesser)
        AktuellerWertMesser->SetColor(Value);
}

void TGrafikRegenMesserFenster::SetSchriftFarbeBesch(TColor Value)
{
    TSpaltenFenster::SetSchriftFarbeBesch(Value);
    AktuellerWertMesser->SetBeschrFarbe(Value);
}

void TGrafikRegenMesserFenster::SetSchriftFarbeWerte(TColor Value)
{
    TSpaltenFenster::SetSchriftFarbeWerte(Value);
    AktuellerWertMesser->SetFarbe(Value);
}

void TGrafikRegenMesserFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double summe = RegenSumme(*Sender, Spalte, VerlaufIntervalRegen, Mittelwertzeit);
    // Label and water in the range's colour; without ranges in the colours
    // they have; a total no range holds leaves both as they were.
    if (ZeigeImBereich(*AktuellerWertLabel, summe, WertText(summe))) {
        AktuellerWertMesser->SetFarbe(AktuellerWertLabel->FontColor());
        AktuellerWertMesser->SetPosition(summe);
    } else if (!HatBereiche()) {
        AktuellerWertLabel->SetCaption(WertText(summe));
        AktuellerWertMesser->SetPosition(summe);
    }
}
