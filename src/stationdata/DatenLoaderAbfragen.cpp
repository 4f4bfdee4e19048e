// The loader's column queries: values, extremes, means, histories and the
// dew point.
#include "DatenLoaderIntern.h"

#include "Bereiche.h"

#include <algorithm>
#include <cmath>

namespace {

// Magnus constants over water and over ice.
constexpr double kAWasser = 17.08085;
constexpr double kBWasser = 234.175;
constexpr double kAEis = 17.84362;
constexpr double kBEis = 245.425;

QString nichtImHeader(const QString& name)
{
    return Format("%s existiert nicht im Header oder keine Daten!", {name});
}

bool gespeichert(int spalte, int layout)
{
    return spalte >= 0 && spalte < layout;
}

} // namespace

// ---------------------------------------------------------------------------
// Column queries

double Saettigungsdampfdruck(double T)
{
    if (T >= 0)
        return 6.1078 * std::exp(kAWasser * T / (kBWasser + T));
    return 6.1078 * std::exp(kAEis * T / (kBEis + T));
}

double TDatenLoader::Taupunkt(double T, double RF) const
{
    if (T == kKeinWert || RF == kKeinWert)
        return kKeinWert;
    // No humidity has no logarithm; no NaN may reach a statistic.
    if (!(RF > 0))
        return kKeinWert;
    const double x = Saettigungsdampfdruck(T) * 0.01 * RF / 6.1078;
    const double L = std::log(x);
    double tp = T >= 0 ? kBWasser * L / (kAWasser - L) : kBEis * L / (kAEis - L);
    if (T >= 0 && tp < 0)
        tp = kBEis * L / (kAEis - L);
    if (!std::isfinite(tp))
        return kKeinWert;
    return tp;
}

double TDatenLoader::TaupunktVon(int datensatz, int tSpalte, int rfSpalte) const
{
    return Taupunkt(Wert(datensatz, tSpalte), Wert(datensatz, rfSpalte));
}

bool TDatenLoader::IstTaupunkt(const QString& Name) const
{
    return Name == kTtp;
}

namespace {
} // namespace

double TDatenLoader::AktuellerWert(const QString& Name, int Laenge)
{
    if (IstTaupunkt(Name)) {
        // Temperature first: its message comes first.
        const double t = AktuellerWert(kT2m, Laenge);
        const double rf = AktuellerWert(kRf, Laenge);
        return Taupunkt(t, rf);
    }
    const int c = SucheSpalte(Name, Laenge);
    const int n = Datensaetze();
    if (gespeichert(c, m_layout) && n > 0)
        return Wert(n - 1, c);
    Meldungen.append(nichtImHeader(Name));
    return kKeinWert;
}

const TDatenLoader::Statistik& TDatenLoader::SpaltenStatistik(int spalte) const
{
    if (m_statistikVersion != m_version) {
        // One pass over the records in store order: the same comparisons and
        // the same order of additions as a walk per column.
        const int n = Datensaetze();
        const size_t breite = static_cast<size_t>(m_layout);
        m_statistik.assign(breite, Statistik{kKeinWert, kKeinWert, 0.0, 0});
        if (n > 0) {
            const double* zeile = m_werte.data() + m_start;
            for (size_t c = 0; c < breite; ++c)
                m_statistik[c].max = m_statistik[c].min = zeile[c];
            for (int r = 0; r < n; ++r, zeile += breite) {
                for (size_t c = 0; c < breite; ++c) {
                    const double v = zeile[c];
                    if (v == kKeinWert)
                        continue;
                    Statistik& s = m_statistik[c];
                    if (v > s.max || s.max == kKeinWert)
                        s.max = v;
                    if (v < s.min || s.min == kKeinWert)
                        s.min = v;
                    s.summe += v;
                    ++s.anzahl;
                }
            }
        }
        m_statistikVersion = m_version;
    }
    return m_statistik[static_cast<size_t>(spalte)];
}

