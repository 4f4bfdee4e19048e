#pragma once

#include "RegenMesser.h"
#include "SpaltenFensterUnit.h"

// The rain total of one column as water in a drawn rain gauge and as a
// number. Span and period come from section "Global", from an open
// rain-gauge window when the window is made, and later from every rain-gauge
// window's setters; this window never writes them.
class TGrafikRegenMesserFenster : public TSpaltenFenster {
public:
    TGrafikRegenMesserFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                              const QString& Einheit, const QString& Spalte, const QString& IniDatei,
                              int Nachkommastellen);

    void Aktualisiere(TDatenLoader* Sender) override;
    // The gauge's visible span; the item of that many mm gets the check mark.
    void SetSkala(int Value);
    // Both refuse a value that leaves no countable periods with the other
    // setting and keep the one they had; both refresh either way.
    void SetMittelwertzeit(int Value);
    void SetVerlaufIntervalRegen(int Value);
    void N101Click(QAction* Sender);

    // The gauge takes the window colour round its glass, the caption colour
    // for its scale and the value colour for its water.
    void SetColor(TColor Value) override;
    void SetSchriftFarbeBesch(TColor Value) override;
    void SetSchriftFarbeWerte(TColor Value) override;

    // An order of its own: "Aktiv", "FensterID", position, ranges, texts,
    // font and colours, "Skala".
    void SpeichereKonfiguration(const QString& IniDatei) override;

    int Skala = 30;
    int Mittelwertzeit = 60;
    int VerlaufIntervalRegen = 24;

    TRegenMesser* AktuellerWertMesser = nullptr;
    TFensterLabel* AktuellerWertLabel = nullptr;
    TBevel* Bevel1 = nullptr;
    QAction* Skala1 = nullptr;
    QList<QAction*> SkalaPunkte;   // N101, N151, N201, N251, N301

protected:
    void LiesEigeneSchluessel(const TIniFile& Ini) override;

private:
    void BaueForm();
    // Both settings at once, when together they give countable periods.
    void SetzePerioden(int Stunden, int Minuten);
};
