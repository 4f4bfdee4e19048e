#include "LogFile.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <QFile>
#include <cstdio>

namespace {

QByteArray Zeilen(int von, int bis)
{
    QByteArray b;
    for (int i = von; i <= bis; ++i)
        b += "Zeile " + QByteArray::number(i) + "\n";
    return b;
}

// 07.12.2026 22:31:05.042, with `schritt` milliseconds more on every call.
void StelleUhr(int schritt)
{
    auto n = std::make_shared<int>(0);
    const TDateTime start = EncodeDate(2026, 12, 7) + EncodeTime(22, 31, 5, 42);
    SetClock([=] { return start + (*n)++ * schritt / 86400000.0; });
}
const QByteArray neu = "07.12.2026 22:31:05.042 - neu\n";

bool Gleich(const QByteArray& ist, const QByteArray& soll)
{
    if (ist != soll)
        std::fprintf(stderr, "ist:\n%s\nsoll:\n%s\n", ist.constData(), soll.constData());
    return ist == soll;
}

class LogFileTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        StelleUhr(0);
    }

    TempDir dir;
    QString pfad = dir.path(QStringLiteral("vantorel.log"));
};

} // namespace

TEST_F(LogFileTest, ErzeugenUndZeilenformat)
{
    TLogFile log(pfad, 1000, true);
    EXPECT_TRUE(QFile::exists(pfad));
    EXPECT_EQ(readFile(pfad), QByteArray());
    log.Schreibe(QStringLiteral("neu"));
    EXPECT_EQ(readFile(pfad), neu);

    SetClock([] { return EncodeDate(2026, 1, 2) + EncodeTime(3, 4, 5, 5); });
    TLogFile weiter(pfad, 1000, true);
    weiter.Schreibe(QStringLiteral("zwei °C"));
    EXPECT_EQ(readFile(pfad), neu + "02.01.2026 03:04:05.005 - zwei °C\n");

    TLogFile leer(pfad, 1000, false);
    EXPECT_EQ(readFile(pfad), QByteArray());

    // A last line without its line end does not swallow the next message.
    writeFile(pfad, "alt");
    leer.Schreibe(QStringLiteral("x"));
    EXPECT_EQ(readFile(pfad), "alt\n02.01.2026 03:04:05.005 - x\n");
}

TEST_F(LogFileTest, KuerztAufMaxZeilen)
{
    writeFile(pfad, Zeilen(1, 3));
    TLogFile drei(pfad, 3, true);
    drei.Schreibe(QStringLiteral("neu"));
    EXPECT_EQ(readFile(pfad), Zeilen(2, 3) + neu);

    // A longer file keeps its length; CR LF is read, LF written.
    writeFile(pfad, "Zeile 1\r\nZeile 2\r\nZeile 3\r\nZeile 4\r\n");
    drei.Schreibe(QStringLiteral("neu"));
    EXPECT_EQ(readFile(pfad), Zeilen(2, 4) + neu);

    // An old Windows-1252 file comes back as UTF-8.
    writeFile(pfad, "a\n5 \xB0" "C\nc\n");
    drei.Schreibe(QStringLiteral("neu"));
    EXPECT_EQ(readFile(pfad), "5 \xC2\xB0" "C\nc\n" + neu);

    TLogFile ohneGrenze(pfad, 0, true);
    ohneGrenze.Schreibe(QStringLiteral("neu"));
    EXPECT_EQ(readFile(pfad), "5 \xC2\xB0" "C\nc\n" + neu + neu);
}

TEST_F(LogFileTest, SchreibeAlleGleichtEinzelnenAufrufen)
{
    const QStringList texte = {QStringLiteral("eins"), QStringLiteral("zwei\nmit Umbruch"),
                               QString(), QStringLiteral("vier"), QStringLiteral("fünf")};
    struct Fall {
        int maxZeilen;
        QByteArray vorher;
        bool loeschen;
    } const faelle[] = {
        {1000, Zeilen(1, 1000), false},   // full
        {7, Zeilen(1, 4), false},         // fills up on the way
        {3, Zeilen(1, 6), false},         // longer than the limit
        {2, "ohne Ende", false},          // more messages than the limit
        {0, Zeilen(1, 5), false},
        {4, QByteArray(), true},          // deleted meanwhile
    };
    const QString einzeln = dir.path(QStringLiteral("einzeln.log"));
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.maxZeilen);
        writeFile(einzeln, f.vorher);
        writeFile(pfad, f.vorher);
        TLogFile a(einzeln, f.maxZeilen, true);
        TLogFile b(pfad, f.maxZeilen, true);
        if (f.loeschen) {
            QFile::remove(einzeln);
            QFile::remove(pfad);
        }
        StelleUhr(1);
        for (const QString& t : texte)
            a.Schreibe(t);
        StelleUhr(1);
        b.SchreibeAlle(texte);
        EXPECT_EQ(readFile(pfad).toStdString(), readFile(einzeln).toStdString());
        EXPECT_TRUE(readFile(pfad).endsWith("22:31:05.046 - fünf\n"));
    }
}

TEST_F(LogFileTest, FehlerVerlierenNichtsUndWerdenGemeldet)
{
    const QString ohneOrdner = dir.path(QStringLiteral("fehlt/vantorel.log"));
    TLogFile kaputt(ohneOrdner, 1000, false);
    EXPECT_FALSE(kaputt.Offen());
    try {
        kaputt.Schreibe(QStringLiteral("x"));
        ADD_FAILURE() << "keine Ausnahme";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Error Writing Log-File ") + ohneOrdner);
    }

    const QString p = pfad, d = dir.path();
    const QByteArray vorher = Zeilen(1, 3) + neu + neu + neu + neu;
    const QByteArray meldung = "Datei " + p.toUtf8() + " kann nicht geschrieben werden";
    auto scheitert = [&](TLogFile& log) {
        try {
            log.Schreibe(QStringLiteral("verloren"));
        } catch (const EInOutError& e) {
            return Gleich(e.Message().toUtf8(), meldung) && Gleich(readFile(p), vorher);
        }
        return Gleich("keine Ausnahme", "EInOutError");
    };
    EXPECT_TRUE(OhneRootRechte(d, [&] {
        // Unreadable for the trim: appended untrimmed, nothing written over it.
        writeFile(p, Zeilen(1, 3));
        TLogFile log(p, 3, true);
        Rechte(p, 0200);
        log.SchreibeAlle(QStringList(4, QStringLiteral("neu")));
        Rechte(p, 0600);
        bool gut = Gleich(readFile(p), vorher);

        // The trimmed file can't be saved: the caller hears of it and the
        // file stays whole.
        Rechte(d, 0500);
        Rechte(p, 0400);
        gut = scheitert(log) && gut;

        // No new files in the folder, but the log itself may be written:
        // trimmed in place.
        Rechte(p, 0600);
        log.Schreibe(QStringLiteral("neu"));
        gut = readFile(p).count('\n') == 7 && readFile(p).startsWith(Zeilen(2, 3)) && gut;
        writeFile(p, vorher);
        Rechte(d, 0700);

        // The line can't be appended: lost quietly, the file untouched.
        TLogFile ohneGrenze(p, 0, true);
        Rechte(p, 0400);
        try {
            ohneGrenze.Schreibe(QStringLiteral("verloren"));
        } catch (...) {
            return false;
        }
        return Gleich(readFile(p), vorher) && gut;
    }));
}
