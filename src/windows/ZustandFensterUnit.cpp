#include "ZustandFensterUnit.h"

#include "SysUtils.h"

#include <QAction>
#include <QMenu>
#include <cmath>
#include <limits>

bool GanzzahlTeil(double Wert, int& Ergebnis)
{
    if (!std::isfinite(Wert))
        return false;
    const double t = std::trunc(Wert);
    if (t < std::numeric_limits<int>::min() || t > std::numeric_limits<int>::max())
        return false;
    Ergebnis = static_cast<int>(t);
    return true;
}

TZustandFenster::TZustandFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                                 const QString& Spalte, const QString& IniDatei)
    : TSpaltenFenster(B, AOwner, 6, false)
{
    resize(129, 73);
    ZustandLabel = new TFensterLabel(this, 8, 32, 113, 33, QStringLiteral("Ja / Nein"));
    ZustandLabel->setAlignment(Qt::AlignCenter);
    ZustandLabel->SetBold(true);
    ZustandLabel->SetFontHeight(-25);
    ZustandLabel->SetFontColor(clRed);
    ZustandLabel->SetColor(clBlack);
    ZustandLabel->SetRand(2);
    Bevel2 = new TBevel(this, 8, 32, 113, 33);
    BeschriftungLabel = new TFensterLabel(this, 8, 8, 113, 13, QStringLiteral("#####################"));
    BeschriftungLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    BeschriftungLabel->SetBold(true);
    WertLabels = {ZustandLabel};
    BeschriftungsLabels = {BeschriftungLabel};
    BaueMenu(false);

    Starte<TStandardClient>(Loader, Beschriftung, QString(), Spalte, IniDatei, 0);
    ZeigeZustand(-1);
}

void TZustandFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const double v = Sender->AktuellerWert(Spalte, 5);
    int n = 0;
    if (!GanzzahlTeil(v, n)) {
        // No state a logger could mean: shown as none, the colour kept.
        Zustand = -1;
        ZustandLabel->SetCaption(QStringLiteral("-"));
        return;
    }
    if (n != KeinWert)
        ZeigeZustand(n);
}

void TZustandFenster::ZeigeZustand(int Value)
{
    Zustand = Value;
    ZustandLabel->SetCaption(Value == 1 ? QStringLiteral("Ja") : Value == 0 ? QStringLiteral("Nein") : QStringLiteral("-"));
    if (!HatBereiche())
        return;
    try {
        ZustandLabel->SetFontColor(Bereiche->Farbe(Value));
    } catch (const ERangeError&) {
        // No range holds it: the colour stays.
    }
}
