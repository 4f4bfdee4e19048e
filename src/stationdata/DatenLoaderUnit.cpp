#include "DatenLoaderUnit.h"

#include "Bereiche.h"
#include "Konstanten.h"
#include "Memory.h"
#include "TextFile.h"
#include "Timer.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <exception>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace {

const QString kT2m = QStringLiteral("t2m  [°C  ]");
const QString kRf = QStringLiteral("rf   [%   ]");
const QString kTtp = QStringLiteral("ttp  [°C  ]");
constexpr double kKeinWert = -9999;
// 0.1 s in days: a line must be newer than this to count as new.
constexpr double kZehntelSekunde = 1.1574074074074074e-06;
constexpr double kUntergrenze = -1500.0f;
constexpr double kObergrenze = 1500.0f;
// More columns than any logger writes: such a first line is no header, and
// everything built per column (menus, windows) stays bounded.
constexpr int kMaxSpalten = 256;

// Magnus constants over water and over ice.
constexpr double kAWasser = 17.08085;
constexpr double kBWasser = 234.175;
constexpr double kAEis = 17.84362;
constexpr double kBEis = 245.425;

// Upper case per character: 'ß' stays one character, so the first n
// characters still line up.
QString Gross(const QString& s)
{
    QString r = s;
    for (QChar& c : r)
        c = c.toUpper();
    return r;
}

// A plain ASCII number field through the fast conversion; false leaves the
// field to the general one.
bool SchnelleZahl(QStringView feld, double& wert)
{
    if (feld.size() > 64)
        return false;
    char puffer[64];
    for (qsizetype i = 0; i < feld.size(); ++i) {
        const char16_t c = feld[i].unicode();
        if (c >= 0x80)
            return false;
        puffer[i] = static_cast<char>(c);
    }
    return FastPunktStrToFloat(std::string_view(puffer, static_cast<size_t>(feld.size())), wert);
}

QString nichtImHeader(const QString& name)
{
    return Format("%s existiert nicht im Header oder keine Daten!", {name});
}

} // namespace

// Switches the loader's timer off and restores the previous state on every
// way out; restoring it restarts the count.
class TDatenLoader::TimerPause {
public:
    explicit TimerPause(TDatenLoader& loader) : m_loader(loader), m_alt(loader.m_aktiv) { m_loader.SetAktiv(false); }
    ~TimerPause() { m_loader.SetAktiv(m_alt); }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    TDatenLoader& m_loader;
    bool m_alt;
};

// ---------------------------------------------------------------------------
// Construction and the record store

TDatenLoader::TDatenLoader(const QString& datei, int interval, double halteDauer, QChar trennzeichen, bool aktiv)
    : m_timer(std::make_unique<TTimer>())
{
    SetAktiv(false);
    m_timer->OnTimer = [this](TTimer*) { TimerTimer(); };

    HalteDauer = halteDauer;
    SetIntervall(interval);
    Trennzeichen = trennzeichen;
    Datei = datei;
    HatDatum = false;
    HatUhrzeit = false;

    LadeDatei();

    // The first record becomes a placeholder stamped 0, older than anything
    // real, so the save file and the live data can be appended behind it.
    if (Datensaetze() > 0) {
        for (int c = 0; c < m_layout; ++c) {
            const bool zeitSpalte = (HatDatum && c == DatumSpalte) || (HatUhrzeit && c == UhrzeitSpalte);
            m_werte[m_start + static_cast<size_t>(c)] = zeitSpalte ? 0.0 : kKeinWert;
        }
        m_platzhalter = true;
        m_taupunkte.clear();
        Geaendert();
    }

    SetAktiv(aktiv);
}

TDatenLoader::~TDatenLoader()
{
    m_timer->OnTimer = nullptr;
    for (TLoaderClient* client : m_clients)
        if (client)
            client->RemoveLoader(this);
}

int TDatenLoader::Datensaetze() const
{
    if (m_layout <= 0)
        return 0;
    return static_cast<int>((m_werte.size() - m_start) / static_cast<size_t>(m_layout));
}

size_t TDatenLoader::SpeicherBytes() const
{
    return m_werte.capacity() * sizeof(double);
}

void TDatenLoader::Anhaengen()
{
    Geaendert();
    if (Datensaetze() == 0) {
        m_werte.clear();
        m_start = 0;
        m_basis = 0;
        m_taupunkte.clear();
        m_tpBasis = 0;
        m_layout = Spaltenanzahl();
        m_platzhalter = false;
    }
    const size_t spalten = static_cast<size_t>(m_layout);
    if (m_werte.size() + spalten > m_werte.capacity()) {
        const size_t lebend = m_werte.size() - m_start;
        // Dropped records at the front are reclaimed once they are worth a move.
        if (m_start > 0 && m_start * 16 >= lebend) {
            std::move(m_werte.begin() + static_cast<std::ptrdiff_t>(m_start), m_werte.end(), m_werte.begin());
            m_werte.resize(lebend);
            m_start = 0;
        }
        if (m_werte.size() + spalten > m_werte.capacity()) {
            const size_t cap = m_werte.capacity();
            m_werte.reserve(std::max(cap + cap / 16, m_werte.size() + 256 * spalten));
        }
    }
    m_werte.insert(m_werte.end(), spalten, kKeinWert);
}

