#pragma once

#include "Chart.h"
#include "SpaltenFensterUnit.h"

// The seconds of a span of days as the recorder's query takes them: rounded,
// and held within what the count can take.
int SpanneInSekunden(double Tage);

// The chart recorder: a display window whose whole face is a line chart of
// one column over the last VerlaufInterval days, redrawn from the stored
// records at every notification. Points take the colour of their range;
// with ranges the left axis is fixed to their span. At most four exist.
class TSchreiberFenster : public TSpaltenFenster {
public:
    static constexpr int MaxSchreiber = 4;

    TSchreiberFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                      const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    // False, after a message box, when the owner already holds four.
    static bool ErzeugenErlaubt(TFensterOwner& AOwner);
    // The same test without the box, and the box's text.
    static bool PlatzFrei(TFensterOwner& AOwner);
    static QString KeinPlatzMeldung();

    void Aktualisiere(TDatenLoader* Sender) override;

    // The title is "Beschriftung (Einheit)".
    void SetBeschriftung(const QString& Value) override;
    void SetEinheit(const QString& Value) override;
    // Title and axis labels.
    void SetSchrift(const QString& Value) override;
    // The title.
    void SetSchriftFarbeBesch(TColor Value) override;
    // Axis labels and axis lines, with or without ranges.
    void SetSchriftFarbeWerte(TColor Value) override;
    // The chart takes the window colour.
    void SetColor(TColor Value) override;
    // Shows from the next notification on.
    void SetVerlaufInterval(double Value) { VerlaufInterval = Value; }

    TSpannenArt SpannenArt() const override { return TSpannenArt::Tage; }
    double Spanne() const override { return VerlaufInterval; }
    void SetSpanne(double Value) override { SetVerlaufInterval(Value); }

    // The left axis fixed to the span of the ranges, automatic without.
    void SetzeAchseAusBereichen();

    double VerlaufInterval = 1;   // days

    TChart* SchreiberChart = nullptr;
    TLineSeries* Series1 = nullptr;

protected:
    void NachOptionen() override { SetzeAchseAusBereichen(); }
    void LiesBereicheAus(const TIniFile& Ini) override;
    void LiesEigeneSchluessel(const TIniFile& Ini) override;
    void SchreibeEigeneSchluessel(TIniFile& Ini) const override;
    TColor WerteFarbeVorgabe() const override { return clBlack; }

private:
    void ZeigeTitel();
};
