#pragma once

#include "SpaltenFensterUnit.h"

// The loader client of the text-like windows; nothing of its own.
class TStandardClient : public TLoaderClient {
public:
    using TLoaderClient::TLoaderClient;
};

// One column as text: the current value large, minimum, mean and maximum of
// the stored history beneath, coloured by the window's ranges.
class TStandardfenster : public TSpaltenFenster {
public:
    TStandardfenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                     const QString& Einheit, const QString& Spalte, const QString& IniDatei, int Nachkommastellen);

    void SetEinheit(const QString& Value) override;

    void Aktualisiere(TDatenLoader* Sender) override;
    void PopupMenu1Popup();

    TBevel* Bevel6 = nullptr;
    TFensterLabel* MittelEinheitLabel = nullptr;
    TFensterLabel* AktuellerWertLabel = nullptr;
    TFensterLabel* MinEinheitLabel = nullptr;
    TFensterLabel* MaxEinheitLabel = nullptr;
    TBevel* Bevel2 = nullptr;
    TFensterLabel* MinLabel = nullptr;
    TFensterLabel* MaxLabel = nullptr;
    TFensterLabel* MittelLabel = nullptr;
    TBevel* Bevel3 = nullptr;
    TBevel* Bevel4 = nullptr;
    TBevel* Bevel5 = nullptr;

private:
    void BaueForm();
};