void TDatenLoader::KuerzeUmEinen()
{
    Geaendert();
    const size_t letzter = m_basis + static_cast<size_t>(Datensaetze()) - 1;
    if (m_tpBasis + m_taupunkte.size() > letzter)
        m_taupunkte.resize(letzter - std::min(letzter, m_tpBasis));
    m_werte.resize(m_werte.size() - static_cast<size_t>(m_layout));
    if (m_werte.size() == m_start) {
        m_werte.clear();
        m_start = 0;
    }
}

void TDatenLoader::EntferneAelteste(int anzahl)
{
    if (anzahl <= 0)
        return;
    Geaendert();
    m_basis += static_cast<size_t>(anzahl);
    m_start += static_cast<size_t>(anzahl) * static_cast<size_t>(m_layout);
    m_platzhalter = false;
    if (m_start >= m_werte.size()) {
        m_werte.clear();
        m_start = 0;
    }
}

// After records moved in front of others, nothing kept per record holds.
void TDatenLoader::VergissAbgeleitetes()
{
    Geaendert();
    m_taupunkte.clear();
    m_tpBasis = m_basis;
}

void TDatenLoader::Leeren()
{
    Geaendert();
    std::vector<double>().swap(m_werte);
    m_start = 0;
    m_basis = 0;
    m_taupunkte.clear();
    m_tpBasis = 0;
    m_platzhalter = false;
}

// ---------------------------------------------------------------------------
// Header and columns

int TDatenLoader::Spaltenanzahl() const
{
    return static_cast<int>(Header.count(Trennzeichen)) + 1;
}

const QStringList& TDatenLoader::Spaltennamen() const
{
    if (!m_namenGueltig || m_namenVon != Header) {
        m_namen.clear();
        GetSpaltenNamen(m_namen);
        m_namenGross.clear();
        for (const QString& n : m_namen)
            m_namenGross.append(Gross(n));
        m_namenVon = Header;
        m_namenGueltig = true;
    }
    return m_namen;
}

void TDatenLoader::GetSpaltenNamen(QStringList& Liste) const
{
    Liste.clear();
    Liste = Header.split(Trennzeichen);
    if (Liste.contains(kT2m, Qt::CaseInsensitive) && Liste.contains(kRf, Qt::CaseInsensitive))
        Liste.append(kTtp);
}

// A new header text is taken only when it names columns; a different column
// count than the stored records have means the logger changed its layout,
// so the records and the column state can't be kept.
void TDatenLoader::UebernehmeHeader(const QString& neu)
{
    const int spalten = static_cast<int>(neu.count(Trennzeichen)) + 1;
    if (Datensaetze() > 0 && spalten != m_layout) {
        Leeren();
        HatUhrzeit = false;
        UhrzeitSpalte = 0;
        HatDatum = false;
        DatumSpalte = 0;
        Meldungen.append(Format("Spaltenaufbau von %s hat sich geändert, gespeicherte Daten verworfen!", {Datei}));
    }
    Header = neu;
}

void TDatenLoader::LeseHeader()
{
    TimerPause pause(*this);
    FirstLastLines zeilen;
    if (!ReadFirstAndLastLine(Datei, zeilen) || zeilen.lineCount == 0 || zeilen.first.isEmpty()) {
        Meldungen.append(QStringLiteral("Header konnte nicht geladen werden!"));
        return;
    }
    if (IstHeader(zeilen.first))
        UebernehmeHeader(zeilen.first);
}

// A first line that reads as a record (the logger emptied the file and
// wrote on without its header) keeps the old header; one with more columns
// than a logger writes is refused. Both are reported.
bool TDatenLoader::IstHeader(const QString& zeile)
{
    if (zeile.count(Trennzeichen) >= kMaxSpalten) {
        Meldungen.append(Format("Header von %s hat mehr als %d Spalten!", {Datei, kMaxSpalten}));
        return false;
    }
    if (HatUhrzeit && HatDatum) {
        double x = 0;
        if (LeseBekanntesFeld(zeile, UhrzeitSpalte, true, x) && LeseBekanntesFeld(zeile, DatumSpalte, false, x)) {
            Meldungen.append(Format("%s besitzt keinen Header!", {Datei}));
            return false;
        }
    }
    return true;
}

int TDatenLoader::SucheSpalte(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    Spaltennamen();
    const QStringList& namen = m_namenGross;
    const QString gesucht = Gross(Name);
    for (int i = 0; i < namen.size(); ++i) {
        const QString& eintrag = namen.at(i);
        const qsizetype n = Laenge == 0 ? std::max(eintrag.size(), gesucht.size()) : Laenge;
        if (n <= 0 || QStringView(eintrag).left(n) == QStringView(gesucht).left(n))
            return i;
    }
    return -1;
}

bool TDatenLoader::SpalteVorhanden(const QString& Name, int Laenge)
{
    return SucheSpalte(Name, Laenge) != -1;
}

// ---------------------------------------------------------------------------
// Loading

