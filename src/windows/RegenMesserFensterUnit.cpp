#include "RegenMesserFensterUnit.h"

#include "ComponentNames.h"
#include "DiagrammRM.h"
#include "GrafikRegenMesserUnit.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "VerlaufWerte.h"

#include <QAction>
#include <QMenu>
#include <climits>
#include <cmath>

namespace {

constexpr long long MsProTag = 86400000;
constexpr long long MsProStunde = 3600000;
constexpr int MaxPerioden = 65535;

// Time stamps in whole milliseconds: period ends computed in days would
// put a record on a boundary now on one side, now on the other.
long long ZuMs(TDateTime t)
{
    return std::llround(t * MsProTag);
}

long long AufStundeAufMs(long long ms)
{
    const long long tag = (ms >= 0 ? ms / MsProTag : (ms - MsProTag + 1) / MsProTag) * MsProTag;
    const long long rest = ms - tag;
    return tag + (rest + MsProStunde - 1) / MsProStunde * MsProStunde;
}

} // namespace

bool RegenPeriodenAnzahl(int Stunden, int Minuten, int& Anzahl)
{
    if (Minuten < 1 || Stunden < 0)
        return false;
    const long long n = Round(static_cast<double>(Stunden) / Minuten * 60);
    if (n > MaxPerioden)
        return false;
    Anzahl = static_cast<int>(n);
    return true;
}

TDateTime AufVolleStundeAuf(TDateTime t)
{
    return static_cast<double>(AufStundeAufMs(ZuMs(t))) / MsProTag;
}

TDateTime TRegenPerioden::PeriodenEnde(int i) const
{
    return static_cast<double>(ZuMs(Ende) - static_cast<long long>(i) * Minuten * 60000) / MsProTag;
}

TRegenPerioden RegenPerioden(TDatenLoader& Loader, const QString& Spalte, int Stunden, int Minuten)
{
    TRegenPerioden r;
    int n = 0;
    if (!RegenPeriodenAnzahl(Stunden, Minuten, n))
        return r;
    r.Minuten = Minuten;
    r.Maxima.assign(static_cast<size_t>(n) + 1, KeinWert);
    const TDateTime neueste = Loader.NeuesteZeit();
    if (neueste == KeinWert || !std::isfinite(neueste))
        return r;
    const long long ende = AufStundeAufMs(ZuMs(neueste));
    const long long periode = static_cast<long long>(Minuten) * 60000;
    r.Ende = static_cast<double>(ende) / MsProTag;

    // One pass over the span's records instead of one query per period.
    const TDateTime beginn = static_cast<double>(ende - (n + 1) * periode) / MsProTag - 1.0 / 86400;
    const TVerlaufWerte verlauf = VerlaufAb(Loader, Spalte, beginn);
    // The records come newest first, so the period changes seldom: it is
    // divided out only when the distance leaves the one at hand.
    long long i = 0;
    long long von = 0;
    long long bis = periode;
    for (size_t k = 0; k < static_cast<size_t>(verlauf.Count()); ++k) {
        const double w = verlauf.Werte[k];
        if (w == KeinWert || verlauf.Zeiten[k] == KeinWert)
            continue;
        const long long abstand = ende - ZuMs(verlauf.Zeiten[k]);
        if (abstand < 0)
            continue;
        if (abstand < von || abstand >= bis) {
            i = abstand / periode;
            von = i * periode;
            bis = von + periode;
        }
        // The last second of each period belongs to none.
        if (i > n || abstand - von > periode - 1000)
            continue;
        double& m = r.Maxima[static_cast<size_t>(i)];
        if (m == KeinWert || m < w)
            m = w;
    }
    for (double m : r.Maxima)
        if (m != KeinWert)
            r.Summe += m;
    return r;
}

double RegenSumme(TDatenLoader& Loader, const QString& Spalte, int Stunden, int Minuten)
{
    return RegenPerioden(Loader, Spalte, Stunden, Minuten).Summe;
}

// ---------------------------------------------------------------------------

namespace {

// The rain-gauge picture windows of the owner, in its component order.
QList<TGrafikRegenMesserFenster*> Bilder(TFensterOwner& Owner)
{
    QList<TGrafikRegenMesserFenster*> bilder;
    for (QObject* k : Owner.Komponenten().Components())
        if (auto* b = dynamic_cast<TGrafikRegenMesserFenster*>(k))
            bilder << b;
    return bilder;
}

} // namespace

TRegenMesserFenster::TRegenMesserFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader,
                                         const QString& Beschriftung, const QString& Einheit, const QString& Spalte,
                                         const QString& IniDatei, int Nachkommastellen)
    : TSpaltenFenster(B, AOwner, 10)
{
    BaueForm();
    Starte<TLoaderClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
}

