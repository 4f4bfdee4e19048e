#include "Bereiche.h"

#include "Exceptions.h"
#include "SysUtils.h"

#include <algorithm>

TBereich ErzeugeBereich(TColor Farbe, double A, double B)
{
    TBereich b;
    b.Von = std::min(A, B);
    b.Bis = std::max(A, B);
    b.Farbe = Farbe;
    return b;
}

void TRanges::Clear()
{
    m_bereiche.clear();
}

void TRanges::Add(TColor Farbe, double A, double B)
{
    m_bereiche.push_back(ErzeugeBereich(Farbe, A, B));
}

void TRanges::Add(const TBereich& Bereich)
{
    m_bereiche.push_back(Bereich);
}

void TRanges::pruefeIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError(Format(QStringLiteral("%d ist außerhalb des Bereichs!"), {Index}));
}

TBereich TRanges::GetBereich(int Index) const
{
    pruefeIndex(Index);
    return m_bereiche[static_cast<std::size_t>(Index)];
}

void TRanges::SetBereich(int Index, const TBereich& Bereich)
{
    pruefeIndex(Index);
    m_bereiche[static_cast<std::size_t>(Index)] = Bereich;
}

bool TRanges::SucheFarbe(double Wert, TColor& Farbe) const
{
    for (const TBereich& b : m_bereiche) {
        if (b.Von <= Wert && b.Bis >= Wert) {
            Farbe = b.Farbe;
            return true;
        }
    }
    return false;
}

TColor TRanges::Farbe(double Wert) const
{
    TColor farbe = clNone;
    if (SucheFarbe(Wert, farbe))
        return farbe;
    throw ERangeError(Format(QStringLiteral("%f liegt in keinem Bereich!"), {Wert}));
}

void TRanges::Gesamtbereich(double& Oben, double& Unten) const
{
    if (m_bereiche.empty())
        throw ERangeError(QStringLiteral("Keine Bereiche vorhanden!"));
    double oben = m_bereiche.front().Bis;
    double unten = m_bereiche.front().Von;
    for (std::size_t i = 1; i < m_bereiche.size(); ++i) {
        oben = std::max(oben, m_bereiche[i].Bis);
        unten = std::min(unten, m_bereiche[i].Von);
    }
    Oben = oben;
    Unten = unten;
}

void TRealList::pruefeIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError(Format(QStringLiteral("%d liegt außerhalb der Liste!"), {Index}));
}

double TRealList::GetItem(int Index) const
{
    pruefeIndex(Index);
    return m_werte[static_cast<std::size_t>(Index)];
}

void TRealList::SetItem(int Index, double Value)
{
    pruefeIndex(Index);
    m_werte[static_cast<std::size_t>(Index)] = Value;
}

void TRealList::Reserve(int n)
{
    if (n > 0)
        m_werte.reserve(static_cast<std::size_t>(n));
}
