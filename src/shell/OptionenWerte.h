#pragma once

#include "Bereiche.h"
#include "ColorTypes.h"

#include <QString>
#include <QStringList>

// The texts of the options dialog and what they convert to: range lines,
// spans as a day count and a time, and what the dialog offers per kind of
// window.

// --- Range lines ------------------------------------------------------------
// A stored range: "%.4f;%.4f;%d" with the regional decimal separator and the
// colour as a signed decimal.
QString BereichZeile(const TBereich& Bereich);
// A range as typed: the texts as they are, the colour as a decimal.
QString BereichZeile(const QString& Von, const QString& Bis, TColor Farbe);

// The three fields of a line: before the first ';', between the first and
// the second, and the rest.
struct TBereichFelder {
    QString Von;
    QString Bis;
    QString Farbe;
};
TBereichFelder TeileBereichZeile(const QString& Zeile);

// Empties the list, then adds the lines in order. The first text that does
// not convert raises its conversion error; the lines before it stay added.
void FuelleBereiche(TRanges& Bereiche, const QStringList& Zeilen);

// --- Spans --------------------------------------------------------------------
// A span in days as a whole day count and a time of day in the long time
// format (1.5 shows 1 and 12:00:00). A day count beyond a 32-bit integer
// raises ERangeError.
void SpanneInTexte(double Tage, QString& TageText, QString& ZeitText);
// Day count plus time of day; raises the conversion errors.
double SpanneAusTexten(const QString& TageText, const QString& ZeitText);

// An hour count as days and "h:00:00" (30 shows 1 and 6:00:00). A count
// beyond a 32-bit integer raises ERangeError.
void StundenInTexte(double Stunden, QString& TageText, QString& ZeitText);
// Days times 24 plus the hour of the time; minutes and seconds are dropped.
// Raises the conversion errors, and ERangeError beyond a 32-bit integer.
int StundenAusTexten(const QString& TageText, const QString& ZeitText);

// The runtime's range-check error.
[[noreturn]] void BereichsPruefungsFehler();

// --- Kinds of window ------------------------------------------------------------
// What the dialog offers for one kind of window (by FensterID). What a window
// has beyond this (its own span, a gauge's ranges) it tells itself.
struct TFensterArt {
    int FensterID = 1;
    bool Uhr = false;                     // font and colours only
    bool BeschriftungAenderbar = true;    // filled either way, unless a clock
    bool MitEinheit = true;               // the unit is shown and set
    bool LHFarbeAenderbar = true;         // filled and set either way
    bool BereicheAenderbar = true;        // the range group is enabled
};
// The thirteen kinds; an unknown code gets the standard display's row.
const TFensterArt& FensterArt(int FensterID);