void TDatenLoader::LadeDatei()
{
    TimerPause pause(*this);

    FirstLastLines zeilen;
    bool gelesen = ReadFirstAndLastLine(Datei, zeilen);
    if (!gelesen) {
        Sleep(250);
        gelesen = ReadFirstAndLastLine(Datei, zeilen);
    }
    if (!gelesen) {
        Meldungen.append(Format("%s existiert nicht oder Zugriff verweigert!", {Datei}));
        return;
    }
    // Without a header nothing can be laid out: append nothing, trim nothing.
    if (zeilen.lineCount == 0 || zeilen.first.isEmpty()) {
        Meldungen.append(Format("%s besitzt keinen Header!", {Datei}));
        return;
    }
    // Without a header line the old header still names the columns.
    const bool mitHeader = IstHeader(zeilen.first);
    if (mitHeader) {
        UebernehmeHeader(zeilen.first);
    } else if (Header.isEmpty() || zeilen.first.count(Trennzeichen) >= kMaxSpalten) {
        return;
    }

    const QString zeile = !mitHeader || zeilen.lineCount >= 2 ? zeilen.last : QString();
    if (zeile == Header) {
        Meldungen.append(Format("%s enthält nur den Header und keine Daten", {Datei}));
    } else if (HatUhrzeit && HatDatum) {
        // The logger may be halfway through its last line: a line without its
        // end counts only once it reads the same on the next tick.
        const bool fertig = zeilen.lastTerminated || zeile == m_unfertig;
        m_unfertig = zeilen.lastTerminated ? QString() : zeile;
        if (fertig) {
            const double neueste = NeuesteZeit();
            const double uhrzeit = LeseUhrzeit(zeile);
            const double datum = LeseDatum(zeile);
            if (uhrzeit + datum > neueste + kZehntelSekunde)
                NeuerDatensatz(zeile);
        }
    } else {
        NeuerDatensatz(zeile);
    }

    Trimme();
}

void TDatenLoader::Trimme()
{
    if (!(HatUhrzeit && HatDatum)) {
        // Without time stamps each test reports the missing columns and sees
        // no difference, so only a negative span removes anything here.
        while (NeuesteZeit() - AeltesteZeit() > HalteDauer && Datensaetze() > 1)
            LoescheAeltesten();
        return;
    }
    const int n = Datensaetze();
    if (n <= 1)
        return;
    const double neueste = Zeitstempel(n - 1);
    int weg = 0;
    while (weg < n - 1 && neueste - Zeitstempel(weg) > HalteDauer)
        ++weg;
    EntferneAelteste(weg);
}

void TDatenLoader::NeuerDatensatz(const QString& Zeile)
{
    TimerPause pause(*this);

    Anhaengen();
    const int spalten = m_layout;
    const size_t basis = m_werte.size() - static_cast<size_t>(spalten);

    // The line ends with a separator of its own, so the last field is taken too.
    QStringView rest(Zeile);
    bool endeAngehaengt = false;
    for (int c = 0; c < spalten; ++c) {
        QStringView feld;
        const qsizetype pos = rest.indexOf(Trennzeichen);
        if (pos >= 0) {
            feld = rest.left(pos);
            rest = rest.mid(pos + 1);
        } else if (!endeAngehaengt) {
            feld = rest;
            rest = QStringView();
            endeAngehaengt = true;
        }

        double wert = kKeinWert;
        const bool uhrzeitSpalte = HatUhrzeit && c == UhrzeitSpalte;
        const bool datumSpalte = HatDatum && c == DatumSpalte;
        if (!feld.isEmpty() && (uhrzeitSpalte || datumSpalte)) {
            // A known time or date column holds a time or a date, never a
            // number: "16" there is 16:00, and "21.06" a day of this year.
            const QString text = feld.toString();
            double zahl = 0;
            if (uhrzeitSpalte ? TryStrToTime(text, zahl) : TryStrToDate(text, zahl))
                wert = zahl;
            else
                Meldungen.append(Format("Fehler in Spalte %d: %s ist weder eine Zahl, Uhrzeit oder Datum", {c, text}));
        } else if (!feld.isEmpty() && SchnelleZahl(feld, wert)) {
            // a plain number, read without the general conversion
        } else if (!feld.isEmpty()) {
            const QString text = feld.toString();
            double zahl = 0;
            if (TryStrToFloat(PunktZuKomma(text), zahl)) {
                wert = zahl;
            } else if (TryStrToTime(text, zahl)) {
                wert = zahl;
                if (!HatUhrzeit) {
                    UhrzeitSpalte = c;
                    HatUhrzeit = true;
                }
            } else if (TryStrToDate(text, zahl)) {
                wert = zahl;
                if (!HatDatum) {
                    DatumSpalte = c;
                    HatDatum = true;
                }
            } else {
                Meldungen.append(Format("Fehler in Spalte %d: %s ist weder eine Zahl, Uhrzeit oder Datum", {c, text}));
            }
        }
        m_werte[basis + static_cast<size_t>(c)] = wert;
    }

    // A record without its date or time has no place in time.
    bool gueltig = true;
    for (int c = 0; c < spalten && gueltig; ++c) {
        const double v = m_werte[basis + static_cast<size_t>(c)];
        if ((HatUhrzeit && c == UhrzeitSpalte) || (HatDatum && c == DatumSpalte))
            gueltig = v != kKeinWert;
        else if (v < kUntergrenze || v > kObergrenze || v == kKeinWert)
            gueltig = false;
    }
    if (!gueltig && Datensaetze() > 1)
        KuerzeUmEinen();
}