void TRegenMesserFenster::BaueForm()
{
    resize(154, 123);
    BeschriftungLabel = new TFensterLabel(this, 8, 8, 121, 13, QStringLiteral("###############"));
    BeschriftungLabel->SetBold(true);
    AktuellerWertLabel = new TFensterLabel(this, 8, 24, 89, 33, QStringLiteral("-"));
    AktuellerWertLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AktuellerWertLabel->SetColor(clBlack);
    AktuellerWertLabel->SetFontColor(clRed);
    AktuellerWertLabel->SetBold(true);
    AktuellerWertLabel->SetFontHeight(-31);
    AktuellerWertLabel->SetRand(2);
    EinheitLabel = new TFensterLabel(this, 98, 24, 53, 33, QStringLiteral("888"));
    EinheitLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    EinheitLabel->SetFontHeight(-21);
    Bevel1 = new TBevel(this, 8, 24, 89, 33);
    MaxLabel = new TFensterLabel(this, 8, 60, 137, 13, QStringLiteral("Max nied/MWZ:"));
    MaxLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Bevel2 = new TBevel(this, 8, 78, 137, 40);
    AufzeichnungLabel = new TFensterLabel(this, 8, 80, 137, 33, QStringLiteral("Werte seit:"));
    AufzeichnungLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    AufzeichnungLabel->SetRand(2);
    WertLabels = {AktuellerWertLabel};
    BeschriftungsLabels = {BeschriftungLabel, EinheitLabel, MaxLabel, AufzeichnungLabel};

    BaueMenu(true, [this] {
        Mittelwertzeitraum1 = BaueWahlMenu(*this, QStringLiteral("Mittelwertzeitraum1"),
                                           QStringLiteral("Mittelwertzeitraum in min"), {10, 20, 30, 60}, PeriodenPunkte,
                                           [this](QAction* punkt) { N101Click(punkt); });
    });
}

void TRegenMesserFenster::LiesEigeneSchluessel(const TIniFile& Ini)
{
    SetVerlaufIntervalRegen(Ini.ReadInteger(QStringLiteral("Global"), QStringLiteral("VerlaufIntervalRegen"), 24));
    SetMittelwertzeit(Ini.ReadInteger(QStringLiteral("Global"), QStringLiteral("Mittelwertzeit"), 60));
}

void TRegenMesserFenster::SchreibeEigeneSchluessel(TIniFile& Ini) const
{
    Ini.WriteInteger(QStringLiteral("Global"), QStringLiteral("VerlaufIntervalRegen"), VerlaufIntervalRegen);
    Ini.WriteInteger(QStringLiteral("Global"), QStringLiteral("Mittelwertzeit"), Mittelwertzeit);
}

void TRegenMesserFenster::SetVerlaufIntervalRegen(int Value)
{
    int n = 0;
    if (!RegenPeriodenAnzahl(Value, Mittelwertzeit, n))
        return;
    VerlaufIntervalRegen = Value;
    if (TDatenLoader* loader = Loader())
        Aktualisiere(loader);
    for (TGrafikRegenMesserFenster* bild : Bilder(Owner()))
        bild->SetVerlaufIntervalRegen(Value);
}

void TRegenMesserFenster::SetSpanne(double Value)
{
    int n = 0;
    if (!(Value >= 0 && Value <= INT_MAX) || !RegenPeriodenAnzahl(static_cast<int>(Value), Mittelwertzeit, n))
        throw ERangeError(QStringLiteral("Fehler bei Bereichsprüfung"));
    SetVerlaufIntervalRegen(static_cast<int>(Value));
}

void TRegenMesserFenster::SetMittelwertzeit(int Value)
{
    int n = 0;
    if (!RegenPeriodenAnzahl(VerlaufIntervalRegen, Value, n)) {
        // A refused pick has checked its own item: the ticks go back to
        // the period in use.
        SetzeHaken(PeriodenPunkte, Mittelwertzeit);
        return;
    }
    Mittelwertzeit = Value;
    SetzeHaken(PeriodenPunkte, Value);
    for (TGrafikRegenMesserFenster* bild : Bilder(Owner()))
        bild->SetMittelwertzeit(Value);
    if (TDatenLoader* loader = Loader())
        Aktualisiere(loader);
}

void TRegenMesserFenster::N101Click(QAction* Sender)
{
    if (Sender)
        SetMittelwertzeit(Sender->data().toInt());
}

void TRegenMesserFenster::N24hVerlauf1Click()
{
    TDatenLoader* loader = Loader();
    if (!loader)
        return;
    const TRegenDiagrammAufruf aufruf{loader, Beschriftung, Einheit, Spalte, VerlaufIntervalRegen, Mittelwertzeit};
    if (Owner().OeffneRegenDiagramm)
        Owner().OeffneRegenDiagramm(aufruf);
    else
        TRMDiagramm::Oeffne(aufruf);
}

void TRegenMesserFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    const TRegenPerioden perioden = RegenPerioden(*Sender, Spalte, VerlaufIntervalRegen, Mittelwertzeit);
    const double maximum = Sender->Maximum(Spalte, 5);
    if (maximum != KeinWert)
        ZeigeNachBereich(*MaxLabel, maximum, QStringLiteral("Max nied/MWZ: ") + WertText(maximum));
    ZeigeNachBereich(*AktuellerWertLabel, perioden.Summe, WertText(perioden.Summe));

    if (perioden.Ende == KeinWert)
        return;
    const TDateTime aelteste = AufVolleStundeAuf(Sender->AeltesteZeit());
    const TDateTime s = perioden.Ende - VerlaufIntervalRegen / 24.0 - 1.0 / 24;
    const TDateTime seit = s > aelteste ? s : aelteste;
    AufzeichnungLabel->SetCaption(QStringLiteral("Werte seit:\r") + DateToStr(seit) + QStringLiteral(" ")
                                  + TimeToStr(seit));
}
