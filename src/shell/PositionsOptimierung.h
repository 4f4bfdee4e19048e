#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

// Rectangles in screen pixels; Right and Bottom lie one pixel beyond the last
// column and row of a window. Every bound counts as inside.
struct TRechteck {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// R.Left <= P.x() <= R.Right and R.Top <= P.y() <= R.Bottom.
bool PunktImRechteck(const TRechteck& R, const QPoint& P);
// True when the two share a point: a corner of either lies in the other, or
// they cross. Windows that only touch count as overlapping.
bool RechteckeUeberlappen(const TRechteck& A, const TRechteck& B);

// One component of the main window, in ownership order.
struct TPlatzKomponente {
    bool IstAnzeigeFenster = false;
    int Breite = 0;
    int Hoehe = 0;
};

struct TPlatzErgebnis {
    // One per component; only the display windows' entries are meaningful,
    // the others stay at (0, 0).
    std::vector<QPoint> Positionen;
    int NichtPlatziert = 0;
};

// Places every display window in turn at the first position, row by row and
// pixel by pixel, that overlaps none of the windows placed before it. A window
// that fits nowhere goes to the bottom-right corner and is counted.
// Before each component Verarbeite runs (the caller lets the application
// repaint) and Fortschritt gets i / count * 100 rounded half to even.
TPlatzErgebnis OptimierePositionenBerechnen(const std::vector<TPlatzKomponente>& Komponenten, int BildschirmBreite,
                                           int BildschirmHoehe, const std::function<void(int Prozent)>& Fortschritt = {},
                                           const std::function<void()>& Verarbeite = {});

// The message for windows that found no free position.
QString NichtPlatziertMeldung(int NichtPlatziert);