namespace {

// The field at a column: the text up to the next separator or the line's end.
bool FeldAn(QStringView zeile, QChar trenn, int spalte, QStringView& feld)
{
    for (int c = 0; c < spalte; ++c) {
        const qsizetype pos = zeile.indexOf(trenn);
        if (pos < 0)
            return false;
        zeile = zeile.sliced(pos + 1);
    }
    const qsizetype pos = zeile.indexOf(trenn);
    feld = pos < 0 ? zeile : zeile.left(pos);
    return true;
}

// Before a column is known, walks the fields that are followed by a
// separator; the text after the last separator is not looked at then.
template <class Versuch>
bool SucheFeld(const QString& zeile, QChar trenn, Versuch versuch, double& wert)
{
    QStringView rest(zeile);
    for (;;) {
        const qsizetype pos = rest.indexOf(trenn);
        if (pos < 0)
            break;
        if (versuch(rest.left(pos).toString(), wert))
            return true;
        rest = rest.mid(pos + 1);
    }
    wert = kKeinWert;
    return false;
}

} // namespace

// A known time or date column is read wherever it stands, the last field too.
bool TDatenLoader::LeseBekanntesFeld(const QString& zeile, int spalte, bool uhrzeit, double& wert) const
{
    QStringView feld;
    if (FeldAn(zeile, Trennzeichen, spalte, feld)) {
        const QString text = feld.toString();
        if (uhrzeit ? TryStrToTime(text, wert) : TryStrToDate(text, wert))
            return true;
    }
    wert = kKeinWert;
    return false;
}

double TDatenLoader::LeseUhrzeit(const QString& Zeile)
{
    double r = kKeinWert;
    const bool gefunden = HatUhrzeit ? LeseBekanntesFeld(Zeile, UhrzeitSpalte, true, r)
                                     : SucheFeld(Zeile, Trennzeichen,
                                                 [](const QString& f, double& w) { return TryStrToTime(f, w); }, r);
    if (!gefunden)
        Meldungen.append(QStringLiteral("Keine Uhrzeit gefunden"));
    return r;
}

double TDatenLoader::LeseDatum(const QString& Zeile)
{
    // Before the date column is known, take the field the parser would take
    // for it: a date that reads neither as a number nor as a time.
    double r = kKeinWert;
    const auto versuch = [](const QString& f, double& w) {
        double x = 0;
        if (TryStrToFloat(PunktZuKomma(f), x) || TryStrToTime(f, x))
            return false;
        return TryStrToDate(f, w);
    };
    const bool gefunden = HatDatum ? LeseBekanntesFeld(Zeile, DatumSpalte, false, r)
                                   : SucheFeld(Zeile, Trennzeichen, versuch, r);
    if (!gefunden)
        Meldungen.append(QStringLiteral("Kein Datum gefunden"));
    return r;
}

void TDatenLoader::LoescheAeltesten()
{
    if (Datensaetze() > 1)
        EntferneAelteste(1);
}

double TDatenLoader::NeuesteZeit()
{
    if (!(HatUhrzeit && HatDatum)) {
        Meldungen.append(QStringLiteral("Keine Uhrzeit oder Datum im Datensatz"));
        return kKeinWert;
    }
    const int n = Datensaetze();
    return n == 0 ? 0.0 : Zeitstempel(n - 1);
}

double TDatenLoader::AeltesteZeit()
{
    if (!(HatUhrzeit && HatDatum)) {
        Meldungen.append(QStringLiteral("Keine Uhrzeit oder Datum im Datensatz"));
        return kKeinWert;
    }
    return Datensaetze() == 0 ? 0.0 : Zeitstempel(0);
}

// ---------------------------------------------------------------------------
// Timer and tick

void TDatenLoader::SetAktiv(bool Value)
{
    m_aktiv = Value;
    m_timer->SetEnabled(Value);
}

void TDatenLoader::SetIntervall(int Value)
{
    m_interval = std::max(Value, 1000);
    m_timer->SetInterval(m_interval);
}

void TDatenLoader::AendereIntervall(int Value)
{
    SetIntervall(Value);
}

void TDatenLoader::TimerTimer()
{
    // Whatever a handler raises, every client is told, the messages are
    // handed on and cleared, and the timer runs again; the first error is
    // passed on afterwards.
    std::exception_ptr fehler;
    const auto merke = [&fehler] {
        if (!fehler)
            fehler = std::current_exception();
    };

    try {
        if (OnVorLaden)
            OnVorLaden(this);
    } catch (...) {
        merke();
    }
    try {
        LadeDatei();
    } catch (...) {
        merke();
    }

    const bool alt = m_aktiv;
    SetAktiv(false);

    // A client may leave (its window closes) during the walk: it is not
    // called once gone, and nobody else is skipped because of it.
    const std::vector<TLoaderClient*> schnappschuss = m_clients;
    for (TLoaderClient* client : schnappschuss) {
        if (!client || std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end())
            continue;
        try {
            client->NeueDaten(this);
        } catch (...) {
            merke();
        }
    }

    try {
        if (OnMeldung)
            OnMeldung(this);
    } catch (...) {
        merke();
    }
    Meldungen.clear();
    SetAktiv(alt);

    if (fehler)
        std::rethrow_exception(fehler);
}

// ---------------------------------------------------------------------------
// Clients

void TDatenLoader::AddClient(TLoaderClient* Client)
{
    if (!Client || std::find(m_clients.begin(), m_clients.end(), Client) != m_clients.end())
        return;
    m_clients.push_back(Client);
    Client->AddLoader(this);
}

void TDatenLoader::RemoveClient(TLoaderClient* Client)
{
    const auto it = std::find(m_clients.begin(), m_clients.end(), Client);
    if (it != m_clients.end())
        m_clients.erase(it);
}

