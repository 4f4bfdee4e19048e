#pragma once

#include "SysUtils.h"

#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTimer;
class TLoaderClient;
class TRealList;

// Reads the logger's data file on its own timer, keeps the recent records
// and answers the windows' queries by column name.
class TDatenLoader {
public:
    using TNotifyEvent = std::function<void(TDatenLoader* Sender)>;

    TDatenLoader(const QString& Datei, int Interval, double HalteDauer, QChar Trennzeichen, bool Aktiv);
    virtual ~TDatenLoader();
    TDatenLoader(const TDatenLoader&) = delete;
    TDatenLoader& operator=(const TDatenLoader&) = delete;

    // --- Fields the main window and some windows read or set -------------
    double HalteDauer = 0;           // history span in days
    QStringList Meldungen;           // messages gathered since the last tick
    QString Header;                  // the data file's first line as last read
    QString Datei;
    bool HatUhrzeit = false;
    int UhrzeitSpalte = 0;
    bool HatDatum = false;
    int DatumSpalte = 0;
    QChar Trennzeichen;
    TNotifyEvent OnVorLaden;
    TNotifyEvent OnMeldung;
    // Fired by a tick whose load took a header other than the one before,
    // before the clients hear of it: the columns may have moved.
    TNotifyEvent OnNeuerHeader;
    // The save file; a day a new column layout pushes out of the store is
    // kept beside it ("<stem>-<yyyymmdd-hhmmss>.sav"). Empty: none is kept.
    QString SicherungsDatei;

    int Interval() const { return m_interval; }
    bool Aktiv() const { return m_aktiv; }
    TTimer* Timer() const { return m_timer.get(); }

    // --- Reading the data file -------------------------------------------
    void LeseHeader();
    void LadeDatei();
    void NeuerDatensatz(const QString& Zeile);
    double LeseUhrzeit(const QString& Zeile);
    double LeseDatum(const QString& Zeile);
    void LoescheAeltesten();
    double NeuesteZeit();
    double AeltesteZeit();
    int Spaltenanzahl() const;
    int SucheSpalte(const QString& Name, int Laenge);
    bool SpalteVorhanden(const QString& Name, int Laenge);
    void GetSpaltenNamen(QStringList& Liste) const;
    void SetAktiv(bool Value);
    void AendereIntervall(int Value);
    void TimerTimer();

    // --- Column queries ---------------------------------------------------
    double AktuellerWert(const QString& Name, int Laenge);
    double Maximum(const QString& Name, int Laenge);
    double Minimum(const QString& Name, int Laenge);
    double Mittelwert(const QString& Name, int Laenge);
    double MittelwertBereich(const QString& Name, int Laenge, double Unten, double Oben);
    double MaximumZeitraum(const QString& Name, int Laenge, TDateTime Beginn, TDateTime Ende);
    void WerteAb(const QString& Name, int Laenge, TDateTime Beginn, TRealList* Liste);
    void WerteZeitraum(const QString& Name, int Laenge, TDateTime Beginn, TDateTime Ende, TRealList* Liste);
    void WerteLetzteSekunden(const QString& Name, int Laenge, int Sekunden, TRealList* Liste);
    void GetSpaltenName(int Index, QString& Name);
    double Taupunkt(double T, double RF) const;

    // --- History save file ------------------------------------------------
    // False (with the message) when the file could not be written.
    bool SpeichereDatei(const QString& DateiName);
    // Before it replaces a save file of another header, or a file that is
    // no save file at all, a copy of that file is kept beside it as a
    // layout change keeps the store's day.
    // Merges the save file's records: those newer than the store's newest
    // at the end, those older than the records read from the data file in
    // front of them. False when the file was not merged (unreadable, or
    // another header).
    bool LadeSicherung(const QString& DateiName);

    // --- Clients ------------------------------------------------------------
    void AddClient(TLoaderClient* Client);
    void RemoveClient(TLoaderClient* Client);
    const std::vector<TLoaderClient*>& Clients() const { return m_clients; }

    // --- Store access (read-only, for tests and benchmarks) ---------------
    int Datensaetze() const;                  // number of stored records
    // The header the stored records were read with.
    const QString& DatenHeader() const { return m_datenKopf; }
    // A line far ahead of the newest record or behind it, waiting for the
    // next line to confirm it; empty when none waits.
    const QString& ZurueckgehalteneZeile() const { return m_zurueck; }
    // Inline, as Zeitstempel: every query that walks the records calls them.
    double Wert(int Datensatz, int Spalte) const
    {
        return m_werte[m_start + static_cast<size_t>(Datensatz) * static_cast<size_t>(m_layout)
                       + static_cast<size_t>(Spalte)];
    }
    // Bytes the store holds allocated.
    size_t SpeicherBytes() const;

private:
    void SetIntervall(int Value);
    // Timer off for the lifetime of the guard, previous state restored after.
    class TimerPause;
    friend class TimerPause;

