#pragma once

#include "SpaltenFensterUnit.h"

#include <functional>
#include <initializer_list>
#include <vector>

// --- Rain sums ----------------------------------------------------------------
// The rain of a span of hours, counted back in periods of minutes from the
// newest record's time rounded up to the full hour. Period 0 is the newest;
// each contributes the largest value stored in it. A period runs from one
// second after the end of the next older one up to its own end, both
// included, so a record on a boundary counts once, in the older period.
struct TRegenPerioden {
    TDateTime Ende = -9999;        // end of period 0; -9999 without a time
    int Minuten = 60;
    std::vector<double> Maxima;    // per period, -9999 where it holds nothing
    double Summe = 0;

    TDateTime PeriodenEnde(int i) const;
};

// The count of periods after the newest (n; there are n + 1); false when the
// hours and minutes give none that can be counted: minutes below 1, hours
// below 0, more than 65535 periods.
bool RegenPeriodenAnzahl(int Stunden, int Minuten, int& Anzahl);
// A time stamp rounded up to the next full hour; one on the hour stays.
TDateTime AufVolleStundeAuf(TDateTime t);

TRegenPerioden RegenPerioden(TDatenLoader& Loader, const QString& Spalte, int Stunden, int Minuten);
double RegenSumme(TDatenLoader& Loader, const QString& Spalte, int Stunden, int Minuten);

// --- The rain-gauge window ----------------------------------------------------
// The rain total of the last hours, the largest value the column holds and
// the time from which the values count.
class TRegenMesserFenster : public TSpaltenFenster {
public:
    TRegenMesserFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                        const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    void Aktualisiere(TDatenLoader* Sender) override;
    // Both refuse a value that leaves no countable periods and keep the one
    // they had; both pass what they take on to every rain-gauge picture
    // window of the owner, in component order.
    void SetVerlaufIntervalRegen(int Value);
    void SetMittelwertzeit(int Value);
    void N24hVerlauf1Click() override;

    // The options dialog edits the span in whole hours. Unlike the section,
    // whose bad value keeps the default, the dialog is told of a span that
    // leaves no countable periods: it raises ERangeError.
    TSpannenArt SpannenArt() const override { return TSpannenArt::Stunden; }
    double Spanne() const override { return VerlaufIntervalRegen; }
    void SetSpanne(double Value) override;
    void N101Click(QAction* Sender);

    int VerlaufIntervalRegen = 24;
    int Mittelwertzeit = 60;

    TFensterLabel* AktuellerWertLabel = nullptr;
    TBevel* Bevel1 = nullptr;
    TFensterLabel* MaxLabel = nullptr;
    TBevel* Bevel2 = nullptr;
    TFensterLabel* AufzeichnungLabel = nullptr;
    QAction* Mittelwertzeitraum1 = nullptr;
    QList<QAction*> PeriodenPunkte;   // N101, N201, N301, N601

protected:
    void LiesEigeneSchluessel(const TIniFile& Ini) override;
    void SchreibeEigeneSchluessel(TIniFile& Ini) const override;

private:
    void BaueForm();
};
