#include "VerlaufWerte.h"

#include "Chart.h"
#include "GrundFensterUnit.h"

namespace {

// The three lists of one history query: the column, the loader's time
// column and its date column, joined into values and time stamps.
template<class Abfrage>
TVerlaufWerte lies(TDatenLoader& Loader, const QString& Spalte, Abfrage abfrage)
{
    QString zeitName;
    QString datumName;
    Loader.GetSpaltenName(Loader.UhrzeitSpalte, zeitName);
    Loader.GetSpaltenName(Loader.DatumSpalte, datumName);
    TRealList werte, zeiten, daten;
    abfrage(Spalte, &werte);
    abfrage(zeitName, &zeiten);
    abfrage(datumName, &daten);

    TVerlaufWerte v;
    v.Werte = werte.Werte();
    v.Zeiten.resize(static_cast<size_t>(zeiten.Count()));
    for (size_t i = 0; i < v.Zeiten.size(); ++i) {
        const double zeit = zeiten.Werte()[i];
        // An index the date list lacks keeps the time alone.
        const double datum = i < daten.Werte().size() ? daten.Werte()[i] : 0;
        v.Zeiten[i] = zeit == KeinWert || datum == KeinWert ? KeinWert : zeit + datum;
    }
    return v;
}

} // namespace

TVerlaufWerte VerlaufAb(TDatenLoader& Loader, const QString& Spalte, TDateTime Beginn)
{
    return lies(Loader, Spalte,
                [&](const QString& name, TRealList* liste) { Loader.WerteAb(name, 5, Beginn, liste); });
}

TVerlaufWerte VerlaufLetzteSekunden(TDatenLoader& Loader, const QString& Spalte, int Sekunden)
{
    return lies(Loader, Spalte, [&](const QString& name, TRealList* liste) {
        Loader.WerteLetzteSekunden(name, 5, Sekunden, liste);
    });
}

void ZeigeVerlauf(TLineSeries& Series, const TVerlaufWerte& Verlauf, const TRanges* Bereiche)
{
    Series.Clear();
    const bool mitBereichen = Bereiche && Bereiche->Count() > 0;
    for (int i = Verlauf.Count() - 1; i >= 0; --i) {
        const double wert = Verlauf.Werte[static_cast<size_t>(i)];
        const double zeit = Verlauf.Zeiten[static_cast<size_t>(i)];
        // The no-value marker is no measurement: plotted it would squash
        // the line against one edge of an automatic axis.
        if (wert == KeinWert || zeit == KeinWert)
            continue;
        TColor farbe = clTeeColor;
        if (mitBereichen && !Bereiche->SucheFarbe(wert, farbe))
            continue;
        Series.AddXY(zeit, wert, QString(), farbe);
    }
}