TLoaderClient::TLoaderClient() = default;

TLoaderClient::TLoaderClient(TDatenLoader* Loader) : TLoaderClient()
{
    if (Loader)
        Loader->AddClient(this);
}

TLoaderClient::~TLoaderClient()
{
    const std::vector<TDatenLoader*> loaders = m_loaders;
    for (TDatenLoader* loader : loaders)
        loader->RemoveClient(this);
}

void TLoaderClient::NeueDaten(TDatenLoader* Loader)
{
    if (OnNeueDaten)
        OnNeueDaten(Loader);
}

void TLoaderClient::AddLoader(TDatenLoader* Loader)
{
    if (Loader && std::find(m_loaders.begin(), m_loaders.end(), Loader) == m_loaders.end())
        m_loaders.push_back(Loader);
}

void TLoaderClient::RemoveLoader(TDatenLoader* Loader)
{
    const auto it = std::find(m_loaders.begin(), m_loaders.end(), Loader);
    if (it != m_loaders.end())
        m_loaders.erase(it);
}

TDatenLoader* TLoaderClient::GetLoader(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(m_loaders.size()))
        return nullptr;
    return m_loaders[static_cast<size_t>(Index)];
}

// ---------------------------------------------------------------------------
// Column queries

double Saettigungsdampfdruck(double T)
{
    if (T >= 0)
        return 6.1078 * std::exp(kAWasser * T / (kBWasser + T));
    return 6.1078 * std::exp(kAEis * T / (kBEis + T));
}

double TDatenLoader::Taupunkt(double T, double RF) const
{
    if (T == kKeinWert || RF == kKeinWert)
        return kKeinWert;
    // No humidity has no logarithm; no NaN may reach a statistic.
    if (!(RF > 0))
        return kKeinWert;
    const double x = Saettigungsdampfdruck(T) * 0.01 * RF / 6.1078;
    const double L = std::log(x);
    double tp = T >= 0 ? kBWasser * L / (kAWasser - L) : kBEis * L / (kAEis - L);
    if (T >= 0 && tp < 0)
        tp = kBEis * L / (kAEis - L);
    if (!std::isfinite(tp))
        return kKeinWert;
    return tp;
}

double TDatenLoader::TaupunktVon(int datensatz, int tSpalte, int rfSpalte) const
{
    return Taupunkt(Wert(datensatz, tSpalte), Wert(datensatz, rfSpalte));
}

bool TDatenLoader::IstTaupunkt(const QString& Name) const
{
    return Name == kTtp;
}

namespace {
inline bool gespeichert(int spalte, int layout)
{
    return spalte >= 0 && spalte < layout;
}
} // namespace

double TDatenLoader::AktuellerWert(const QString& Name, int Laenge)
{
    if (IstTaupunkt(Name)) {
        // Temperature first: its message comes first.
        const double t = AktuellerWert(kT2m, Laenge);
        const double rf = AktuellerWert(kRf, Laenge);
        return Taupunkt(t, rf);
    }
    const int c = SucheSpalte(Name, Laenge);
    const int n = Datensaetze();
    if (gespeichert(c, m_layout) && n > 0)
        return Wert(n - 1, c);
    Meldungen.append(nichtImHeader(Name));
    return kKeinWert;
}

const TDatenLoader::Statistik& TDatenLoader::SpaltenStatistik(int spalte) const
{
    if (m_statistikVersion != m_version) {
        // One pass over the records in store order: the same comparisons and
        // the same order of additions as a walk per column.
        const int n = Datensaetze();
        const size_t breite = static_cast<size_t>(m_layout);
        m_statistik.assign(breite, Statistik{kKeinWert, kKeinWert, 0.0, 0});
        if (n > 0) {
            const double* zeile = m_werte.data() + m_start;
            for (size_t c = 0; c < breite; ++c)
                m_statistik[c].max = m_statistik[c].min = zeile[c];
            for (int r = 0; r < n; ++r, zeile += breite) {
                for (size_t c = 0; c < breite; ++c) {
                    const double v = zeile[c];
                    if (v == kKeinWert)
                        continue;
                    Statistik& s = m_statistik[c];
                    if (v > s.max || s.max == kKeinWert)
                        s.max = v;
                    if (v < s.min || s.min == kKeinWert)
                        s.min = v;
                    s.summe += v;
                    ++s.anzahl;
                }
            }
        }
        m_statistikVersion = m_version;
    }
    return m_statistik[static_cast<size_t>(spalte)];
}

const std::vector<double>& TDatenLoader::Taupunkte(int tSpalte, int rfSpalte) const
{
    // Records never change once stored, so only new ones need the formula.
    if (tSpalte != m_tpT || rfSpalte != m_tpRf || m_tpBasis > m_basis) {
        m_taupunkte.clear();
        m_tpBasis = m_basis;
        m_tpT = tSpalte;
        m_tpRf = rfSpalte;
    }
    if (m_tpBasis < m_basis) {
        const size_t weg = std::min(m_basis - m_tpBasis, m_taupunkte.size());
        m_taupunkte.erase(m_taupunkte.begin(), m_taupunkte.begin() + static_cast<std::ptrdiff_t>(weg));
        m_tpBasis = m_basis;
    }
    const size_t n = static_cast<size_t>(Datensaetze());
    for (size_t i = m_taupunkte.size(); i < n; ++i)
        m_taupunkte.push_back(TaupunktVon(static_cast<int>(i), tSpalte, rfSpalte));
    return m_taupunkte;
}

