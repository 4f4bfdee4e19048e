#include "Konstanten.h"

#include <cmath>
#include <numbers>

namespace {

struct Tabellen {
    std::array<double, 3601> cos{};
    std::array<double, 3601> sin{};
    Tabellen()
    {
        for (int i = 0; i <= 3600; ++i) {
            const double x = i / 10.0 * std::numbers::pi / 180.0;
            cos[i] = std::cos(x);
            sin[i] = std::sin(x);
        }
    }
};

// Function-local static: filled once, thread-safe, before any caller reads.
const Tabellen& tabellen()
{
    static const Tabellen t;
    return t;
}

} // namespace

const std::array<double, 3601>& CosTabelle() { return tabellen().cos; }
const std::array<double, 3601>& SinTabelle() { return tabellen().sin; }

double MinDouble(double A, double B) { return A < B ? A : B; }
double MaxDouble(double A, double B) { return A > B ? A : B; }

void ErsetzeSonderzeichen(QString& S)
{
    // One '_' per character: a surrogate pair is one character too.
    QString r;
    r.reserve(S.size());
    for (qsizetype i = 0; i < S.size(); ++i) {
        const char16_t c = S.at(i).unicode();
        const bool ziffer = c >= u'0' && c <= u'9';
        const bool bereich = c >= u'A' && c <= u'z';
        if (ziffer || bereich) {
            r.append(QChar(c));
        } else {
            r.append(u'_');
            if (QChar::isHighSurrogate(c) && i + 1 < S.size() && S.at(i + 1).isLowSurrogate())
                ++i;
        }
    }
    S = r;
}

QString PunktZuKomma(const QString& S)
{
    QString r = S;
    r.replace(u'.', u',');
    return r;
}