    enum class KopfArt { Kopf, Datensatz, Unbrauchbar };
    KopfArt PruefeKopf(const QString& zeile, bool zuLang);
    void UebernehmeHeader(const QString& neu);
    // Appends the newest line by its time, holding back one far off the
    // newest record until the next line confirms the jump.
    void NimmZeile(const QString& zeile);
    void MeldeVerworfen();
    // Behind the newest record in a span that a jump ahead of this run
    // skipped: the clock put right.
    bool InLuecke(double zeit) const;
    // The confirmed jump: the records it pushes out kept as a copy first;
    // a jump whose copy can't be written is not taken.
    void SpringeVor(const QString& erste, double ersteZeit, const QString& zweite);
    void SpringeZurueck(const QString& erste, double ersteZeit, const QString& zweite);
    // True when the copy a jump needs is missing: the jump's records taken
    // off again, the jump not taken.
    bool OhneKopie(const QString& kopie, int vorher, const QString& zweite);
    // The records this run's jump copies hold within the span before the
    // newest record, back into the store.
    void HoleTagZurueck();
    void MerkeSprungKopie(const QString& kopie);
    // Records with a time stamp, not only the start-up placeholder.
    bool HatEchteDatensaetze() const;
    // The store's day as a save file beside SicherungsDatei; the copy's
    // path, or empty when none was written.
    QString BewahreTag();
    QString BewahreDatensaetze(int von, int bis);
    QString SchreibeKopie(const QString& sicherung, QByteArrayView daten);
    std::string SicherungsText(const QString& kopf, int von = 0, int bis = -1) const;
    bool SchnelleSicherungsZeile(QByteArrayView zeile, int spalten, std::vector<double>& werte) const;
    bool LeseBekanntesFeld(const QString& zeile, int spalte, bool uhrzeit, double& wert) const;
    const QStringList& Spaltennamen() const;
    double Zeitstempel(int Datensatz) const { return Wert(Datensatz, DatumSpalte) + Wert(Datensatz, UhrzeitSpalte); }
    double TaupunktVon(int Datensatz, int tSpalte, int rfSpalte) const;
    bool IstTaupunkt(const QString& Name) const;
    // Extremes, sums and counts of every stored column in one sweep, kept
    // until the store changes; the dew point per record, kept per record.
    struct Statistik {
        double max, min, summe;
        long long anzahl;
    };
    const Statistik& SpaltenStatistik(int spalte) const;
    double Extrem(const QString& Name, int Laenge, bool maximum);
    // The common start of the history queries: the list emptied and the
    // column found; false when nothing is to be added.
    bool ZeitraumSpalte(const QString& Name, int Laenge, TDateTime Beginn, TRealList* Liste, int& Spalte);
    const std::vector<double>& Taupunkte(int tSpalte, int rfSpalte) const;
    // The dew points of the named column's records; null, with the message,
    // without temperature, humidity or records.
    const std::vector<double>* TaupunktReihe(const QString& Name, int Laenge);
    void Geaendert() { ++m_version; }
    void Trimme();
    // From `ab` on, the first record the trim keeps: within HalteDauer of
    // the newest, or the newest itself.
    int ErsterImSpan(int ab) const;
    void EntferneAelteste(int anzahl);
    void EntferneBereich(int von, int bis);
    void Leeren();
    void VergissAbgeleitetes();
    void Anhaengen();   // one record of -9999 values at the end
    void KuerzeUmEinen();

    std::unique_ptr<TTimer> m_timer;
    int m_interval = 1000;
    bool m_aktiv = false;
    std::vector<TLoaderClient*> m_clients;

    // Records flat, record r column c at m_start + r * m_layout + c. The
    // front offset lets trimming drop records without moving the rest.
    std::vector<double> m_werte;
    size_t m_start = 0;
    int m_layout = 0;          // column count the stored records were laid out with
    bool m_platzhalter = false; // the oldest record is the start-up placeholder
    QString m_unfertig;         // last tick's last line, still without its line end
    QString m_datenKopf;        // header the stored records were read with
    QString m_zurueck;          // a line far off, waiting for confirmation
    double m_zurueckZeit = 0;
    bool m_zurueckVoraus = false; // ahead of the newest record, or behind it
    QString m_zurueckAbstand;     // how far off, as the log says it
    // The last line of a jump not taken for want of its copy: read again on
    // the next tick, it stays dropped.
    QString m_abgewiesen;
    // This run's jump copies under the current header that have not come
    // back yet, the oldest first.
    QStringList m_sprungKopien;
    // The spans jumps ahead skipped: from the newest record before the
    // jump to the jump's first record.
    struct Luecke {
        double von, bis;
    };
    std::vector<Luecke> m_luecken;
    bool m_langeZeileGemeldet = false;
    QStringList m_kopiert;      // headers whose day this run kept as a copy

    unsigned long long m_version = 0;
    size_t m_basis = 0;   // running number of the oldest stored record
    mutable std::vector<Statistik> m_statistik;
    mutable unsigned long long m_statistikVersion = ~0ull;
    mutable std::vector<double> m_taupunkte;   // of records m_tpBasis ...
    mutable size_t m_tpBasis = 0;
    mutable int m_tpT = -1, m_tpRf = -1;

    // Header split into names; rebuilt when the header text changes.
    mutable QString m_namenVon;
    mutable QStringList m_namen;
    mutable QStringList m_namenGross;
    mutable bool m_namenGueltig = false;
};

// Saturation vapour pressure in hPa over water (T >= 0) or ice.
double Saettigungsdampfdruck(double T);

// The observer a window registers with a loader.
class TLoaderClient {
public:
    TLoaderClient();
    explicit TLoaderClient(TDatenLoader* Loader);
    virtual ~TLoaderClient();
    TLoaderClient(const TLoaderClient&) = delete;
    TLoaderClient& operator=(const TLoaderClient&) = delete;

    virtual void NeueDaten(TDatenLoader* Loader);

    void AddLoader(TDatenLoader* Loader);
    void RemoveLoader(TDatenLoader* Loader);
    TDatenLoader* GetLoader(int Index) const;
    int LoaderCount() const { return static_cast<int>(m_loaders.size()); }

    std::function<void(TDatenLoader* Sender)> OnNeueDaten;

private:
    std::vector<TDatenLoader*> m_loaders;
};
