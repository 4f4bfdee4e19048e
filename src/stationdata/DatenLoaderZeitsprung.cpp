// A logger clock that jumps. Judged by the records, never by the system
// clock: a station computer may run days off its logger. A line more than
// two hours ahead of the newest record, or more than a day behind it, waits
// for the next one to confirm it; so does a line that falls into a span a
// jump ahead skipped (the clock put right). A jump confirmed keeps the
// records it pushes out as a copy beside the save file first, and after
// every jump the copies give back what lies within the span again.
#include "DatenLoaderIntern.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

// Enough for a clock that flaps for hours; older ones can't matter then.
constexpr qsizetype kMaxSprungKopien = 20;
constexpr size_t kMaxLuecken = 20;

// A time stamp as the log names a record: date and time of day.
QString ZeitText(double zeit)
{
    const double tag = std::floor(zeit);
    return DateToStr(tag) + u' ' + TimeToStr(zeit - tag);
}

// How far off a waiting line lies, as the log says it.
QString Abstand(bool voraus, double abstand)
{
    const QString richtung = voraus ? QStringLiteral("nach") : QStringLiteral("vor");
    if (Jenseits(abstand, kZeitsprung))
        return QStringLiteral("mehr als einen Tag ") + richtung;
    return voraus ? QStringLiteral("mehr als zwei Stunden nach") : richtung;
}

} // namespace

bool TDatenLoader::HatEchteDatensaetze() const
{
    return HatUhrzeit && HatDatum && Datensaetze() > (m_platzhalter ? 1 : 0);
}

bool TDatenLoader::InLuecke(double zeit) const
{
    return std::any_of(m_luecken.begin(), m_luecken.end(), [zeit](const Luecke& l) {
        return zeit > l.von + kZehntelSekunde && zeit + kZehntelSekunde < l.bis;
    });
}

void TDatenLoader::NimmZeile(const QString& zeile)
{
    if (!m_abgewiesen.isEmpty() && zeile == m_abgewiesen)
        return;
    const double uhrzeit = LeseUhrzeit(zeile);
    const double datum = LeseDatum(zeile);
    if (uhrzeit == kKeinWert || datum == kKeinWert)
        return;
    const double zeit = uhrzeit + datum;
    const double neueste = NeuesteZeit();
    const bool echt = HatEchteDatensaetze();
    const bool voraus = echt && Jenseits(zeit - neueste, kVorsprung);
    const bool zurueck = echt && neueste - zeit > kZehntelSekunde && (Jenseits(neueste - zeit, kZeitsprung) || InLuecke(zeit));
    // A step back of up to a day that follows no jump is an old line.
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
                SpringeVor(erste, m_zurueckZeit, zeile);
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
        m_zurueckAbstand = Abstand(voraus, voraus ? zeit - neueste : neueste - zeit);
        Meldungen.append(Format("Datensatz vom %s liegt %s dem neuesten und wartet auf den nächsten!", {ZeitText(zeit), m_zurueckAbstand}));
        return;
    }
    NeuerDatensatz(zeile);
}

void TDatenLoader::MeldeVerworfen()
{
    Meldungen.append(Format("Datensatz vom %s verworfen: er lag %s dem neuesten und wurde nicht bestätigt!",
                            {ZeitText(m_zurueckZeit), m_zurueckAbstand}));
    m_zurueck.clear();
}

// Records that are on no disk are never dropped: a jump whose copy could
// not be written (a full disk, a folder we may not write) is not taken.
// Its lines leave the store again, its last line read again stays dropped,
// and the next pair of lines tries again. A secondary display keeps no
// copies at all.
bool TDatenLoader::OhneKopie(const QString& kopie, int vorher, const QString& zweite)
{
    if (!kopie.isEmpty() || SicherungsDatei.isEmpty())
        return false;
    while (Datensaetze() > vorher)
        KuerzeUmEinen();
    m_abgewiesen = zweite;
    return true;
}

// The records the trim after the jump drops go into a copy first.
void TDatenLoader::SpringeVor(const QString& erste, double ersteZeit, const QString& zweite)
{
    const double davor = NeuesteZeit();
    const int vorher = Datensaetze();
    NeuerDatensatz(erste);
    NeuerDatensatz(zweite);
    const int n = Datensaetze();
    if (n == vorher)
        return;
    const int von = m_platzhalter ? 1 : 0;
    const int bis = ErsterImSpan(von);
    QString kopie;
    if (bis > von) {
        kopie = BewahreDatensaetze(von, bis);
        if (OhneKopie(kopie, vorher, zweite))
            return;
        if (kopie.isEmpty())
            Meldungen.append(Format("Uhrzeit von %s springt vor, bisherige Daten verworfen!", {Datei}));
        else
            Meldungen.append(Format("Uhrzeit von %s springt vor, bisherige Daten in %s gesichert!", {Datei, kopie}));
    }
    // Lines that later fall into the skipped span are the clock put right.
    const double neueste = Zeitstempel(n - 1);
    std::erase_if(m_luecken, [neueste](const Luecke& l) { return Jenseits(neueste - l.bis, kZeitsprung); });
    m_luecken.push_back({davor, ersteZeit});
    if (m_luecken.size() > kMaxLuecken)
        m_luecken.erase(m_luecken.begin());
    HoleTagZurueck();
    MerkeSprungKopie(kopie);
}

// The clock put right: the records from its first line's time on leave the
// store as a copy, and the lines come in instead.
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
    QString kopie;
    if (ab < vorher) {
        kopie = BewahreDatensaetze(ab, vorher);
        if (OhneKopie(kopie, vorher, zweite))
            return;
        EntferneBereich(ab, vorher);
        if (kopie.isEmpty())
            Meldungen.append(Format("Uhrzeit von %s springt zurück, bisherige Daten verworfen!", {Datei}));
        else
            Meldungen.append(Format("Uhrzeit von %s springt zurück, bisherige Daten in %s gesichert!", {Datei, kopie}));
    }
    // What the clock has come back into, or lies ahead of it now, is no
    // skipped span any more.
    std::erase_if(m_luecken, [ersteZeit](const Luecke& l) { return l.bis > ersteZeit; });
    HoleTagZurueck();
    MerkeSprungKopie(kopie);
}

// The newest copy first: it reaches closest to the records in the store,
// and each merge takes only records older than all of them. A copy that
// gave something back is done with; one that is gone or no plain file (a
// FIFO would hold the program) is dropped without a word.
void TDatenLoader::HoleTagZurueck()
{
    if (m_sprungKopien.isEmpty())
        return;
    Trimme();
    for (qsizetype i = m_sprungKopien.size() - 1; i >= 0; --i) {
        const QString kopie = m_sprungKopien.at(i);
        const int ohne = Datensaetze();
        bool fertig = true;
        if (QFileInfo(kopie).isFile() && LadeSicherung(kopie)) {
            Trimme();
            if (Datensaetze() > ohne)
                Meldungen.append(Format("Daten aus %s wieder übernommen!", {kopie}));
            else
                fertig = false;
        }
        if (fertig)
            m_sprungKopien.removeAt(i);
    }
}

void TDatenLoader::MerkeSprungKopie(const QString& kopie)
{
    if (kopie.isEmpty())
        return;
    m_sprungKopien.append(kopie);
    if (m_sprungKopien.size() > kMaxSprungKopien)
        m_sprungKopien.removeFirst();
}
