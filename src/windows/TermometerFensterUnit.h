#pragma once

#include "Bitmap.h"
#include "Image.h"
#include "SpaltenFensterUnit.h"

#include <vector>

// --- The scale ------------------------------------------------------------------
// The visible degree window of the thermometer's scale.
struct TSkalenbereich {
    int Von = 0;
    int Bis = 0;
    bool operator==(const TSkalenbereich&) const = default;
};
TSkalenbereich ErzeugeSkalenbereich(int A, int B);

// Spans of the scale the window accepts; a span outside is refused.
constexpr int MinSkala = 1;
constexpr int MaxSkala = 1000;
constexpr int StandardSkala = 30;

// Where the window goes for a value: first to the span Skala with its bottom
// kept, then down to Trunc(v) - 1 when the value lies below it, else up to
// Trunc(v) + 1 when above. No value (the marker, NaN, infinities) moves only
// the top. Values too far out for the integer window end at its limits.
TSkalenbereich SchiebeSkala(TSkalenbereich Bereich, int Skala, double Wert);

// The scale's geometry in the picture: degrees from y 190 (bottom of the
// window) up to y 50 (top), the column from x 53 to 63 down to y 200.
enum class TStrichArt { Kurz, Mittel, Lang };
struct TThermometerStrich {
    int Grad = 0;
    int Y = 0;
    TStrichArt Art = TStrichArt::Kurz;
};
// One tick per degree of the window, bottom first: long with labels at the
// multiples of 10, medium with labels at the other multiples of 5.
std::vector<TThermometerStrich> ThermometerStriche(TSkalenbereich Bereich, int Skala);
// Top row of the column for a value in the window, kept within the picture.
int ThermometerSaeulenOben(TSkalenbereich Bereich, int Skala, double Wert);
// Whether a value draws a column at all.
bool ThermometerMitSaeule(double Wert);

// Turns every pure red pixel (blue 0, green 0, red 255) from row 50 down, in
// the columns 43 to 81, into Farbe; a system colour stands for the colour it
// currently is.
void FaerbeSaeule(TBitmap& Bild, TColor Farbe);

// --- The window -----------------------------------------------------------------
// The current value of a column on a thermometer drawn over the template
// picture "THERMOMETER": a scale window of Skala degrees that follows the
// value, and column and bulb in the colour of the range holding it.
class TTermometerFenster : public TSpaltenFenster {
public:
    TTermometerFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                       const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    void Aktualisiere(TDatenLoader* Sender) override;
    void ZeigeWert(double Wert);
    // Builds the picture for the value with column and bulb in Farbe.
    void Zeichne(TColor Farbe, double Wert);
    // Refuses a span outside MinSkala..MaxSkala (the window keeps its own);
    // redraws either way.
    void SetSkala(int Value);
    void SetSkalenbereich(TSkalenbereich Value);

    void N101Click(QAction* Sender);
    void PopupMenu1Popup();

    void SpeichereKonfiguration(const QString& IniDatei) override;
    void NachFensterFarbe() override { ZeigeWert(Wert); }

    TBitmap Hintergrund;
    int SkalaVon = 0;
    int SkalaBis = 30;
    double Wert = 0;
    int Skala = StandardSkala;

    TImage* Image1 = nullptr;
    TFensterLabel* AktuellerWertLabel = nullptr;
    TBevel* Bevel2 = nullptr;
    QAction* Skala1 = nullptr;
    QList<QAction*> SkalaPunkte;   // N101, N151, N201, N251, N301

protected:
    void LiesEigeneSchluessel(const TIniFile& Ini) override;

private:
    void BaueForm();
    void zeichneSkala(TCanvas& c);

    // What the picture shows; the same again draws nothing.
    struct Stand {
        TColor Farbe = clNone;
        double Wert = 0;
        TSkalenbereich Bereich;
        int Skala = 0;
        TColor Fensterfarbe = clNone;
        bool operator==(const Stand&) const = default;
    };
    Stand m_gezeigt;
    bool m_gezeichnet = false;
};
