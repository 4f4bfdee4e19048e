#pragma once

#include "Bitmap.h"
#include "ColorTypes.h"

#include <QWidget>
#include <vector>

// --- The sliding scale --------------------------------------------------------
// The part of the scale in view: Oben is always Unten + the interval.
struct TRegenSkala {
    long long Unten = 0;
    long long Oben = 1;
    bool operator==(const TRegenSkala&) const = default;
};

// Amounts beyond this (inf included) are taken as this far out, so that the
// scale stays countable.
constexpr double RegenMesserGrenze = 1e15;

// The scale after a new amount: it moves only when the amount leaves it,
// down to Trunc(Position), or up so that Round(Position) + 1 is its top. A
// positive amount always ends in view, also with an interval of 1.
TRegenSkala RegenSkalaNachPosition(TRegenSkala Skala, int Intervall, double Position);
// The scale after a new interval: centred on the amount, never below 0, the
// amount in view as above.
TRegenSkala RegenSkalaZentriert(double Position, int Intervall);

// Picture rows of the scale: its bottom and its top.
constexpr int RegenSkalaYUnten = 215;
constexpr int RegenSkalaYOben = 70;
// The row of a scale value: 215 - Round(145 / Intervall * (Wert - Unten)),
// the value taken within RegenMesserGrenze and the row within 1000 of the
// scale's bottom however far out the value lies.
int RegenMesserY(const TRegenSkala& Skala, int Intervall, double Wert);

// One tick: its value, row, right end (55 at multiples of 10, 50 at other
// multiples of 5, else 45; it starts at the scale line, x 35) and whether
// the value is written beside it.
struct TRegenStrich {
    long long Wert = 0;
    int Y = 0;
    int BisX = 45;
    bool Beschriftet = false;
};
// Most ticks drawn, however wide the scale.
constexpr int RegenMesserMaxStriche = 1000;
// Every whole value of the scale from the bottom up; labelled where
// AnzeigeInterval (0: none) divides it.
std::vector<TRegenStrich> RegenMesserStriche(const TRegenSkala& Skala, int Intervall, int AnzeigeInterval);

// --- The control ----------------------------------------------------------------
// A rain gauge whose water shows an amount on a scale that slides along with
// it. The picture "BILD" is drawn over the water with its white inside left
// out, so the water shows only in the glass; the surround takes Color. Every
// setter that changes something redraws into Bild at once; paintEvent only
// copies Bild.
class TRegenMesser : public QWidget {
public:
    explicit TRegenMesser(QWidget* parent = nullptr);
    ~TRegenMesser() override;

    // Never below 1.
    int SkalaInterval() const;
    // Recentres the scale on Position.
    void SetSkalaInterval(int Value);
    double Position() const { return m_position; }
    void SetPosition(double Value);
    int AnzeigeInterval() const { return m_anzeigeInterval; }
    // Stored as at least 1; until then no value is written.
    void SetAnzeigeInterval(int Value);
    // Colour of the water.
    TColor Farbe() const { return m_farbe; }
    void SetFarbe(TColor Value);
    // Colour of the scale line, ticks and labels.
    TColor BeschrFarbe() const { return m_beschrFarbe; }
    void SetBeschrFarbe(TColor Value);
    // The colour round the glass: the parent window's.
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    // The control takes the picture's size on every resize; no redraw.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool Value);

    TRegenSkala Skala() const { return m_skala; }

    // Renders the gauge into Bild and repaints.
    void Zeichne();
    const TBitmap& Bild() const { return m_bild; }
    // The gauge picture, empty when it could not be loaded.
    const TBitmap& Vorlage() const { return m_vorlage; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void zeichneSkala(TBitmap& w);

    TBitmap m_vorlage;
    TBitmap m_bild;
    TColor m_farbe = clBlack;
    bool m_autoSize = false;
    TRegenSkala m_skala;
    TColor m_beschrFarbe = clBlack;
    int m_anzeigeInterval = 0;
    int m_skalaInterval = 0;
    double m_position = 0.0;
    TColor m_color = clWindow;
};
