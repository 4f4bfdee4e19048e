// A logger clock that jumps. Judged by the records, never by the system
// clock: a station computer may run days off its logger. A line more than a
// day off the newest record waits for the next one to confirm it; a jump
// confirmed keeps the records it pushes out as a copy beside the save file,
// and a clock put right brings the day back from that copy.
#include "DatenLoaderIntern.h"

#include <cmath>

namespace {

// A time stamp as the log names a record: date and time of day.
QString ZeitText(double zeit)
{
    const double tag = std::floor(zeit);
    return DateToStr(tag) + u' ' + TimeToStr(zeit - tag);
}

QString Richtung(bool voraus)
{
    return voraus ? QStringLiteral("nach") : QStringLiteral("vor");
}

} // namespace

bool TDatenLoader::HatEchteDatensaetze() const
{
    return HatUhrzeit && HatDatum && Datensaetze() > (m_platzhalter ? 1 : 0);
}

void TDatenLoader::NimmZeile(const QString& zeile)
{
    const double uhrzeit = LeseUhrzeit(zeile);
    const double datum = LeseDatum(zeile);
    if (uhrzeit == kKeinWert || datum == kKeinWert)
        return;
    const double zeit = uhrzeit + datum;
    const double neueste = NeuesteZeit();
    const bool echt = HatEchteDatensaetze();
    const bool voraus = echt && zeit - neueste > kZeitsprung;
    const bool zurueck = echt && neueste - zeit > kZeitsprung;
    // A step back of up to a day is an old line: not taken.
    if (!zurueck && !(zeit > neueste + kZehntelSekunde))
        return;
    if (!m_zurueck.isEmpty()) {
        if (zeile == m_zurueck)
            return;
        // A second line close behind it, off the same way: the logger's
        // clock really jumped.
        if (zeit > m_zurueckZeit + kZehntelSekunde && zeit - m_zurueckZeit < kZeitsprung && (m_zurueckVoraus || zurueck)) {
            const QString erste = m_zurueck;
            m_zurueck.clear();
            if (m_zurueckVoraus)
                SpringeVor(erste, zeile);
            else
                SpringeZurueck(erste, m_zurueckZeit, zeile);
            return;
        }
        MeldeVerworfen();
    }
    if (voraus || zurueck) {
        m_zurueck = zeile;
        m_zurueckZeit = zeit;
        m_zurueckVoraus = voraus;
        Meldungen.append(Format("Datensatz vom %s liegt mehr als einen Tag %s dem neuesten und wartet auf den nächsten!",
                                {ZeitText(zeit), Richtung(voraus)}));
        return;
    }
    NeuerDatensatz(zeile);
}

void TDatenLoader::MeldeVerworfen()
{
    Meldungen.append(Format("Datensatz vom %s verworfen: er lag mehr als einen Tag %s dem neuesten und wurde nicht bestätigt!",
                            {ZeitText(m_zurueckZeit), Richtung(m_zurueckVoraus)}));
    m_zurueck.clear();
}

// The day the trim after the jump drops goes into a copy first; it is the
// copy a clock put right takes the day back from.
void TDatenLoader::SpringeVor(const QString& erste, const QString& zweite)
{
    const int vorher = Datensaetze();
    NeuerDatensatz(erste);
    NeuerDatensatz(zweite);
    const int n = Datensaetze();
    if (n == vorher)
        return;
    const int von = m_platzhalter ? 1 : 0;
    int bis = von;
    while (bis < n - 1 && Zeitstempel(n - 1) - Zeitstempel(bis) > HalteDauer)
        ++bis;
    if (bis == von)
        return;
    const QString kopie = BewahreDatensaetze(von, bis);
    m_sprungKopie = kopie;
    if (kopie.isEmpty())
        Meldungen.append(Format("Uhrzeit von %s springt vor, bisherige Daten verworfen!", {Datei}));
    else
        Meldungen.append(Format("Uhrzeit von %s springt vor, bisherige Daten in %s gesichert!", {Datei, kopie}));
}

// The clock put right: the records newer than its first line leave the
// store as a copy, and the lines come in again. The day a jump ahead kept
// comes back from its copy, as far as it lies before them and within the
// span.
void TDatenLoader::SpringeZurueck(const QString& erste, double ersteZeit, const QString& zweite)
{
    const int vorher = Datensaetze();
    int ab = vorher;
    while (ab > 0 && !(ersteZeit > Zeitstempel(ab - 1) + kZehntelSekunde))
        --ab;
    NeuerDatensatz(erste);
    NeuerDatensatz(zweite);
    if (Datensaetze() == vorher)
        return;
    const QString kopie = BewahreDatensaetze(ab, vorher);
    EntferneBereich(ab, vorher);
    if (kopie.isEmpty())
        Meldungen.append(Format("Uhrzeit von %s springt zurück, bisherige Daten verworfen!", {Datei}));
    else
        Meldungen.append(Format("Uhrzeit von %s springt zurück, bisherige Daten in %s gesichert!", {Datei, kopie}));

    const QString tag = m_sprungKopie;
    m_sprungKopie.clear();
    if (tag.isEmpty())
        return;
    Trimme();
    const int ohne = Datensaetze();
    if (LadeSicherung(tag)) {
        Trimme();
        if (Datensaetze() > ohne)
            Meldungen.append(Format("Daten aus %s wieder übernommen!", {tag}));
    }
}