const std::vector<double>& TDatenLoader::Taupunkte(int tSpalte, int rfSpalte) const
{
    // Records never change once stored, so only new ones need the formula.
    if (tSpalte != m_tpT || rfSpalte != m_tpRf || m_tpBasis > m_basis) {
        m_taupunkte.clear();
        m_tpBasis = m_basis;
        m_tpT = tSpalte;
        m_tpRf = rfSpalte;
    }
    if (m_tpBasis < m_basis) {
        const size_t weg = std::min(m_basis - m_tpBasis, m_taupunkte.size());
        m_taupunkte.erase(m_taupunkte.begin(), m_taupunkte.begin() + static_cast<std::ptrdiff_t>(weg));
        m_tpBasis = m_basis;
    }
    const size_t n = static_cast<size_t>(Datensaetze());
    for (size_t i = m_taupunkte.size(); i < n; ++i)
        m_taupunkte.push_back(TaupunktVon(static_cast<int>(i), tSpalte, rfSpalte));
    return m_taupunkte;
}

double TDatenLoader::Maximum(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    return Extrem(Name, Laenge, true);
}

double TDatenLoader::Minimum(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    return Extrem(Name, Laenge, false);
}

const std::vector<double>* TDatenLoader::TaupunktReihe(const QString& Name, int Laenge)
{
    const int t = SucheSpalte(kT2m, Laenge);
    const int rf = SucheSpalte(kRf, Laenge);
    if (!gespeichert(t, m_layout) || !gespeichert(rf, m_layout) || Datensaetze() == 0) {
        Meldungen.append(QStringLiteral("Fehler beim Berechnen von ") + Name);
        return nullptr;
    }
    return &Taupunkte(t, rf);
}

double TDatenLoader::Extrem(const QString& Name, int Laenge, bool maximum)
{
    const int n = Datensaetze();
    if (IstTaupunkt(Name)) {
        const std::vector<double>* tp = TaupunktReihe(Name, Laenge);
        if (!tp)
            return kKeinWert;
        double r = tp->front();
        for (const double d : *tp) {
            if (d != kKeinWert && ((maximum ? d > r : d < r) || r == kKeinWert))
                r = d;
        }
        return r;
    }
    const int c = SucheSpalte(Name, Laenge);
    if (!gespeichert(c, m_layout) || n == 0) {
        Meldungen.append(nichtImHeader(Name));
        return kKeinWert;
    }
    const Statistik& s = SpaltenStatistik(c);
    return maximum ? s.max : s.min;
}

double TDatenLoader::Mittelwert(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    const int n = Datensaetze();
    if (IstTaupunkt(Name)) {
        const std::vector<double>* tp = TaupunktReihe(Name, Laenge);
        if (!tp)
            return kKeinWert;
        double summe = 0;
        long long anzahl = 0;
        for (const double d : *tp) {
            if (d != kKeinWert) {
                summe += d;
                ++anzahl;
            }
        }
        return anzahl == 0 ? kKeinWert : summe / static_cast<double>(anzahl);
    }
    const int c = SucheSpalte(Name, Laenge);
    if (!gespeichert(c, m_layout) || n == 0) {
        Meldungen.append(nichtImHeader(Name));
        return kKeinWert;
    }
    const Statistik& s = SpaltenStatistik(c);
    return s.anzahl == 0 ? kKeinWert : s.summe / static_cast<double>(s.anzahl);
}

double TDatenLoader::MittelwertBereich(const QString& Name, int Laenge, double Unten, double Oben)
{
    TimerPause pause(*this);
    const int c = SucheSpalte(Name, Laenge);
    const int n = Datensaetze();
    if (!gespeichert(c, m_layout) || n == 0) {
        Meldungen.append(nichtImHeader(Name));
        return kKeinWert;
    }
    double summe = 0;
    long long anzahl = 0;
    for (int i = 0; i < n; ++i) {
        const double v = Wert(i, c);
        if (v != kKeinWert && v >= Unten && v <= Oben) {
            summe += v;
            ++anzahl;
        }
    }
    return anzahl == 0 ? kKeinWert : summe / static_cast<double>(anzahl);
}

