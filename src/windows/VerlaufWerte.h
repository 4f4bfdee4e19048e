#pragma once

#include "Bereiche.h"
#include "DatenLoaderUnit.h"

#include <QString>
#include <algorithm>
#include <vector>

class TLineSeries;

// One column's values over time, newest first, each with its record's time
// stamp: the date column's day count plus the time column's fraction, or
// -9999 where the record has none.
struct TVerlaufWerte {
    std::vector<double> Werte;
    std::vector<double> Zeiten;

    int Count() const { return static_cast<int>(std::min(Werte.size(), Zeiten.size())); }
};

// The records stamped at or after Beginn.
TVerlaufWerte VerlaufAb(TDatenLoader& Loader, const QString& Spalte, TDateTime Beginn);
// The records of the last Sekunden seconds up to the newest one.
TVerlaufWerte VerlaufLetzteSekunden(TDatenLoader& Loader, const QString& Spalte, int Sekunden);

// Refills the line, oldest record first, each point in the colour of the
// range that holds its value. With ranges a value that none holds is left
// out; without ranges every point takes the series' own colour. A missing
// value (-9999) or a record without a time stamp gives no point.
void ZeigeVerlauf(TLineSeries& Series, const TVerlaufWerte& Verlauf, const TRanges* Bereiche);
