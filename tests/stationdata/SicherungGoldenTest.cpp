// The bytes of a saved day are pinned: a faster writer or reader must not
// change a single one of them, nor a single bit of what is read back.
#include "DatenLoaderUnit.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QFile>

#include <cmath>
#include <cstring>
#include <random>

// Written by the general conversions before the fast paths came.
#define GOLDEN_GROESSE 646030
#define GOLDEN_SHA256 "a7a55b3ce5bf59bfe411ec6f0938d5e0706c352cee386fb014dfe0cf1c77d6dc"
#define GOLDEN_SUMME "136099824.93436262"
#define GOLDEN_WIEDER GOLDEN_SHA256

namespace {

class SicherungGoldenTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        SetSleepFunction([](unsigned) {});
    }
    TempDir dir;
};

// Every kind of number a save file meets: whole, few and many digits,
// negative, tiny, large, and values with more than 15 digits.
QString Zahl(std::mt19937_64& zufall, int spalte)
{
    std::uniform_real_distribution<double> gleich(-1500, 1500);
    switch (spalte % 8) {
    case 0:
        return QString::number(static_cast<int>(gleich(zufall)));
    case 1:
        return QString::number(gleich(zufall), 'f', 1);
    case 2:
        return QString::number(gleich(zufall), 'f', 2);
    case 3:
        return QString::number(gleich(zufall), 'g', 17);
    case 4:
        return QString::number(gleich(zufall) * 1e-6, 'g', 17);
    case 5:
        return QString::number(std::ldexp(gleich(zufall), -40), 'e', 20);
    case 6:
        return QString::number(gleich(zufall) / 3, 'f', 12);
    default:
        return QStringLiteral("-0.0");
    }
}

} // namespace

TEST_F(SicherungGoldenTest, ADaySavedAndMergedBack)
{
    QStringList kopf{QStringLiteral("Datum"), QStringLiteral("Uhrzeit")};
    for (int c = 0; c < 16; ++c)
        kopf << QStringLiteral("w%1   [x  ]").arg(c, 2, 10, QChar(u'0'));
    const QString header = kopf.join(u'\t');
    const QString daten = dir.path(QStringLiteral("daten.txt"));
    writeFile(daten, (header + QStringLiteral("\n07.12.2026\t23:59:59\t") + QStringList(16, QStringLiteral("1")).join(u'\t') + u'\n').toUtf8());

    TDatenLoader l(daten, 1000, 2.0, u'\t', false);
    std::mt19937_64 zufall(20261208);
    for (int r = 0; r < 3000; ++r) {
        const int ms = r * 28'800 + static_cast<int>(zufall() % 1000);   // about 8 s apart, odd milliseconds
        QString zeile = QStringLiteral("08.12.2026\t%1:%2:%3")
                            .arg(ms / 3'600'000, 2, 10, QChar(u'0'))
                            .arg(ms / 60'000 % 60, 2, 10, QChar(u'0'))
                            .arg(ms / 1000 % 60, 2, 10, QChar(u'0'));
        if (r % 7 == 0)
            zeile += QStringLiteral(",%1").arg(ms % 1000, 3, 10, QChar(u'0'));
        for (int c = 0; c < 16; ++c)
            zeile += u'\t' + Zahl(zufall, c + r);
        l.NeuerDatensatz(zeile);
    }
    ASSERT_EQ(l.Datensaetze(), 3001);
    const QString sav = dir.path(QStringLiteral("AutoSave.sav"));
    ASSERT_TRUE(l.SpeichereDatei(sav));
    const QByteArray bytes = readFile(sav);
    EXPECT_EQ(bytes.size(), GOLDEN_GROESSE);
    const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(hash, QByteArray(GOLDEN_SHA256)) << hash.constData();

    // Read back: the same records, bit for bit what the text says.
    TDatenLoader zurueck(daten, 1000, 2.0, u'\t', false);
    ASSERT_TRUE(zurueck.LadeSicherung(sav));
    ASSERT_EQ(zurueck.Datensaetze(), 3001);
    double summe = 0;
    for (int r = 1; r < zurueck.Datensaetze(); ++r)
        for (int c = 0; c < 18; ++c)
            summe += zurueck.Wert(r, c) * (c + 1);
    EXPECT_EQ(QString::number(summe, 'g', 17), QStringLiteral(GOLDEN_SUMME)) << QString::number(summe, 'g', 17).toStdString();
    const QString wieder = dir.path(QStringLiteral("wieder.sav"));
    ASSERT_TRUE(zurueck.SpeichereDatei(wieder));
    const QByteArray wiederHash = QCryptographicHash::hash(readFile(wieder), QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(wiederHash, QByteArray(GOLDEN_WIEDER)) << wiederHash.constData();
}
