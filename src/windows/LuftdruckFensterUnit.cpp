#include "LuftdruckFensterUnit.h"

TLuftdruckFenster::TLuftdruckFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                                     const QString& Einheit, const QString& Spalte, const QString& IniDatei,
                                     int Nachkommastellen)
    : TMessgeraetFenster(B, AOwner, 7)
{
    resize(312, 294);
    TMeter* m = ErzeugeMessgeraet(8, 18, 297, 257);
    TFontDesc schrift;
    schrift.Bold = true;
    m->SetFont(schrift);
    m->SetMinimum(800);
    m->SetMaximum(1100);
    m->SetBeschriftungSchritt(25);
    m->SetAnzeigeSchritt(0.00001);
    m->SetZusatzBeschriftung(true);
    m->SetBeschriftung(QStringLiteral("####### (##)"));
    m->SetBeschrFarbe(clRed);
    m->SetWaiting(true);
    BaueMenu(true);

    // The decimals belong to the gauge; the window's own stay 0.
    m->SetAnzahlKommastellen(Nachkommastellen);
    Starte<TLoaderClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, 0);
}

void TLuftdruckFenster::SetBeschriftung(const QString& Value)
{
    Beschriftung = Value;
    AktuellerWertMeter->SetBeschriftung(Beschriftung + QStringLiteral(" (") + Einheit + QStringLiteral(")"));
}

void TLuftdruckFenster::SetEinheit(const QString& Value)
{
    Einheit = Value;
    SetBeschriftung(Beschriftung);
}

void TLuftdruckFenster::SetLHFarbe(TColor Value)
{
    LHFarbe = Value;
    AktuellerWertMeter->SetBeschrHFarbe(Value);
}

void TLuftdruckFenster::SetSchrift(const QString& Value)
{
    Schrift = Value;
    TFontDesc f = AktuellerWertMeter->Font();
    f.Name = Value;
    AktuellerWertMeter->SetFont(f);
}

void TLuftdruckFenster::SetSchriftFarbeBesch(TColor Value)
{
    SchriftFarbeBesch = Value;
    TFontDesc f = AktuellerWertMeter->Font();
    f.Color = Value;
    AktuellerWertMeter->SetFont(f);
}

void TLuftdruckFenster::SetSchriftFarbeWerte(TColor Value)
{
    SchriftFarbeWerte = Value;
    if (!HatBereiche())
        AktuellerWertMeter->SetBeschrFarbe(Value);
}

void TLuftdruckFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double v = Sender->AktuellerWert(Spalte, 5);
    if (v == KeinWert)
        return;
    if (HatBereiche()) {
        try {
            Bereiche->Farbe(v);
        } catch (const ERangeError&) {
            return;   // beyond the ranges the gauge keeps its value
        }
    }
    AktuellerWertMeter->SetPosition(v);
}
