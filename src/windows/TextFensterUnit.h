#pragma once

#include "GrundFensterUnit.h"

// The loader client of the text-like windows; nothing of its own.
class TStandardClient : public TLoaderClient {
public:
    using TLoaderClient::TLoaderClient;
};

// One column as text: the current value large, minimum, mean and maximum of
// the stored history beneath, coloured by the window's ranges.
class TStandardfenster : public TGrundFenster {
public:
    TStandardfenster(TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                     const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    void LadeKonfiguration(const QString& IniDatei) override;
    void SpeichereKonfiguration(const QString& IniDatei) override;

    void SetBeschriftung(const QString& Value);
    void SetEinheit(const QString& Value);
    void SetLHFarbe(TColor Value);
    void SetSchrift(const QString& Value);
    void SetSchriftFarbeWerte(TColor Value);
    void SetSchriftFarbeBesch(TColor Value);

    void Aktualisiere(TDatenLoader* Sender);
    void PopupMenu1Popup();
    void N24hVerlauf1Click();

    QString Schrift;
    QString Spalte;
    QString Einheit;
    QString Beschriftung;
    TColor LHFarbe = clBlack;
    TColor SchriftFarbeBesch = clBlack;
    TColor SchriftFarbeWerte = clBlack;

    TBevel* Bevel6 = nullptr;
    TFensterLabel* MittelEinheitLabel = nullptr;
    TFensterLabel* AktuellerWertLabel = nullptr;
    TFensterLabel* BeschriftungLabel = nullptr;
    TFensterLabel* MinEinheitLabel = nullptr;
    TFensterLabel* MaxEinheitLabel = nullptr;
    TBevel* Bevel2 = nullptr;
    TFensterLabel* MinLabel = nullptr;
    TFensterLabel* MaxLabel = nullptr;
    TFensterLabel* MittelLabel = nullptr;
    TFensterLabel* EinheitLabel = nullptr;
    TBevel* Bevel3 = nullptr;
    TBevel* Bevel4 = nullptr;
    TBevel* Bevel5 = nullptr;
    QAction* Optionen1 = nullptr;
    QAction* N24hVerlauf1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Deaktivieren1 = nullptr;

private:
    void BaueForm();
    // Sets one value label: "-" for no value, else coloured by range. When
    // no range holds the value: without ranges the plain text, with ranges
    // the substitute value if there is one, else the label stays as it was.
    void ZeigeWert(TFensterLabel& Label, double Wert, const double* Ersatz);
    std::vector<TFensterLabel*> WertLabels() const;
    std::vector<TFensterLabel*> BeschriftungsLabels() const;
};
