#pragma once

#include "ColorTypes.h"

#include <vector>

// One value range; both bounds belong to it.
struct TBereich {
    double Von = 0.0;
    double Bis = 0.0;
    TColor Farbe = clNone;
};

// The range between A and B in either order.
TBereich ErzeugeBereich(TColor Farbe, double A, double B);

// Ordered list of coloured value ranges; the first range holding a value
// decides its colour. Copies are independent.
class TRanges {
public:
    int Count() const { return static_cast<int>(m_bereiche.size()); }
    void Clear();
    void Add(TColor Farbe, double A, double B);
    // Keeps the bounds as they are; used to copy one list into another.
    void Add(const TBereich& Bereich);
    TBereich GetBereich(int Index) const;
    void SetBereich(int Index, const TBereich& Bereich);
    // Raises ERangeError when no range holds the value.
    TColor Farbe(double Wert) const;
    // The same lookup without raising, for loops over many values: false
    // when no range holds the value.
    bool SucheFarbe(double Wert, TColor& Farbe) const;
    // Span of all ranges; raises ERangeError on an empty list.
    void Gesamtbereich(double& Oben, double& Unten) const;

private:
    void pruefeIndex(int Index) const;
    std::vector<TBereich> m_bereiche;
};

// Growable list of doubles, filled by the history queries.
class TRealList {
public:
    int Count() const { return static_cast<int>(m_werte.size()); }
    void Add(double Value) { m_werte.push_back(Value); }
    double GetItem(int Index) const;
    void SetItem(int Index, double Value);
    void Clear() { m_werte.clear(); }
    void Reserve(int n);
    const std::vector<double>& Werte() const { return m_werte; }

private:
    void pruefeIndex(int Index) const;
    std::vector<double> m_werte;
};
