#include "DatenLoaderUnit.h"
#include "DatenLoaderIntern.h"
#include "FastConversions.h"

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

} // namespace

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
        m_datenKopf = Header;
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

// Records von .. bis-1 out of the middle of the store.
void TDatenLoader::EntferneBereich(int von, int bis)
{
    if (bis <= von)
        return;
    const auto anfang = m_werte.begin() + static_cast<std::ptrdiff_t>(m_start);
    const auto spalten = static_cast<std::ptrdiff_t>(m_layout);
    m_werte.erase(anfang + von * spalten, anfang + bis * spalten);
    if (m_werte.size() == m_start) {
        m_werte.clear();
        m_start = 0;
    }
    if (von == 0)
        m_platzhalter = false;
    VergissAbgeleitetes();
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
// Loading

void TDatenLoader::LadeDatei()
{
    TimerPause pause(*this);

    FirstLastLines zeilen;
    bool gelesen = ReadFirstAndLastLine(Datei, zeilen, kMaxKopfBytes, kMaxZeileBytes);
    if (!gelesen) {
        Sleep(250);
        gelesen = ReadFirstAndLastLine(Datei, zeilen, kMaxKopfBytes, kMaxZeileBytes);
    }
    if (!gelesen) {
        Meldungen.append(Format("%s existiert nicht oder Zugriff verweigert!", {Datei}));
        return;
    }
    // Without a header nothing can be laid out: append nothing, trim nothing.
    if (zeilen.lineCount == 0 || (zeilen.first.isEmpty() && !zeilen.firstTooLong)) {
        Meldungen.append(Format("%s besitzt keinen Header!", {Datei}));
        return;
    }
    // Without a header line the old header still names the columns;
    // garbage in its place reads nothing at all.
    const KopfArt art = PruefeKopf(zeilen.first, zeilen.firstTooLong);
    if (art == KopfArt::Unbrauchbar)
        return;
    const bool mitHeader = art == KopfArt::Kopf;
    if (mitHeader)
        UebernehmeHeader(zeilen.first);
    else if (Header.isEmpty())
        return;

    if (zeilen.lastTooLong) {
        // Said once, until a line of normal length is read again.
        if (!m_langeZeileGemeldet)
            Meldungen.append(Format("Letzte Zeile von %s ist länger als %d Bytes und wird nicht gelesen!",
                                    {Datei, static_cast<int>(kMaxZeileBytes)}));
        m_langeZeileGemeldet = true;
        m_unfertig.clear();
        Trimme();
        return;
    }
    m_langeZeileGemeldet = false;

    const QString zeile = !mitHeader || zeilen.lineCount >= 2 ? zeilen.last : QString();
    if (zeile == Header) {
        Meldungen.append(Format("%s enthält nur den Header und keine Daten", {Datei}));
    } else if (HatUhrzeit && HatDatum) {
        // The logger may be halfway through its last line: a line without its
        // end counts only once it reads the same on the next tick.
        const bool fertig = zeilen.lastTerminated || zeile == m_unfertig;
        m_unfertig = zeilen.lastTerminated ? QString() : zeile;
        if (fertig)
            NimmZeile(zeile);
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
    if (Datensaetze() > 1)
        EntferneAelteste(ErsterImSpan(0));
}

int TDatenLoader::ErsterImSpan(int ab) const
{
    const int n = Datensaetze();
    if (n == 0)
        return ab;
    const double neueste = Zeitstempel(n - 1);
    while (ab < n - 1 && neueste - Zeitstempel(ab) > HalteDauer)
        ++ab;
    return ab;
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
    const QString kopfVorher = Header;
    try {
        LadeDatei();
    } catch (...) {
        merke();
    }
    try {
        if (Header != kopfVorher && OnNeuerHeader)
            OnNeuerHeader(this);
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
