#include "DiagrammRM.h"

#include "GrundFensterUnit.h"
#include "RegenMesserFensterUnit.h"
#include "SysUtils.h"

#include <algorithm>
#include <exception>

TRMDiagramm::TRMDiagramm(TDatenLoader* Loader, const QString& Beschriftung, const QString& Einheit,
                         const QString& Spalte, int Zeitraum, int Intervall)
    : TDiagrammDialog(nullptr, QStringLiteral("RMDiagramm")), Zeitraum(Zeitraum), Beschriftung(Beschriftung),
      Einheit(Einheit), Spalte(Spalte)
{
    setWindowTitle(QStringLiteral("Verlauf - Diagramm"));
    move(321, 239);

    Chart1 = Diagramm;
    TFontDesc titel;
    titel.Bold = true;
    titel.Height = -12;
    Chart1->Title().SetFont(titel);
    Chart1->Title().SetText({QString()});
    Chart1->LeftAxis().SetMinMax(0, 1);
    Chart1->LeftAxis().SetStartPosition(3);
    Series1 = Chart1->AddBarSeries();
    Series1->SetSeriesColor(clRed);
    Series1->SetGradient(true);

    Registriere(Loader);
    SetIntervall(Intervall);
    if (Loader)
        Aktualisiere(Loader);
}

void TRMDiagramm::Oeffne(const TRegenDiagrammAufruf& Aufruf)
{
    ZeigeModal(new TRMDiagramm(Aufruf.Loader, Aufruf.Beschriftung, Aufruf.Einheit, Aufruf.Spalte, Aufruf.Zeitraum,
                               Aufruf.Intervall));
}

void TRMDiagramm::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    try {
        const TRegenPerioden perioden = RegenPerioden(*Sender, Spalte, Zeitraum, Intervall);
        Series1->Clear();
        TChartAxis& links = Chart1->LeftAxis();
        double maximum = links.Maximum();
        // Oldest first: each bar goes to the end of the series.
        for (int i = static_cast<int>(perioden.Maxima.size()) - 1; i >= 0; --i) {
            const double w = perioden.Maxima[static_cast<size_t>(i)];
            if (w == KeinWert)
                continue;
            Series1->AddXY(perioden.PeriodenEnde(i), w);
            maximum = std::max(maximum, w + 1);
        }
        links.SetMaximum(maximum);

        TDateTime ende = perioden.Ende;
        if (ende == KeinWert) {
            // No periods counted; the span still starts from the newest record.
            const TDateTime neueste = Sender->NeuesteZeit();
            if (neueste != KeinWert)
                ende = AufVolleStundeAuf(neueste);
        }
        QString seit = QStringLiteral("Werte seit:");
        if (ende != KeinWert) {
            const TDateTime s = ende - Zeitraum / 24.0;
            const TDateTime a = Sender->AeltesteZeit();
            const TDateTime start = s > a ? s : a;
            seit += DateToStr(start) + u' ' + TimeToStr(start);
        }
        Chart1->Title().SetText({Beschriftung + QStringLiteral(" (") + Einheit + u')', seit,
                                 Format(QStringLiteral("Summe: %.1f"), {perioden.Summe})});
    } catch (const std::exception&) {
        // The chart keeps what it shows.
    }
}
