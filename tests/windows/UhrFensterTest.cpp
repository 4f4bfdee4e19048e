#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "LoggerZeitFensterUnit.h"
#include "SystemZeitFensterUnit.h"
#include "TextFensterUnit.h"
#include "Timer.h"

#include <QFile>

TEST_F(FensterTest, ClocksShowDashUntilTheirFirstRefreshAndWriteTheirNineKeys)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* system = Erzeuge<TSystemzeitFenster>(owner, ini);
    EXPECT_EQ(system->DatumLabel->Caption(), QStringLiteral("-"));
    EXPECT_EQ(system->ZeitLabel->Caption(), QStringLiteral("-"));
    EXPECT_EQ(system->Timer1->Interval(), 500);
    EXPECT_TRUE(system->Timer1->Enabled());
    EXPECT_EQ(system->ZeitLabel->FontColor(), clRed);
    EXPECT_EQ(system->ZeitLabel->Color(), clBlack);
    EXPECT_EQ(system->Label3->FontColor(), clBlack);
    EXPECT_EQ(system->pos(), QPoint(435, 322));
    EXPECT_THROW(Erzeuge<TSystemzeitFenster>(owner, ini), EComponentError);

    SetClock([] { return EncodeDate(2024, 12, 8) + EncodeTime(10, 11, 12, 0); });
    system->Timer1Timer();
    EXPECT_EQ(system->DatumLabel->Caption(), QStringLiteral("08.12.2024"));
    EXPECT_EQ(system->ZeitLabel->Caption(), QStringLiteral("10:11:12"));

    // A loader without date and time columns has no newest time.
    const QString daten = dir.path(QStringLiteral("daten.txt"));
    writeFile(daten, "a\tb\n1.0\t2.0\n");
    TDatenLoader loader(daten, 2000, 1.0, u'\t', false);
    auto* logger = Erzeuge<TLoggerzeitFenster>(owner, &loader, ini);
    loader.TimerTimer();
    EXPECT_EQ(logger->DatumLabel->Caption(), QStringLiteral("-"));
    EXPECT_EQ(logger->ZeitLabel->Caption(), QStringLiteral("-"));

    abbauen(system);
    abbauen(logger);
    EXPECT_EQ(QString::fromUtf8(readFile(ini)),
              QStringLiteral("[SystemzeitFenster]\n"
                             "Aktiv=1\n"
                             "FensterID=-2\n"
                             "PositionX=435\n"
                             "PositionY=322\n"
                             "Schrift=MS SANS SERIF\n"
                             "SchriftFarbeWerte=255\n"
                             "SchriftFarbeBesch=0\n"
                             "FensterFarbe=-2147483633\n"
                             "LHFarbe=0\n"
                             "\n"
                             "[LoggerzeitFenster]\n"
                             "Aktiv=1\n"
                             "FensterID=-1\n"
                             "PositionX=435\n"
                             "PositionY=322\n"
                             "Schrift=MS SANS SERIF\n"
                             "SchriftFarbeWerte=255\n"
                             "SchriftFarbeBesch=0\n"
                             "FensterFarbe=-2147483633\n"
                             "LHFarbe=0\n"));
}

// Every window kind against a real loader: created, refreshed by a tick,
// moved, torn down, and its section read back.
TEST_F(FensterTest, EveryWindowRefreshesFromALoaderAndSavesItsSection)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    const QString daten = dir.path(QStringLiteral("daten.txt"));
    writeFile(daten, datenKopf() + "08.12.2024\t10:00:00\t5.5\t80\n");
    TDatenLoader loader(daten, 2000, 1.0, u'\t', false);
    SetClock([] { return EncodeDate(2024, 12, 8) + EncodeTime(11, 0, 0, 0); });

    auto* standard = Erzeuge<TStandardfenster>(owner, &loader, QStringLiteral("Luft"), QStringLiteral("°C"),
                                          QStringLiteral("t2m  [°C  ]"), ini, 2);
    auto* logger = Erzeuge<TLoggerzeitFenster>(owner, &loader, ini);
    auto* system = Erzeuge<TSystemzeitFenster>(owner, ini);
    EXPECT_EQ(loader.Clients().size(), 2u);

    loader.TimerTimer();
    system->Timer1Timer();
    EXPECT_EQ(standard->AktuellerWertLabel->Caption(), QStringLiteral("5,50"));
    EXPECT_EQ(logger->DatumLabel->Caption(), QStringLiteral("08.12.2024"));
    EXPECT_EQ(logger->ZeitLabel->Caption(), QStringLiteral("10:00:00"));
    EXPECT_EQ(system->ZeitLabel->Caption(), QStringLiteral("11:00:00"));

    standard->move(10, 20);
    logger->move(30, 40);
    system->move(50, 60);
    for (TGrundFenster* f : std::initializer_list<TGrundFenster*>{standard, logger, system})
        abbauen(f);
    EXPECT_TRUE(loader.Clients().empty());

    const TIniFile datei(ini);
    const auto lies = [&](const char* sektion, const char* schluessel) {
        return datei.ReadString(QString::fromLatin1(sektion), QString::fromLatin1(schluessel), QStringLiteral("?"));
    };
    EXPECT_EQ(lies("t2m__Standardanzeige", "FensterID"), QStringLiteral("1"));
    EXPECT_EQ(lies("t2m__Standardanzeige", "PositionY"), QStringLiteral("20"));
    EXPECT_EQ(lies("LoggerzeitFenster", "FensterID"), QStringLiteral("-1"));
    EXPECT_EQ(lies("LoggerzeitFenster", "PositionX"), QStringLiteral("30"));
    EXPECT_EQ(lies("SystemzeitFenster", "FensterID"), QStringLiteral("-2"));
    EXPECT_EQ(lies("SystemzeitFenster", "PositionY"), QStringLiteral("60"));

    EXPECT_TRUE(meldungen.isEmpty());
}
