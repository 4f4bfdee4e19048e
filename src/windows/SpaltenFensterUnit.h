#pragma once

#include "AppErrors.h"
#include "GrundFensterUnit.h"

class TIniFile;

// What every window of one data column shares: caption, column and unit with
// their setters, the section in the family's key order, the pop-up menu's
// standard items and the loader client whose notifications reach
// Aktualisiere. The options dialog reads and sets a window through this
// class alone.
class TSpaltenFenster : public TGrundFenster {
public:
    int FensterID() const override { return m_fensterID; }
    virtual void SetBeschriftung(const QString& Value);
    virtual void SetEinheit(const QString& Value);
    virtual void SetSpalte(const QString& Value);

    // The new-data handler: reads the column from the loader and shows it.
    virtual void Aktualisiere(TDatenLoader* Sender) = 0;
    // The loader the window's client is registered with, if any.
    TDatenLoader* Loader() const;

    // The family order: base part, position, caption, column, unit, ranges,
    // font and colours, then the class's own keys.
    void LadeKonfiguration(const QString& IniDatei) override;
    // "FensterID", caption, column, unit, position, "Aktiv", ranges, font and
    // colours, then the class's own keys.
    void SpeichereKonfiguration(const QString& IniDatei) override;

    // Opens the 24-hour chart of the window's column.
    virtual void N24hVerlauf1Click();
    // What the chart is opened with: the window's own texts, column and ranges.
    virtual TVerlaufAufruf VerlaufAufruf();

    // --- What the options dialog needs beyond the common settings ---------
    // The window's own time span: none, days (a double) or hours (whole).
    enum class TSpannenArt { Keine, Tage, Stunden };
    virtual TSpannenArt SpannenArt() const { return TSpannenArt::Keine; }
    virtual double Spanne() const { return 0; }
    virtual void SetSpanne(double) {}
    // A gauge's own range list, which the dialog refills before the
    // window's own; nullptr for windows without one.
    virtual TRanges* InstrumentBereiche() { return nullptr; }
    virtual void ZeichneInstrument() {}
    // After the dialog has set the window colour (a picture that takes it
    // redraws here).
    virtual void NachFensterFarbe() {}

    QString Beschriftung;
    QString Spalte;
    QString Einheit;

    // Show the caption and the unit; a class without such a label shows them
    // its own way.
    TFensterLabel* BeschriftungLabel = nullptr;
    TFensterLabel* EinheitLabel = nullptr;

    QAction* Optionen1 = nullptr;
    QAction* N24hVerlauf1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Deaktivieren1 = nullptr;

protected:
    // MitEinheit false: the unit is no common text; the state and trend
    // windows have none, the wind-speed window reads and writes its own.
    TSpaltenFenster(Bau B, TFensterOwner& AOwner, int FensterID, bool MitEinheit = true);

    // The common start of every column window's constructor, after its form
    // is built: the loader client, column, unit, caption, name, decimals and
    // the section, which overrides what the arguments said.
    template<class Client>
    void Starte(TDatenLoader* Loader, const QString& Beschriftung, const QString& Einheit, const QString& Spalte,
                const QString& IniDatei, int Nachkommastellen)
    {
        LoaderClient = Loader ? std::make_unique<Client>(Loader) : std::make_unique<Client>();
        LoaderClient->OnNeueDaten = [this](TDatenLoader* Sender) { Guarded([&] { Aktualisiere(Sender); }); };
        Starte(Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    }

    // "Optionen...", "24h - Verlauf..." where the window offers it, whatever
    // the window adds (a sub-menu), the separator and "Deaktivieren", the
    // menu's default item.
    void BaueMenu(bool Mit24h, const std::function<void()>& Zusatz = {});

    // Steps of the section a class may replace or extend.
    virtual void LiesBereicheAus(const TIniFile& Ini) { LiesBereiche(Ini); }
    virtual void SchreibeBereicheIn(TIniFile& Ini) const { SchreibeBereiche(Ini); }
    virtual void LiesEigeneSchluessel(const TIniFile&) {}
    virtual void SchreibeEigeneSchluessel(TIniFile&) const {}
    // Default of "SchriftFarbeWerte".
    virtual TColor WerteFarbeVorgabe() const { return clRed; }

    // Maximum, minimum, mean and current value of the column into four
    // labels, in this order, coloured by range. Beyond the ranges the
    // extremes show the ranges' own limits, while mean and current value
    // keep what they showed; "-" for no value. Gives the current value when
    // its label took it, else the no-value marker.
    double ZeigeStatistik(TDatenLoader& Loader, TFensterLabel& Max, TFensterLabel& Min, TFensterLabel& Mittel,
                          TFensterLabel& Aktuell);

    // Pieces for the classes that write in an order of their own.
    void LiesTexte(const TIniFile& Ini);
    void SchreibeTexte(TIniFile& Ini) const;
    // The order of the picture windows (thermometer, rain-gauge picture):
    // "Aktiv", "FensterID", position, ranges, texts, "Schrift", "LHFarbe",
    // "SchriftFarbeWerte", "SchriftFarbeBesch", "FensterFarbe".
    void SchreibeBildfensterSektion(TIniFile& Ini) const;

private:
    void Starte(const QString& Beschriftung, const QString& Einheit, const QString& Spalte, const QString& IniDatei,
                int Nachkommastellen);

    int m_fensterID;
    bool m_mitEinheit;
};

// A choice of values in the pop-up menu (spans, periods).
// A sub-menu at the end of the window's pop-up menu with one checkable item
// per value (caption the value, name "N" + value + "1"), each handing its
// item to Handler; the items are appended to Punkte. Gives the sub-menu's item.
QAction* BaueWahlMenu(TGrundFenster& Fenster, const QString& Name, const QString& Titel, std::initializer_list<int> Werte,
                      QList<QAction*>& Punkte, const std::function<void(QAction*)>& Handler);
// A check mark on every item whose value is Wert, on no other.
void SetzeHaken(const QList<QAction*>& Punkte, int Wert);
