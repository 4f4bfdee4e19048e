#pragma once

#include "Bitmap.h"
#include "ColorTypes.h"
#include "Graphics.h"

#include <QPoint>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

// --- Geometry -------------------------------------------------------------------
// Bearings in degrees clockwise from north; north is up and y points down.

// Turns P about the origin by Winkel degrees (clockwise on the screen) through
// the tables of tenths of a degree. Any angle wraps into one turn; one that
// is not finite turns nothing.
void DrehePunkt(QPoint& P, double Winkel);

// One tenth of the compass rose's 360 degrees: sector i covers the bearings
// i * 10 up to (i + 1) * 10.
struct TVerlaufSektor {
    double Wert = 0;         // share of the history, 0 (yellow) .. 255 (red)
    std::uint8_t Laenge = 0; // drawn radius, 255 = 60 pixels
    bool Belegt = false;     // drawn at all
    bool operator==(const TVerlaufSektor&) const = default;
};
constexpr int KompassSektoren = 36;
using TKompassVerlauf = std::array<TVerlaufSektor, KompassSektoren>;

// A position the needle points at: finite and not negative. Anything else
// shows the dial alone.
bool KompassZeigtRichtung(double Position);

// RGB(255, 255 - Round(Wert), 0); a share outside 0..255 counts as its bound.
TColor KompassSektorFarbe(double Wert);
// Round(Laenge * 60 / 255).
int KompassSektorRadius(std::uint8_t Laenge);

// A history wedge as drawn: the pie in the box around the centre from the ray
// through Start counter-clockwise to the ray through Ende.
struct TKompassKeil {
    int Sektor = 0;
    QPoint Mitte;
    int Radius = 0;
    QPoint Start;
    QPoint Ende;
    TColor Farbe = clYellow;
};
// The occupied sectors of a picture W x H in order; a sector of radius 0
// has no area and draws nothing.
std::vector<TKompassKeil> KompassKeile(const TKompassVerlauf& Verlauf, int W, int H);

// The needle's two triangles in picture coordinates: tip 80 pixels from the
// pivot (W div 2, H div 2 - 2), tail 10 behind it, 10 to either side.
struct TKompassNadel {
    std::array<QPoint, 3> Links;   // white
    std::array<QPoint, 3> Rechts;  // grey
};
TKompassNadel KompassNadel(double Position, int W, int H);

// --- The control ----------------------------------------------------------------
// The compass dial "HINTERGRUND" with a needle and the direction history as
// coloured sectors round the centre. Every setter that changes the picture
// redraws it at once into Bild, as large as the dial; paintEvent stretches
// Bild over the control. The owner writes Verlauf and then sets Position;
// a history written alone shows with the next paint.
class TKompass : public QWidget {
public:
    explicit TKompass(QWidget* parent = nullptr);
    ~TKompass() override;

    double Position() const { return m_position; }
    // Negative (or not finite): no direction, the dial alone.
    void SetPosition(double Value);
    bool ZeigeVerlauf() const { return m_zeigeVerlauf; }
    void SetZeigeVerlauf(bool Value);
    bool AutoSize() const { return m_autoSize; }
    // True: the control takes the dial's size. Draws nothing by itself.
    void SetAutoSize(bool Value);
    TColor Color() const { return m_color; }
    // Shows through the dial's corners.
    void SetColor(TColor Value);

    // Empty when the dial could not be loaded; nothing is drawn then.
    const TBitmap& Hintergrund() const { return m_hintergrund; }

    TKompassVerlauf Verlauf{};

    // Builds the picture; a picture that already shows these settings and
    // this history is kept.
    void Zeichne();
    const TBitmap& Bild() const { return m_bild; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Stand {
        double Position = -1;
        bool ZeigeVerlauf = true;
        TColor Color = clBtnFace;
        TKompassVerlauf Verlauf{};
        bool operator==(const Stand&) const = default;
    };
    // False when the picture already shows the current settings.
    bool baueBild();
    void zeichneVerlauf(TCanvas& c) const;
    void zeichneNadel(TCanvas& c) const;

    TBitmap m_hintergrund;
    // The dial over the control's colour, kept until the colour changes.
    TBitmap m_grund;
    TColor m_grundFarbe = clNone;
    TBitmap m_bild;
    bool m_gezeichnet = false;
    Stand m_gezeigt;

    bool m_autoSize = false;
    bool m_zeigeVerlauf = true;
    double m_position = -1;
    TColor m_color = clBtnFace;
};
