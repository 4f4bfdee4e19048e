// Writes the bundled sample data file: one summer day of a weather station,
// one record per minute, with a rain shower and a veering wind in the
// afternoon, and two yes/no columns: whether it rains, and whether the
// pressure rises (against half an hour before). Seeded, so the file comes
// out the same on every run.
//
//   BeispielDaten <data file>

#include "Zahlentext.h"
#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Box-Muller on the raw generator, so the numbers don't depend on the
// standard library's distributions.
class Zufall {
public:
    explicit Zufall(std::uint32_t seed) : m_gen(seed) {}
    double gleich() { return (m_gen() + 0.5) / 4294967296.0; }
    double normal()
    {
        const double u = gleich(), v = gleich();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * kPi * v);
    }

private:
    std::mt19937 m_gen;
};

// Noise that drifts instead of jumping from minute to minute.
class Rauschen {
public:
    Rauschen(double phi, double sigma) : m_phi(phi), m_sigma(sigma) {}
    double weiter(Zufall& z)
    {
        m_x = m_phi * m_x + m_sigma * z.normal();
        return m_x;
    }

private:
    double m_phi, m_sigma, m_x = 0;
};

double glocke(double h, double mitte, double breite)
{
    const double x = (h - mitte) / breite;
    return std::exp(-x * x);
}

// 0 before a, 1 after b, smooth in between.
double rampe(double h, double a, double b)
{
    if (h <= a)
        return 0;
    if (h >= b)
        return 1;
    const double x = (h - a) / (b - a);
    return x * x * (3 - 2 * x);
}

double saettigung(double t)
{
    return 6.112 * std::exp(17.62 * t / (243.12 + t));
}

// Diurnal curve: coolest at 5 o'clock, warmest at 15 o'clock.
double tagesgang(double h)
{
    const double mittel = 19.1, amplitude = 6.7;
    if (h >= 5 && h <= 15)
        return mittel - amplitude * std::cos(kPi * (h - 5) / 10);
    const double seit = h > 15 ? h - 15 : h + 9;
    return mittel + amplitude * std::cos(kPi * seit / 14);
}

// Rain in mm per minute: a little drizzle in the morning, the shower in the
// afternoon.
double regen(double h)
{
    double r = 0;
    if (h >= 6 + 10 / 60.0 && h < 6 + 40 / 60.0)
        r += 0.012;
    if (h >= 15 + 20 / 60.0 && h < 16 + 40 / 60.0)
        r += 0.04 + 0.22 * glocke(h, 15.65, 0.15);
    return r;
}


} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: %s <Datendatei>\n", argv[0]);
        return 2;
    }

    Zufall z(20260621);
    Rauschen tRauschen(0.95, 0.08), tdRauschen(0.98, 0.05), pRauschen(0.9, 0.015);
    Rauschen ffRauschen(0.7, 0.22), ddRauschen(0.85, 1.0);

    QByteArray text = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]\trf   [%   ]\tp    [hPa ]\t"
                                     "ff   [m/s ]\tdd   [°   ]\trr   [mm  ]\trgn  [0/1 ]\tptd  [0/1 ]\n")
                          .toUtf8();

    // Tipping bucket of 0.1 mm; the counter holds the tips since the last
    // full hour, and the record at hh:00:00 still closes the hour before.
    double eimer = 0;
    int kippungen = 0;
    std::vector<double> druck;

    for (int minute = 0; minute < 24 * 60; ++minute) {
        const double h = minute / 60.0;
        const double schauer = rampe(h, 15.25, 15.8) * std::exp(-std::max(0.0, h - 15.8) / 6);
        const double nass = std::min(0.9, std::min(1.0, regen(h) / 0.05) * 0.8 + 0.5 * schauer);

        const double t = tagesgang(h) - 6.0 * schauer + tRauschen.weiter(z);
        double td = 11.6 + 0.8 * std::sin(2 * kPi * (h - 9) / 24) + 2.5 * rampe(h, 15.3, 16.5) + tdRauschen.weiter(z);
        td += (t - 0.4 - td) * nass;
        td = std::min(td, t);
        const double rf = std::clamp(100.0 * saettigung(td) / saettigung(t), 0.0, 100.0);

        // Falling ahead of the front, rising behind it, with the daily tide
        // and the jump of the gust front.
        const double p = (h < 16 ? 1016.4 - 0.22 * h : 1016.4 - 0.22 * 16 + 0.3 * (h - 16))
                         + 0.4 * std::cos(2 * kPi * (h - 10) / 12) + 1.1 * glocke(h, 15.6, 0.25)
                         + pRauschen.weiter(z);

        const double mittelwind = 1.0 + (h > 8 && h < 20 ? 3.5 * std::pow(std::sin(kPi * (h - 8) / 12), 1.5) : 0)
                                  + 6.0 * glocke(h, 15.45, 0.2);
        double boe = ffRauschen.weiter(z);
        if (z.gleich() < 0.06)
            boe += 0.4 + 0.5 * z.gleich();
        const double ff = std::max(0.0, mittelwind * (1 + boe));

        // Veering from south through south-west to north-west with the front.
        const double richtung = 170 + 30 * rampe(h, 0, 12) + 40 * rampe(h, 12, 15) + 45 * rampe(h, 15.3, 16)
                                + 15 * rampe(h, 16, 24);
        double dd = richtung + (8 + 25 / (1 + mittelwind)) * ddRauschen.weiter(z);
        dd = std::fmod(std::nearbyint(dd), 360.0);
        if (dd < 0)
            dd += 360;

        if (minute % 60 == 1)
            kippungen = 0;
        eimer += regen(h - 1 / 60.0);   // the minute that ends now
        while (eimer >= 0.1) {
            eimer -= 0.1;
            ++kippungen;
        }

        druck.push_back(p);
        const bool steigt = druck.size() > 30 && p > druck[druck.size() - 31];
        const QString zeile = QStringLiteral("21.06.2026\t%1:%2:00\t%3\t%4\t%5\t%6\t%7\t%8\t%9\t%10\n")
                                  .arg(minute / 60, 2, 10, QChar(u'0'))
                                  .arg(minute % 60, 2, 10, QChar(u'0'))
                                  .arg(zahl(t, 1), zahl(rf, 0), zahl(p, 1), zahl(ff, 1), zahl(dd, 0),
                                       zahl(kippungen / 10.0, 1), QString::number(regen(h) > 0 ? 1 : 0),
                                       QString::number(steigt ? 1 : 0));
        text += zeile.toUtf8();
    }

    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(f.errorString()));
        return 1;
    }
    return 0;
}