double TDatenLoader::Maximum(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    return Extrem(Name, Laenge, true);
}

double TDatenLoader::Minimum(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    return Extrem(Name, Laenge, false);
}

double TDatenLoader::Extrem(const QString& Name, int Laenge, bool maximum)
{
    const int n = Datensaetze();
    if (IstTaupunkt(Name)) {
        const int t = SucheSpalte(kT2m, Laenge);
        const int rf = SucheSpalte(kRf, Laenge);
        if (!gespeichert(t, m_layout) || !gespeichert(rf, m_layout) || n == 0) {
            Meldungen.append(QStringLiteral("Fehler beim Berechnen von ") + Name);
            return kKeinWert;
        }
        const std::vector<double>& tp = Taupunkte(t, rf);
        double r = tp.front();
        for (const double d : tp) {
            if (d != kKeinWert && ((maximum ? d > r : d < r) || r == kKeinWert))
                r = d;
        }
        return r;
    }
    const int c = SucheSpalte(Name, Laenge);
    if (!gespeichert(c, m_layout) || n == 0) {
        Meldungen.append(nichtImHeader(Name));
        return kKeinWert;
    }
    const Statistik& s = SpaltenStatistik(c);
    return maximum ? s.max : s.min;
}

double TDatenLoader::Mittelwert(const QString& Name, int Laenge)
{
    TimerPause pause(*this);
    const int n = Datensaetze();
    if (IstTaupunkt(Name)) {
        const int t = SucheSpalte(kT2m, Laenge);
        const int rf = SucheSpalte(kRf, Laenge);
        if (!gespeichert(t, m_layout) || !gespeichert(rf, m_layout) || n == 0) {
            Meldungen.append(QStringLiteral("Fehler beim Berechnen von ") + Name);
            return kKeinWert;
        }
        double summe = 0;
        long long anzahl = 0;
        for (const double d : Taupunkte(t, rf)) {
            if (d != kKeinWert) {
                summe += d;
                ++anzahl;
            }
        }
        return anzahl == 0 ? kKeinWert : summe / static_cast<double>(anzahl);
    }
    const int c = SucheSpalte(Name, Laenge);
    if (!gespeichert(c, m_layout) || n == 0) {
        Meldungen.append(nichtImHeader(Name));
        return kKeinWert;
    }
    const Statistik& s = SpaltenStatistik(c);
    return s.anzahl == 0 ? kKeinWert : s.summe / static_cast<double>(s.anzahl);
}

double TDatenLoader::MittelwertBereich(const QString& Name, int Laenge, double Unten, double Oben)
{
    TimerPause pause(*this);
    const int c = SucheSpalte(Name, Laenge);
    const int n = Datensaetze();
    if (!gespeichert(c, m_layout) || n == 0) {
        Meldungen.append(nichtImHeader(Name));
        return kKeinWert;
    }
    double summe = 0;
    long long anzahl = 0;
    for (int i = 0; i < n; ++i) {
        const double v = Wert(i, c);
        if (v != kKeinWert && v >= Unten && v <= Oben) {
            summe += v;
            ++anzahl;
        }
    }
    return anzahl == 0 ? kKeinWert : summe / static_cast<double>(anzahl);
}

double TDatenLoader::MaximumZeitraum(const QString& Name, int Laenge, TDateTime Beginn, TDateTime Ende)
{
    double r = kKeinWert;
    if (Ende < Beginn) {
        Meldungen.append(QStringLiteral("Endzeit ist kleiner als Beginnzeit!"));
        return r;
    }
    if (!(HatUhrzeit && HatDatum)) {
        Meldungen.append(QStringLiteral("Keine Uhrzeit im Datensatz!"));
        return r;
    }
    TimerPause pause(*this);
    if (NeuesteZeit() < Beginn)
        return r;
    const int c = SucheSpalte(Name, Laenge);
    if (!gespeichert(c, m_layout)) {
        Meldungen.append(nichtImHeader(Name));
        return r;
    }
    for (int i = Datensaetze() - 1; i >= 0; --i) {
        const double t = Zeitstempel(i);
        const double v = Wert(i, c);
        if (t >= Beginn && t <= Ende && v != kKeinWert && (r == kKeinWert || r < v))
            r = v;
    }
    return r;
}

void TDatenLoader::WerteAb(const QString& Name, int Laenge, TDateTime Beginn, TRealList* Liste)
{
    try {
        if (!Liste)
            throw Exception(QStringLiteral("Liste wurde nicht initialisiert!"));
        Liste->Clear();
        if (!(HatUhrzeit && HatDatum)) {
            Meldungen.append(QStringLiteral("Keine Uhrzeit im Datensatz!"));
            return;
        }
        TimerPause pause(*this);
        if (NeuesteZeit() < Beginn)
            return;
        const int c = SucheSpalte(Name, Laenge);
        if (!gespeichert(c, m_layout)) {
            Meldungen.append(nichtImHeader(Name));
            return;
        }
        for (int i = Datensaetze() - 1; i >= 0; --i) {
            if (Zeitstempel(i) < Beginn)
                break;
            Liste->Add(Wert(i, c));
        }
    } catch (...) {
        Meldungen.append(QStringLiteral("Liste wurde nicht initialisiert!"));
    }
}

