#pragma once

#include "Bereiche.h"
#include "Bitmap.h"
#include "ColorTypes.h"
#include "Graphics.h"

#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

class TCanvas;

// --- Geometry of the dial ---------------------------------------------------
// Angles are degrees on the screen, growing clockwise (y points down): the
// scale runs from 135 (lower left) over 270 (up) to 405 (lower right).

// The scale from Minimum to its effective top Max(Maximum, Minimum + 1).
struct TMeterSkala {
    long long Unten = 0;
    long long Oben = 1;
    double Spanne() const { return static_cast<double>(Oben - Unten); }
};
TMeterSkala MeterSkala(int Minimum, int Maximum);

double MeterWinkel(const TMeterSkala& Skala, double Wert);
// Round(Winkel * 10) into 0..3599, wrapping any angle, however far out of
// one turn, into the tables. An angle that is not finite gives 0.
int MeterTabellenIndex(double Winkel);
// (Round(r cos a) + D div 2, Round(r sin a) + D div 2) through the tables.
QPoint MeterPunkt(double Winkel, double Radius, int D);

// Position rounded to the quantum and kept on the scale. NaN stays NaN: it
// is no value.
double MeterAnzeigeWert(double Position, double AnzeigeSchritt, const TMeterSkala& Skala);
// Colour of the first range holding the value; green when none does.
TColor MeterNabenFarbe(const TRanges& Bereiche, double Wert);
// "%.<n>f" of the value, "-" while waiting or for no value; fewer than 0
// decimals count as 0.
QString MeterWertText(double Wert, int Kommastellen, bool Waiting);

// One coloured sector of the ring: clockwise from the ray through Von to the
// ray through Bis (as a pie, counter-clockwise from Bis to Von).
struct TMeterSektor {
    QPoint Von;
    QPoint Bis;
    TColor Farbe = clGreen;
};
// Each range from where the previous one ended (the first from the scale
// start) to its upper bound, clipped to Maximum; one green sector up to
// Maximum without ranges. A range whose bound is NaN draws nothing.
std::vector<TMeterSektor> MeterSektoren(const TRanges& Bereiche, int Maximum, const TMeterSkala& Skala, int D);

// Most ticks drawn, whatever the scale.
constexpr int MeterMaxStriche = 1000;
// Scale values from the bottom to the top that are multiples of Schritt
// (counted from Minimum when AbMinimum); at most MeterMaxStriche of them.
std::vector<long long> MeterStriche(const TMeterSkala& Skala, int Schritt, bool AbMinimum);

// The value box (left, top, right, bottom) for a value text of height H.
struct TMeterWertBox {
    int Links = 0;
    int Oben = 0;
    int Rechts = 0;
    int Unten = 0;
};
TMeterWertBox MeterWertBox(int D, int H);
// A text cell of width W inside the frame of the box, centred on the dial.
bool MeterTextPasst(int D, int W, const TMeterWertBox& Box);
// Sets the canvas font to 19 points, or, when the text does not fit the box
// so, to the largest smaller size at which it does (1 point at the least).
// Gives the text's width at that size.
int MeterWertSchriftAnpassen(TCanvas& c, const QString& Text, int D, const TMeterWertBox& Box);

// --- The control --------------------------------------------------------------
// A round 270-degree gauge. Every setter redraws the whole dial into Bild at
// once (Waiting, Color and Font excepted); paintEvent only copies Bild.
// The gauge owns its range list: owners copy one in, or fill Bereiche() and
// then call Zeichne.
class TMeter : public QWidget {
public:
    explicit TMeter(QWidget* parent = nullptr);
    ~TMeter() override;

    int Minimum() const { return m_minimum; }
    void SetMinimum(int Value);
    int Maximum() const { return m_maximum; }
    void SetMaximum(int Value);
    double Position() const { return m_position; }
    // Clears Waiting.
    void SetPosition(double Value);
    int BeschriftungSchritt() const;
    // Refused (and not drawn) unless > 0.
    void SetBeschriftungSchritt(int Value);
    double AnzeigeSchritt() const;
    // Refused (and not drawn) unless finite and > 0.
    void SetAnzeigeSchritt(double Value);
    bool BeschriftungSchrittAbMinimum() const { return m_beschriftungSchrittAbMinimum; }
    void SetBeschriftungSchrittAbMinimum(bool Value);
    bool ZusatzBeschriftung() const { return m_zusatzBeschriftung; }
    void SetZusatzBeschriftung(bool Value);
    const QString& Beschriftung() const { return m_beschriftung; }
    void SetBeschriftung(const QString& Value);
    int AnzahlKommastellen() const { return m_anzahlKommastellen; }
    void SetAnzahlKommastellen(int Value);
    // Whoever changes the list calls Zeichne; until then the picture is old.
    TRanges& Bereiche()
    {
        m_gezeichnet = false;
        return m_bereiche;
    }
    const TRanges& Bereiche() const { return m_bereiche; }
    // Copies the list.
    void SetBereiche(const TRanges& Value);
    bool BeschrFarbeVonBereich() const { return m_beschrFarbeVonBereich; }
    void SetBeschrFarbeVonBereich(bool Value);
    TColor BeschrFarbe() const { return m_beschrFarbe; }
    void SetBeschrFarbe(TColor Value);
    TColor BeschrHFarbe() const { return m_beschrHFarbe; }
    void SetBeschrHFarbe(TColor Value);
    bool Waiting() const { return m_waiting; }
    // Shows at the next redraw.
    void SetWaiting(bool Value)
    {
        m_waiting = Value;
        m_gezeichnet = false;
    }

    // Background colour and font; both show at the next Zeichne.
    TColor Color() const { return m_color; }
    void SetColor(TColor Value);
    const TFontDesc& Font() const { return m_font; }
    void SetFont(const TFontDesc& Value)
    {
        m_font = Value;
        m_gezeichnet = false;
    }

    // Renders the whole gauge into Bild and repaints.
    virtual void Zeichne();
    const TBitmap& Bild() const { return m_bild; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    template<class T>
    void setze(T& feld, const T& wert)
    {
        feld = wert;
        Zeichne();
    }
    void zeichneSektoren(TCanvas& c, int D, const TMeterSkala& skala);
    void zeichneZeiger(TCanvas& c, int D, const TMeterSkala& skala, double wert, TColor nabe);
    void zeichneStriche(TCanvas& c, int D, const TMeterSkala& skala);
    void zeichneWertBox(TCanvas& c, int D, double wert, TColor nabe);

    TBitmap m_bild;
    QString m_beschriftung;
    int m_anzahlKommastellen = 0;
    TRanges m_bereiche;
    bool m_beschrFarbeVonBereich = false;
    TColor m_beschrFarbe = clBlack;
    TColor m_beschrHFarbe = clBlack;
    bool m_waiting = false;
    int m_beschriftungSchritt = 0;
    double m_anzeigeSchritt = 0.0;
    int m_maximum = 0;
    int m_minimum = 0;
    double m_position = 0.0;
    bool m_beschriftungSchrittAbMinimum = false;
    bool m_zusatzBeschriftung = false;
    TColor m_color = clBtnFace;
    TFontDesc m_font;
    // Bild shows every setting as it is now.
    bool m_gezeichnet = false;
};
