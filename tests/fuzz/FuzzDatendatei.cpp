// The data file as a logger writes it, tick by tick, with every query the
// windows make after each tick.
#include "Bereiche.h"
#include "DatenLoaderUnit.h"
#include "FuzzSupport.h"

#include <cmath>

namespace {

void FrageAlles(TDatenLoader& l)
{
    QStringList namen;
    l.GetSpaltenNamen(namen);
    TRealList liste;
    const double neueste = l.NeuesteZeit();
    for (const QString& name : namen.mid(0, 6)) {
        const double akt = l.AktuellerWert(name, 5);
        const double max = l.Maximum(name, 5);
        const double min = l.Minimum(name, 5);
        const double mittel = l.Mittelwert(name, 5);
        fuzz::Pruefe(!std::isnan(akt) && !std::isnan(max) && !std::isnan(min) && !std::isnan(mittel), "no NaN");
        if (max != -9999 && min != -9999)
            fuzz::Pruefe(min <= max, "minimum <= maximum");
        (void)l.MittelwertBereich(name, 5, -10, 10);
        (void)l.MaximumZeitraum(name, 5, neueste - 0.01, neueste);
        l.WerteAb(name, 5, neueste - 0.01, &liste);
        l.WerteZeitraum(name, 5, neueste - 0.01, neueste, &liste);
        l.WerteLetzteSekunden(name, 5, 600, &liste);
    }
    QString name;
    l.GetSpaltenName(0, name);
    l.GetSpaltenName(namen.size() + 1, name);
    (void)l.AeltesteZeit();
    (void)l.SpalteVorhanden(QStringLiteral("t2m  "), 5);
    l.Meldungen.clear();
}

} // namespace

// First byte: ticks and how the file grows; the rest: the file as the
// logger has written it at the end. Each tick sees a longer prefix of it,
// cut anywhere (a half-written line), and with the flag the header is gone
// at some tick (the logger emptied the file and wrote on without it).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Einrichten();
    if (size == 0)
        return 0;
    const int ticks = 1 + (data[0] & 7);
    const bool ohneKopf = data[0] & 8;
    const double halte = (data[0] & 16) ? 0.0 : 1.0;
    const QByteArray text(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype kopfEnde = text.indexOf('\n');
    const QString pfad = fuzz::Datei("daten.txt");

    fuzz::Schreibe(pfad, text.left(ticks == 1 ? text.size() : std::max<qsizetype>(kopfEnde + 1, text.size() / ticks)));
    TDatenLoader l(pfad, 1000, halte, u'\t', false);
    l.LeseHeader();
    FrageAlles(l);
    for (int t = 1; t <= ticks; ++t) {
        QByteArray stand = text.left(text.size() * t / ticks);
        if (ohneKopf && t == ticks && kopfEnde >= 0)
            stand = stand.mid(kopfEnde + 1);
        fuzz::Schreibe(pfad, stand);
        l.TimerTimer();
        FrageAlles(l);
    }
    // Once more unchanged: nothing new, nothing lost.
    const int vorher = l.Datensaetze();
    l.TimerTimer();
    fuzz::Pruefe(l.Datensaetze() <= vorher + 1, "an unchanged file adds at most the waiting line");
    return 0;
}