double TDatenLoader::MaximumZeitraum(const QString& Name, int Laenge, TDateTime Beginn, TDateTime Ende)
{
    double r = kKeinWert;
    if (Ende < Beginn) {
        Meldungen.append(QStringLiteral("Endzeit ist kleiner als Beginnzeit!"));
        return r;
    }
    if (!(HatUhrzeit && HatDatum)) {
        Meldungen.append(QStringLiteral("Keine Uhrzeit im Datensatz!"));
        return r;
    }
    TimerPause pause(*this);
    if (NeuesteZeit() < Beginn)
        return r;
    const int c = SucheSpalte(Name, Laenge);
    if (!gespeichert(c, m_layout)) {
        Meldungen.append(nichtImHeader(Name));
        return r;
    }
    for (int i = Datensaetze() - 1; i >= 0; --i) {
        const double t = Zeitstempel(i);
        const double v = Wert(i, c);
        if (t >= Beginn && t <= Ende && v != kKeinWert && (r == kKeinWert || r < v))
            r = v;
    }
    return r;
}

bool TDatenLoader::ZeitraumSpalte(const QString& Name, int Laenge, TDateTime Beginn, TRealList* Liste, int& Spalte)
{
    if (!Liste)
        throw Exception(QStringLiteral("Liste wurde nicht initialisiert!"));
    Liste->Clear();
    if (!(HatUhrzeit && HatDatum)) {
        Meldungen.append(QStringLiteral("Keine Uhrzeit im Datensatz!"));
        return false;
    }
    if (NeuesteZeit() < Beginn)
        return false;
    Spalte = SucheSpalte(Name, Laenge);
    if (!gespeichert(Spalte, m_layout)) {
        Meldungen.append(nichtImHeader(Name));
        return false;
    }
    return true;
}

void TDatenLoader::WerteAb(const QString& Name, int Laenge, TDateTime Beginn, TRealList* Liste)
{
    try {
        TimerPause pause(*this);
        int c = 0;
        if (!ZeitraumSpalte(Name, Laenge, Beginn, Liste, c))
            return;
        for (int i = Datensaetze() - 1; i >= 0; --i) {
            if (Zeitstempel(i) < Beginn)
                break;
            Liste->Add(Wert(i, c));
        }
    } catch (...) {
        Meldungen.append(QStringLiteral("Liste wurde nicht initialisiert!"));
    }
}

void TDatenLoader::WerteZeitraum(const QString& Name, int Laenge, TDateTime Beginn, TDateTime Ende, TRealList* Liste)
{
    if (Ende < Beginn) {
        Meldungen.append(QStringLiteral("Endzeit ist kleiner als die Beginnzeit!"));
        return;
    }
    try {
        TimerPause pause(*this);
        int c = 0;
        if (!ZeitraumSpalte(Name, Laenge, Beginn, Liste, c))
            return;
        for (int i = Datensaetze() - 1; i >= 0; --i) {
            const double t = Zeitstempel(i);
            if (t >= Beginn && t <= Ende)
                Liste->Add(Wert(i, c));
        }
    } catch (...) {
        Meldungen.append(QStringLiteral("Liste wurde nicht initialisiert!"));
    }
}

void TDatenLoader::WerteLetzteSekunden(const QString& Name, int Laenge, int Sekunden, TRealList* Liste)
{
    try {
        if (!Liste)
            throw Exception(QStringLiteral("Liste wurde nicht initialisiert!"));
        Liste->Clear();
        WerteAb(Name, Laenge, NeuesteZeit() - Sekunden / 86400.0, Liste);
    } catch (...) {
        Meldungen.append(QStringLiteral("Liste wurde nicht initialisiert!"));
    }
}

void TDatenLoader::GetSpaltenName(int Index, QString& Name)
{
    if (Index >= 0 && Index <= Spaltenanzahl() - 1) {
        Name = Spaltennamen().at(Index);
        return;
    }
    Meldungen.append(Format("%d ist keine gültige Spaltenzahl!", {Index}));
}