void TDatenLoader::WerteZeitraum(const QString& Name, int Laenge, TDateTime Beginn, TDateTime Ende, TRealList* Liste)
{
    if (Ende < Beginn) {
        Meldungen.append(QStringLiteral("Endzeit ist kleiner als die Beginnzeit!"));
        return;
    }
    try {
        if (!Liste)
            throw Exception(QStringLiteral("Liste wurde nicht initialisiert!"));
        Liste->Clear();
        if (!(HatUhrzeit && HatDatum)) {
            Meldungen.append(QStringLiteral("Keine Uhrzeit im Datensatz!"));
            return;
        }
        TimerPause pause(*this);
        if (NeuesteZeit() < Beginn)
            return;
        const int c = SucheSpalte(Name, Laenge);
        if (!gespeichert(c, m_layout)) {
            Meldungen.append(nichtImHeader(Name));
            return;
        }
        for (int i = Datensaetze() - 1; i >= 0; --i) {
            const double t = Zeitstempel(i);
            if (t >= Beginn && t <= Ende)
                Liste->Add(Wert(i, c));
        }
    } catch (...) {
        Meldungen.append(QStringLiteral("Liste wurde nicht initialisiert!"));
    }
}

void TDatenLoader::WerteLetzteSekunden(const QString& Name, int Laenge, int Sekunden, TRealList* Liste)
{
    try {
        if (!Liste)
            throw Exception(QStringLiteral("Liste wurde nicht initialisiert!"));
        Liste->Clear();
        WerteAb(Name, Laenge, NeuesteZeit() - Sekunden / 86400.0, Liste);
    } catch (...) {
        Meldungen.append(QStringLiteral("Liste wurde nicht initialisiert!"));
    }
}

void TDatenLoader::GetSpaltenName(int Index, QString& Name)
{
    if (Index >= 0 && Index <= Spaltenanzahl() - 1) {
        Name = Spaltennamen().at(Index);
        return;
    }
    Meldungen.append(Format("%d ist keine gültige Spaltenzahl!", {Index}));
}

// ---------------------------------------------------------------------------
// History save file

bool TDatenLoader::SpeichereDatei(const QString& DateiName)
{
    TimerPause pause(*this);
    const int n = Datensaetze();
    // Nothing real to save must not wipe out a good file from the last run.
    const bool nichtsEchtes = n == 0 || (n == 1 && m_platzhalter);
    if (nichtsEchtes && QFileInfo::exists(DateiName))
        return true;

    // Straight into UTF-8 bytes; a value the fast forms don't cover takes
    // the general conversion.
    std::string text;
    text.reserve(static_cast<size_t>(n) * static_cast<size_t>(m_layout) * 8 + static_cast<size_t>(Header.size()) * 3 + 2);
    AdviseHugePages(text.data(), text.capacity());
    text += Header.toStdString();
    text += '\n';
    const std::string trenn = QString(Trennzeichen).toStdString();
    const bool einByte = trenn.size() == 1;
    for (int r = 0; r < n; ++r) {
        const double* zeile = m_werte.data() + m_start + static_cast<size_t>(r) * static_cast<size_t>(m_layout);
        for (int c = 0; c < m_layout; ++c) {
            if (c > 0) {
                if (einByte)
                    text += trenn[0];
                else
                    text += trenn;
            }
            const double v = zeile[c];
            if (HatUhrzeit && c == UhrzeitSpalte) {
                if (!FastTimeToStr(v, text))
                    text += TimeToStr(v).toStdString();
            } else if (HatDatum && c == DatumSpalte) {
                if (!FastDateToStr(v, text))
                    text += DateToStr(v).toStdString();
            } else if (!FastFloatToStr(v, text)) {
                text += FloatToStr(v).toStdString();
            }
        }
        text += '\n';
    }
    const QByteArrayView daten(text.data(), static_cast<qsizetype>(text.size()));
    // A save file we may write in a folder that takes no new file is
    // rewritten in place.
    if (!WriteTextFileAtomic(DateiName, daten) && !WriteTextFileInPlace(DateiName, daten)) {
        Meldungen.append(Format("%s kann nicht erzeugt werden!", {DateiName}));
        return false;
    }
    return true;
}

// A save line of plain fields (ASCII numbers, the time and the date in their
// default forms, one field per column) read without a QString. False leaves
// the line to the general reader.
bool TDatenLoader::SchnelleSicherungsZeile(QByteArrayView zeile, int spalten, std::vector<double>& werte) const
{
    const char16_t trenn = Trennzeichen.unicode();
    if (trenn >= 0x80 || m_layout != spalten)
        return false;
    werte.resize(static_cast<size_t>(m_layout));
    const char* p = zeile.data();
    const char* ende = p + zeile.size();
    for (int c = 0; c < m_layout; ++c) {
        const char* feldEnde = static_cast<const char*>(std::memchr(p, static_cast<int>(trenn), static_cast<size_t>(ende - p)));
        if (!feldEnde)
            feldEnde = ende;
        else if (c == m_layout - 1)
            return false;   // more fields than columns
        if (feldEnde == ende && c < m_layout - 1)
            return false;   // fewer
        const std::string_view feld(p, static_cast<size_t>(feldEnde - p));
        double& w = werte[static_cast<size_t>(c)];
        bool ok = false;
        if (c == UhrzeitSpalte)
            ok = FastStrToTime(feld, w);
        else if (c == DatumSpalte)
            ok = FastStrToDate(feld, w);
        else if (feld.empty())
            ok = (w = kKeinWert, true);
        else
            ok = FastPunktStrToFloat(feld, w);
        if (!ok)
            return false;
        p = feldEnde + 1;
    }
    return true;
}

