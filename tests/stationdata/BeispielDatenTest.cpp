#include "DatenLoaderUnit.h"
#include "TestSupport.h"

#include <QFile>

namespace {

const QString kBeispiel = QStringLiteral(VANTOREL_SOURCE_DIR "/examples/Wetterstation.txt");

QStringList datensaetze()
{
    QStringList zeilen = QString::fromUtf8(readFile(kBeispiel)).split(u'\n', Qt::SkipEmptyParts);
    if (!zeilen.isEmpty())
        zeilen.removeFirst();
    return zeilen;
}

} // namespace

class BeispielDatenTest : public GermanSettings {};

// The bundled sample is what run.sh shows: every record has to survive the
// loader, or the demonstration starts with holes.
TEST_F(BeispielDatenTest, EveryRecordOfTheSampleIsValid)
{
    ASSERT_TRUE(QFile::exists(kBeispiel)) << kBeispiel.toStdString();
    TDatenLoader loader(kBeispiel, 2000, 2.0, u'\t', false);
    EXPECT_TRUE(loader.Meldungen.isEmpty()) << loader.Meldungen.join(u'|').toStdString();
    EXPECT_TRUE(loader.HatDatum);
    EXPECT_EQ(loader.DatumSpalte, 0);
    EXPECT_TRUE(loader.HatUhrzeit);
    EXPECT_EQ(loader.UhrzeitSpalte, 1);

    QStringList namen;
    loader.GetSpaltenNamen(namen);
    EXPECT_EQ(namen, QStringList({QStringLiteral("Datum"), QStringLiteral("Uhrzeit"), QStringLiteral("t2m  [°C  ]"),
                                  QStringLiteral("rf   [%   ]"), QStringLiteral("p    [hPa ]"),
                                  QStringLiteral("ff   [m/s ]"), QStringLiteral("dd   [°   ]"),
                                  QStringLiteral("rr   [mm  ]"), QStringLiteral("rgn  [0/1 ]"),
                                  QStringLiteral("ptd  [0/1 ]"), QStringLiteral("ttp  [°C  ]")}));

    const QStringList zeilen = datensaetze();
    ASSERT_EQ(zeilen.size(), 24 * 60);
    for (const QString& z : zeilen) {
        const int vorher = loader.Datensaetze();
        loader.NeuerDatensatz(z);
        ASSERT_EQ(loader.Datensaetze(), vorher + 1) << "dropped: " << z.toStdString();
    }
    EXPECT_TRUE(loader.Meldungen.isEmpty()) << loader.Meldungen.join(u'|').toStdString();

    // A whole day, one record a minute, without gaps.
    loader.LoescheAeltesten();   // the start-up placeholder
    EXPECT_NEAR(loader.NeuesteZeit() - loader.AeltesteZeit(), 1439.0 / 1440.0, 1e-9);
    for (int r = 1; r < loader.Datensaetze(); ++r) {
        const double abstand = loader.Wert(r, 0) + loader.Wert(r, 1) - loader.Wert(r - 1, 0) - loader.Wert(r - 1, 1);
        ASSERT_NEAR(abstand * 1440.0, 1.0, 1e-6) << "record " << r;
    }

    // Humidity is a percentage, wind direction a compass bearing, and the
    // dew point never lies above the temperature.
    EXPECT_LE(loader.Maximum(QStringLiteral("rf   "), 5), 100.0);
    EXPECT_GE(loader.Minimum(QStringLiteral("rf   "), 5), 0.0);
    EXPECT_GE(loader.Minimum(QStringLiteral("dd   "), 5), 0.0);
    EXPECT_LT(loader.Maximum(QStringLiteral("dd   "), 5), 360.0);
    EXPECT_GT(loader.Maximum(QStringLiteral("rr   "), 5), 0.0);
    for (int r = 0; r < loader.Datensaetze(); ++r)
        ASSERT_LE(loader.Taupunkt(loader.Wert(r, 2), loader.Wert(r, 3)), loader.Wert(r, 2) + 1e-9) << "record " << r;
}
