#pragma once

#include "DiagrammDialog.h"

struct TRegenDiagrammAufruf;

// The rain bar chart of the rain-gauge window: one bar per period of the
// rain sum at the period's end, the span's start and total in the title. It
// follows every notification of the loader while it is open; its left axis
// starts at 0 to 1 and only grows.
class TRMDiagramm : public TDiagrammDialog {
public:
    // Builds the chart and fills it once.
    TRMDiagramm(TDatenLoader* Loader, const QString& Beschriftung, const QString& Einheit, const QString& Spalte,
                int Zeitraum, int Intervall);

    // Builds the chart and shows it modal; returns when it has been closed.
    static void Oeffne(const TRegenDiagrammAufruf& Aufruf);

    // Bars and title anew. A span whose periods can't be counted (period
    // below a minute, more than 65535 periods) shows no bars.
    void Aktualisiere(TDatenLoader* Sender) override;
    void SetIntervall(int Value) { Intervall = Value; }

    TChart* Chart1 = nullptr;
    TBarSeries* Series1 = nullptr;

    int Intervall = 60;   // minutes per bar
    int Zeitraum = 24;    // hours
    QString Beschriftung;
    QString Einheit;
    QString Spalte;
};
