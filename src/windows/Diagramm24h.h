#pragma once

#include "Bereiche.h"
#include "DiagrammDialog.h"

class QCheckBox;
struct TVerlaufAufruf;

// The 24-hour chart of one column that a display window opens from
// "24h - Verlauf...": a line over time, its points coloured by the window's
// ranges, the left axis fixed to their span. While "Aktualisieren" is
// checked it follows new data; the box's state is kept in section
// "DiagrammFenster" for every chart of every window.
class TDiagrammFenster : public TDiagrammDialog {
public:
    // Builds and fills the chart from the last 24 hours before the newest
    // record; the ranges are copied.
    TDiagrammFenster(QWidget* AOwner, TDatenLoader* Loader, const QString& Beschriftung, const QString& Einheit,
                     const QString& Spalte, const QString& IniDatei, const TRanges* Bereiche);
    // Writes "Aktualisieren".
    ~TDiagrammFenster() override;

    // Builds the chart for the window and shows it modal; returns when it
    // has been closed.
    static void Oeffne(const TVerlaufAufruf& Aufruf);

    // With "Aktualisieren" checked: the caption renewed and the line
    // refilled from every stored record; the left axis stays.
    void Aktualisiere(TDatenLoader* Sender) override;
    void LadeAktualisieren(const QString& IniDatei);
    void SpeichereAktualisieren(const QString& IniDatei);

    TChart* VerlaufDiagramm = nullptr;
    TLineSeries* Series1 = nullptr;
    QCheckBox* AktualisierenCheckBox = nullptr;

    QString Spalte;
    TRanges Bereiche;
    QString IniDatei;

private:
    // "Diagramm mit Werten von ... bis ...": the oldest and newest record.
    void ZeigeZeitraum(TDatenLoader& Loader);
};
