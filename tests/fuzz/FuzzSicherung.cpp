// The save file merged into a fresh store and into one that read live
// lines first; and a saved store merged back gives the same records.
#include "DatenLoaderUnit.h"
#include "FuzzSupport.h"

#include <cstring>

namespace {

// Writes the store, merges it into a fresh loader on the same data file and
// hand that loader back; `mitZeit` tells whether it knew its date and time
// columns before the merge.
std::unique_ptr<TDatenLoader> ZurueckGelesen(TDatenLoader& l, const QString& daten, const QString& sav, bool& mitZeit)
{
    if (l.Datensaetze() < 2)
        QFile::remove(sav);   // else the save would keep an older file
    l.SpeichereDatei(sav);
    auto neu = std::make_unique<TDatenLoader>(daten, 1000, 1.0, u'\t', false);
    mitZeit = neu->HatUhrzeit && neu->HatDatum;
    neu->LadeSicherung(sav);
    return neu;
}

bool GleicheWerte(const TDatenLoader& a, const TDatenLoader& b)
{
    if (a.Datensaetze() != b.Datensaetze() || a.Spaltenanzahl() != b.Spaltenanzahl())
        return false;
    for (int r = 0; r < a.Datensaetze(); ++r)
        for (int c = 0; c < a.Spaltenanzahl(); ++c) {
            const double x = a.Wert(r, c), y = b.Wert(r, c);
            if (std::memcmp(&x, &y, sizeof x) != 0)
                return false;
        }
    return true;
}

} // namespace

// The input is the save file; its first line is also the data file's header
// and its second line the data file's last line. With the first byte odd,
// the data file's line is read by a tick before the merge.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Einrichten();
    if (size == 0)
        return 0;
    const bool erstLive = data[0] & 1;
    const QByteArray sav(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QList<QByteArray> zeilen = sav.split('\n');
    const QString daten = fuzz::Datei("daten.txt");
    const QString savPfad = fuzz::Datei("AutoSave.sav");
    fuzz::Schreibe(daten, zeilen.value(0) + '\n' + zeilen.value(zeilen.size() > 2 ? zeilen.size() - 2 : 1) + '\n');
    fuzz::Schreibe(savPfad, sav);

    TDatenLoader l(daten, 1000, 1.0, u'\t', false);
    if (erstLive)
        l.TimerTimer();
    l.LadeSicherung(savPfad);
    (void)l.Mittelwert(QStringLiteral("t2m  "), 5);
    l.Meldungen.clear();

    // Save and merge: the first round may round (15 digits, whole seconds);
    // from then on nothing changes: the records merged back from a saved
    // store are the store's, bit for bit, so its bytes are too.
    if (l.Datensaetze() < 2)
        return 0;
    bool mitZeit = false, zweitesMitZeit = false;
    auto b = ZurueckGelesen(l, daten, fuzz::Datei("eins.sav"), mitZeit);
    auto c = ZurueckGelesen(*b, daten, fuzz::Datei("zwei.sav"), zweitesMitZeit);
    // Before a date and a time column are known every line is appended,
    // by design, so only stores that know them from the start settle.
    if (mitZeit && b->Datensaetze() > 1)
        fuzz::Pruefe(GleicheWerte(*b, *c), "merging a saved store gives the same records");
    return 0;
}