bool TDatenLoader::LadeSicherung(const QString& DateiName)
{
    TimerPause pause(*this);
    QFile datei(DateiName);
    QByteArray roh;
    if (datei.open(QIODevice::ReadOnly)) {
        // A day is megabytes: read into one buffer of the file's size.
        const qint64 groesse = datei.size();
        if (groesse > 0 && groesse < (qint64(1) << 31)) {
            roh = QByteArray(groesse, Qt::Uninitialized);
            AdviseHugePages(roh.constData(), static_cast<size_t>(roh.size()));
            const qint64 gelesen = datei.read(roh.data(), groesse);
            roh.truncate(std::max<qint64>(gelesen, 0));
        }
        // What grew meanwhile, or a file whose size says nothing.
        roh += datei.readAll();
    }
    if (!datei.isOpen() || datei.error() != QFileDevice::NoError) {
        Meldungen.append(Format("%s kann nicht gelesen werden!", {DateiName}));
        return false;
    }
    datei.close();

    // Lines split on the bytes and decoded one by one, as the text reader
    // does. Our save files end every line: a last line without its end was
    // cut off in the middle of a write and is not read.
    QByteArrayView rest = WithoutBom(roh);
    const auto naechsteZeile = [&rest](QByteArrayView& zeile) {
        const qsizetype lf = rest.indexOf('\n');
        if (lf < 0)
            return false;
        zeile = rest.first(lf);
        if (zeile.endsWith('\r'))
            zeile.chop(1);
        rest = rest.sliced(lf + 1);
        return true;
    };
    QByteArrayView kopf;
    if (!naechsteZeile(kopf))
        kopf = rest;
    if (roh.isEmpty() || DecodeText(kopf) != Header) {
        Meldungen.append(QStringLiteral("Header verschieden, Datei nicht geladen!"));
        return false;
    }

    // Records read from the data file before this merge stay as they are;
    // the saved ones older than them go in front.
    const bool mitZeit = HatUhrzeit && HatDatum;
    std::vector<double> lebend;
    const int lebendLayout = m_layout;
    double grenze = std::numeric_limits<double>::infinity();
    const int erster = m_platzhalter ? 1 : 0;
    if (mitZeit && Datensaetze() > erster) {
        grenze = Zeitstempel(erster) - kZehntelSekunde;
        const auto ab = m_werte.begin() + static_cast<std::ptrdiff_t>(m_start + static_cast<size_t>(erster) * static_cast<size_t>(m_layout));
        lebend.assign(ab, m_werte.end());
        m_werte.erase(ab, m_werte.end());
        if (m_werte.size() == m_start) {
            m_werte.clear();
            m_start = 0;
        }
        VergissAbgeleitetes();
    }

    const size_t spalten = static_cast<size_t>(std::max(m_layout, Spaltenanzahl()));
    const size_t noetig = m_werte.size() + static_cast<size_t>(rest.count('\n')) * spalten + lebend.size();
    if (noetig > m_werte.capacity()) {
        m_werte.reserve(noetig);
        AdviseHugePages(m_werte.data(), m_werte.capacity() * sizeof(double));
    }

    std::vector<double> werte;
    QByteArrayView zeile;
    const int kopfSpalten = Spaltenanzahl();
    while (naechsteZeile(zeile)) {
        if (mitZeit && Datensaetze() > 0 && SchnelleSicherungsZeile(zeile, kopfSpalten, werte)) {
            // As the general path below: newer than the newest by more than
            // 0.1 s, and every value outside date and time within limits.
            const double zeit = werte[static_cast<size_t>(UhrzeitSpalte)] + werte[static_cast<size_t>(DatumSpalte)];
            if (!(zeit > Zeitstempel(Datensaetze() - 1) + kZehntelSekunde && zeit < grenze))
                continue;
            bool gueltig = true;
            for (int c = 0; c < m_layout && gueltig; ++c) {
                const double v = werte[static_cast<size_t>(c)];
                if (c != UhrzeitSpalte && c != DatumSpalte && (v < kUntergrenze || v > kObergrenze || v == kKeinWert))
                    gueltig = false;
            }
            if (gueltig)
                m_werte.insert(m_werte.end(), werte.begin(), werte.end());
            continue;
        }
        const QString text = DecodeText(zeile);
        if (mitZeit) {
            const double uhrzeit = LeseUhrzeit(text);
            const double datum = LeseDatum(text);
            const double zeit = uhrzeit + datum;
            if (zeit > NeuesteZeit() + kZehntelSekunde && zeit < grenze)
                NeuerDatensatz(text);
        } else {
            NeuerDatensatz(text);
        }
    }

    if (!lebend.empty()) {
        if (Datensaetze() == 0) {
            m_werte.clear();
            m_start = 0;
            m_layout = lebendLayout;
            m_platzhalter = false;
        }
        m_werte.insert(m_werte.end(), lebend.begin(), lebend.end());
    }
    // The statistics are built anew once, at the next query.
    VergissAbgeleitetes();
    return true;
}
