#include "PositionsOptimierung.h"

#include "SysUtils.h"

bool PunktImRechteck(const TRechteck& R, const QPoint& P)
{
    return R.Left <= P.x() && P.x() <= R.Right && R.Top <= P.y() && P.y() <= R.Bottom;
}

bool RechteckeUeberlappen(const TRechteck& A, const TRechteck& B)
{
    // A corner of one inside the other, or the two crossing like a flat one
    // over a tall one: both come to the rectangles sharing a point.
    return A.Left <= B.Right && B.Left <= A.Right && A.Top <= B.Bottom && B.Top <= A.Bottom;
}

namespace {

// i / n * 100, exactly, halves to the even neighbour.
int Prozent(long long i, long long n)
{
    const long long zaehler = i * 100;
    long long q = zaehler / n;
    const long long rest2 = 2 * (zaehler % n);
    if (rest2 > n || (rest2 == n && q % 2 != 0))
        ++q;
    return static_cast<int>(q);
}

// The x values at which a candidate of width w and height h in row y meets
// the placed window R: one closed interval, or none when the rows miss.
struct TSperre {
    long long Von = 0;
    long long Bis = -1;

    TSperre(const TRechteck& R, long long w, long long h, long long y)
    {
        if (y <= R.Bottom && R.Top <= y + h) {
            Von = static_cast<long long>(R.Left) - w;
            Bis = R.Right;
        }
    }
    bool Leer() const { return Bis < Von; }
    bool Sperrt(long long x) const { return Von <= x && x <= Bis; }
};

// The first free position in the order the pixel-by-pixel scan tries them:
// rows from the top, each from x = 0 to the last x at which the window still
// fits the screen's width (x = 0 alone for a window wider than the screen).
// A window taller than the screen is tried at (0, 0) only. Jumping past the
// x values that one placed window blocks changes nothing, since the scan
// would find each of them blocked by that window.
bool SucheFreiePosition(const std::vector<TRechteck>& Platziert, int w, int h, int W, int H, QPoint& Position)
{
    const long long xMax = w <= W ? static_cast<long long>(W) - w : 0;
    const long long yMax = h <= H ? static_cast<long long>(H) - h : 0;
    std::vector<TSperre> zeile;
    zeile.reserve(Platziert.size());
    for (long long y = 0; y <= yMax; ++y) {
        zeile.clear();
        for (const TRechteck& R : Platziert) {
            const TSperre s(R, w, h, y);
            if (!s.Leer())
                zeile.push_back(s);
        }
        long long x = 0;
        while (x <= xMax) {
            const TSperre* sperre = nullptr;
            for (const TSperre& s : zeile)
                if (s.Sperrt(x)) {
                    sperre = &s;
                    break;
                }
            if (!sperre) {
                Position = QPoint(static_cast<int>(x), static_cast<int>(y));
                return true;
            }
            if (h > H)
                return false;   // only (0, 0) is tried
            x = sperre->Bis + 1;
        }
    }
    return false;
}

} // namespace

TPlatzErgebnis OptimierePositionenBerechnen(const std::vector<TPlatzKomponente>& Komponenten, int BildschirmBreite,
                                           int BildschirmHoehe, const std::function<void(int Prozent)>& Fortschritt,
                                           const std::function<void()>& Verarbeite)
{
    TPlatzErgebnis ergebnis;
    ergebnis.Positionen.assign(Komponenten.size(), QPoint());
    std::vector<TRechteck> platziert;
    const long long anzahl = static_cast<long long>(Komponenten.size());
    for (long long i = 0; i < anzahl; ++i) {
        if (Verarbeite)
            Verarbeite();
        if (Fortschritt)
            Fortschritt(Prozent(i, anzahl));
        const TPlatzKomponente& e = Komponenten[static_cast<size_t>(i)];
        if (!e.IstAnzeigeFenster)
            continue;
        QPoint p;
        if (!SucheFreiePosition(platziert, e.Breite, e.Hoehe, BildschirmBreite, BildschirmHoehe, p)) {
            p = QPoint(BildschirmBreite - e.Breite, BildschirmHoehe - e.Hoehe);
            ++ergebnis.NichtPlatziert;
        }
        ergebnis.Positionen[static_cast<size_t>(i)] = p;
        platziert.push_back({p.x(), p.y(), p.x() + e.Breite, p.y() + e.Hoehe});
    }
    return ergebnis;
}

QString NichtPlatziertMeldung(int NichtPlatziert)
{
    return Format(QStringLiteral("%d Fenster konnte(n) nicht optmiert werden"), {NichtPlatziert});
}
