#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "TextFensterUnit.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QPointer>

namespace {

const QString kT2m = QStringLiteral("t2m  [°C  ]");

// A loader whose column t2m holds 5, 12 and 50 (newest), one record per tick.
std::unique_ptr<TDatenLoader> ladeWerte(const QString& pfad)
{
    QByteArray daten = datenKopf() + "08.12.2024\t10:00:00\t5.0\t80\n";
    writeFile(pfad, daten);
    auto loader = std::make_unique<TDatenLoader>(pfad, 2000, 1.0, u'\t', false);
    loader->TimerTimer();   // the constructor's load only leaves a placeholder
    for (const char* zeile : {"08.12.2024\t10:01:00\t12.0\t80\n", "08.12.2024\t10:02:00\t50.0\t80\n"}) {
        daten += zeile;
        writeFile(pfad, daten);
        loader->TimerTimer();
    }
    return loader;
}

} // namespace

TEST_F(FensterTest, StandardWindowWritesAFreshSectionInFamilyOrder)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* f = Erzeuge<TStandardfenster>(owner, nullptr, QStringLiteral("Temperatur"), QStringLiteral("°C"), kT2m, ini, 1);
    EXPECT_EQ(f->Name(), QStringLiteral("t2m__Standardanzeige"));
    EXPECT_EQ(f->pos(), QPoint((1024 - 154) / 2, (768 - 123) / 2));
    EXPECT_FALSE(QFile::exists(ini));

    // Value text; decimals outside 0..15 are kept in range; texts are plain.
    EXPECT_EQ(f->WertText(12.345), QStringLiteral("12,3"));
    EXPECT_EQ(f->WertText(-9999), QStringLiteral("-"));
    f->SetNachkommastellen(-3);
    EXPECT_EQ(f->WertText(12.5), QStringLiteral("13"));
    f->SetNachkommastellen(40);
    EXPECT_EQ(f->WertText(0.5), QStringLiteral("0,500000000000000"));
    f->SetBeschriftung(QStringLiteral("<b>Temp</b>"));
    EXPECT_EQ(f->BeschriftungLabel->textFormat(), Qt::PlainText);
    EXPECT_EQ(f->MittelEinheitLabel->text(), QStringLiteral("Mittel\n(°C)"));
    f->SetBeschriftung(QStringLiteral("Temperatur"));
    abbauen(f);

    EXPECT_EQ(QString::fromUtf8(readFile(ini)),
              QStringLiteral("[t2m__Standardanzeige]\n"
                             "FensterID=1\n"
                             "Beschriftung=Temperatur\n"
                             "Spalte=t2m  [°C  ]\n"
                             "Einheit=°C\n"
                             "PositionX=435\n"
                             "PositionY=322\n"
                             "Aktiv=1\n"
                             "AnzahlBereiche=-1\n"
                             "Schrift=MS SANS SERIF\n"
                             "SchriftFarbeWerte=255\n"
                             "SchriftFarbeBesch=0\n"
                             "FensterFarbe=-2147483633\n"
                             "LHFarbe=0\n"));
    EXPECT_TRUE(meldungen.isEmpty());
}

TEST_F(FensterTest, StandardWindowReadsAndRewritesAnExistingSection)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[Global]\n"
                   "Interval=2000\n"
                   "\n"
                   "[t2m__Standardanzeige]\n"
                   "Einheit=K\n"
                   "PositionX=5000\n"
                   "PositionY=-40\n"
                   "AnzahlBereiche=2\n"
                   "Bereich0Von=2,5\n"
                   "Bereich0Farbe=32768\n"
                   "Bereich1Von=10\n"
                   "Bereich1Bis=20\n"
                   "Bereich1Farbe=255\n"
                   "Bereich2Von=20\n"
                   "Bereich2Bis=30\n"
                   "Bereich2Farbe=65535\n"
                   "FensterFarbe=12632256\n"
                   "Fremd=x\n");
    auto* f = Erzeuge<TStandardfenster>(owner, nullptr, QStringLiteral("Temperatur"), QStringLiteral("°C"), kT2m, ini, 1);

    // Saved settings override the arguments; the position is pulled onto the
    // screen; a missing bound reads 0 and the bounds are put in order.
    EXPECT_EQ(f->Einheit, QStringLiteral("K"));
    EXPECT_EQ(f->MinEinheitLabel->Caption(), QStringLiteral("Min\r(K)"));
    EXPECT_EQ(f->pos(), QPoint(1024 - 154, 0));
    ASSERT_EQ(f->Bereiche->Count(), 3);
    EXPECT_EQ(f->Bereiche->GetBereich(0).Von, 0.0);
    EXPECT_EQ(f->Bereiche->GetBereich(0).Bis, 2.5);
    EXPECT_EQ(f->Color(), 0xC0C0C0);

    // The options dialog leaves one range: the stale ones stay in the file.
    f->Bereiche = std::make_unique<TRanges>();
    f->Bereiche->Add(clLime, -1.25, 5);
    abbauen(f);

    EXPECT_EQ(QString::fromUtf8(readFile(ini)),
              QStringLiteral("[Global]\n"
                             "Interval=2000\n"
                             "\n"
                             "[t2m__Standardanzeige]\n"
                             "Einheit=K\n"
                             "PositionX=870\n"
                             "PositionY=0\n"
                             "AnzahlBereiche=0\n"
                             "Bereich0Von=-1,25\n"
                             "Bereich0Farbe=65280\n"
                             "Bereich1Von=10\n"
                             "Bereich1Bis=20\n"
                             "Bereich1Farbe=255\n"
                             "Bereich2Von=20\n"
                             "Bereich2Bis=30\n"
                             "Bereich2Farbe=65535\n"
                             "FensterFarbe=12632256\n"
                             "Fremd=x\n"
                             "FensterID=1\n"
                             "Beschriftung=Temperatur\n"
                             "Spalte=t2m  [°C  ]\n"
                             "Aktiv=1\n"
                             "Bereich0Bis=5\n"
                             "Schrift=MS SANS SERIF\n"
                             "SchriftFarbeWerte=255\n"
                             "SchriftFarbeBesch=0\n"
                             "LHFarbe=0\n"));

    // A damaged range count reads a bounded list instead of hanging.
    writeFile(ini, "[t2m__Standardanzeige]\nAnzahlBereiche=2147483647\nBereich0Von=1\nBereich0Bis=2\n");
    auto* kaputt = Erzeuge<TStandardfenster>(owner, nullptr, QString(), QString(), kT2m, ini, 1);
    ASSERT_EQ(kaputt->Bereiche->Count(), 1000);
    EXPECT_EQ(kaputt->Bereiche->GetBereich(0).Bis, 2.0);
    EXPECT_EQ(kaputt->Bereiche->GetBereich(999).Farbe, clNone);
    delete kaputt;   // dropped without writing
}

TEST_F(FensterTest, StandardWindowShowsValuesWithAndWithoutRanges)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = ladeWerte(dir.path(QStringLiteral("daten.txt")));

    // Without ranges: every value in the configured value colour.
    auto* ohne = Erzeuge<TStandardfenster>(owner, loader.get(), QString(), QStringLiteral("°C"), kT2m, ini, 1);
    EXPECT_EQ(ohne->AktuellerWertLabel->Caption(), QStringLiteral("-"));
    loader->TimerTimer();
    EXPECT_EQ(ohne->MaxLabel->Caption(), QStringLiteral("50,0"));
    EXPECT_EQ(ohne->MinLabel->Caption(), QStringLiteral("5,0"));
    EXPECT_EQ(ohne->MittelLabel->Caption(), QStringLiteral("22,3"));
    EXPECT_EQ(ohne->AktuellerWertLabel->Caption(), QStringLiteral("50,0"));
    for (TFensterLabel* l : {ohne->MaxLabel, ohne->MinLabel, ohne->MittelLabel, ohne->AktuellerWertLabel})
        EXPECT_EQ(l->FontColor(), clRed);
    abbauen(ohne);

    // Ranges 0..10 green and 10..40 blue: the maximum is cut to 40 in its
    // old colour, the mean is taken over 0..40 only, the current value 50
    // lies in no range and keeps what it showed.
    QFile::remove(ini);
    writeFile(ini, "[t2m__Standardanzeige]\nAnzahlBereiche=1\nBereich0Von=0\nBereich0Bis=10\nBereich0Farbe=32768\n"
                   "Bereich1Von=10\nBereich1Bis=40\nBereich1Farbe=16711680\n");
    auto* mit = Erzeuge<TStandardfenster>(owner, loader.get(), QString(), QStringLiteral("°C"), kT2m, ini, 1);
    loader->TimerTimer();
    EXPECT_EQ(mit->MaxLabel->Caption(), QStringLiteral("40,0"));
    EXPECT_EQ(mit->MaxLabel->FontColor(), clRed);
    EXPECT_EQ(mit->MinLabel->Caption(), QStringLiteral("5,0"));
    EXPECT_EQ(mit->MinLabel->FontColor(), clGreen);
    EXPECT_EQ(mit->MittelLabel->Caption(), QStringLiteral("8,5"));
    EXPECT_EQ(mit->MittelLabel->FontColor(), clGreen);
    EXPECT_EQ(mit->AktuellerWertLabel->Caption(), QStringLiteral("-"));

    // No value: "-" in the colour the label had.
    mit->Spalte = QStringLiteral("fehlt");
    loader->TimerTimer();
    EXPECT_EQ(mit->MinLabel->Caption(), QStringLiteral("-"));
    EXPECT_EQ(mit->MinLabel->FontColor(), clGreen);
    EXPECT_EQ(mit->MaxLabel->Caption(), QStringLiteral("-"));
    abbauen(mit);
}

TEST_F(FensterTest, MenuItemsFollowVersteckeFensterMenusAndCallTheOwnersHooks)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[Global]\nVersteckeFensterMenus=1\n");
    auto loader = ladeWerte(dir.path(QStringLiteral("daten.txt")));
    auto* f = Erzeuge<TStandardfenster>(owner, loader.get(), QStringLiteral("T"), QStringLiteral("°C"), kT2m, ini, 1);
    EXPECT_FALSE(f->Optionen1->isEnabled());
    EXPECT_FALSE(f->Deaktivieren1->isEnabled());
    EXPECT_TRUE(f->N24hVerlauf1->isEnabled());

    TGrundFenster* optionenFuer = nullptr;
    TVerlaufAufruf verlauf;
    owner.OeffneOptionen = [&](TGrundFenster& w) { optionenFuer = &w; };
    owner.Oeffne24hVerlauf = [&](const TVerlaufAufruf& a) { verlauf = a; };
    f->Optionen1->trigger();
    EXPECT_EQ(optionenFuer, nullptr);
    f->N24hVerlauf1->trigger();
    EXPECT_EQ(verlauf.Loader, loader.get());
    EXPECT_EQ(verlauf.Spalte, kT2m);
    EXPECT_EQ(verlauf.Einheit, QStringLiteral("°C"));

    // The menu opens at the cursor; the dew-point window offers no chart.
    writeFile(ini, "[Global]\nVersteckeFensterMenus=0\n");
    auto* ttp = Erzeuge<TStandardfenster>(owner, loader.get(), QString(), QString(), QStringLiteral("ttp  [°C  ]"), ini, 1);
    EXPECT_EQ(ttp->Name(), QStringLiteral("ttp__Standardanzeige"));
    ttp->Optionen1->trigger();
    EXPECT_EQ(optionenFuer, ttp);
    screen.cursor = QPoint(200, 150);
    ttp->Shape1ContextPopup();
    EXPECT_TRUE(ttp->PopupMenu1->isVisible());
    EXPECT_EQ(ttp->PopupMenu1->pos(), QPoint(200, 150));
    EXPECT_FALSE(ttp->N24hVerlauf1->isEnabled());
    ttp->PopupMenu1->hide();

    // A loader freed before its windows is not touched again.
    verlauf = {};
    loader.reset();
    f->N24hVerlauf1->trigger();
    EXPECT_EQ(verlauf.Loader, nullptr);
    abbauen(ttp);
    abbauen(f);
    EXPECT_TRUE(meldungen.isEmpty());
}

TEST_F(FensterTest, DeaktivierenWritesAktivFalseAndFreesTheName)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = ladeWerte(dir.path(QStringLiteral("daten.txt")));
    QPointer<TStandardfenster> f = Erzeuge<TStandardfenster>(owner, loader.get(), QString(), QString(), kT2m, ini, 1);
    f->Deaktivieren1->trigger();
    EXPECT_TRUE(loader->Clients().empty());
    EXPECT_EQ(owner.komponenten.FindComponent(QStringLiteral("t2m__Standardanzeige")), nullptr);
    EXPECT_FALSE(TIniFile(ini).ReadBool(QStringLiteral("t2m__Standardanzeige"), QStringLiteral("Aktiv"), true));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(f.isNull());
}

TEST_F(FensterTest, FailedConstructionWritesNothingAndAFailedWriteIsReported)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = ladeWerte(dir.path(QStringLiteral("daten.txt")));
    auto* erster = Erzeuge<TStandardfenster>(owner, loader.get(), QString(), QString(), kT2m, ini, 1);

    // Same first five characters: the same name, refused.
    EXPECT_THROW(Erzeuge<TStandardfenster>(owner, loader.get(), QString(), QString(), QStringLiteral("t2m  [K]"), ini, 1),
                 EComponentError);
    // Not an identifier.
    EXPECT_THROW(Erzeuge<TStandardfenster>(owner, loader.get(), QString(), QString(), QStringLiteral("1h   [mm ]"), ini, 1),
                 EComponentError);
    EXPECT_EQ(owner.komponenten.ComponentCount(), 1);
    EXPECT_EQ(loader->Clients().size(), 1u);
    EXPECT_FALSE(QFile::exists(ini));

    abbauen(erster);
    QStringList sektionen;
    TIniFile(ini).ReadSections(sektionen);
    EXPECT_EQ(sektionen, QStringList{QStringLiteral("t2m__Standardanzeige")});

    // A teardown that can't write reports it and carries on.
    auto* ohneOrdner = Erzeuge<TStandardfenster>(owner, nullptr, QString(), QString(), kT2m, dir.path(QStringLiteral("fehlt/v.ini")), 1);
    EXPECT_NO_THROW(abbauen(ohneOrdner));
    EXPECT_EQ(meldungen.size(), 1);
    EXPECT_EQ(owner.komponenten.ComponentCount(), 0);
}

TEST_F(FensterTest, ValuesThatDoNotFitShrinkAndOthersKeepTheirFont)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto* f = Erzeuge<TStandardfenster>(owner, nullptr, QString(), QStringLiteral("hPa"), kT2m, ini, 1);
    for (TFensterLabel* l : {f->AktuellerWertLabel, f->MinLabel, f->MittelLabel, f->MaxLabel}) {
        const int voll = l->ShownPixelSize();
        l->SetCaption(QStringLiteral("5,0"));
        EXPECT_EQ(l->ShownPixelSize(), voll);
        EXPECT_TRUE(textPasst(*l, 2));
        for (const char* wert : {"-1500,0", "1015,5", "-1500,123456789012345"}) {
            l->SetCaption(QString::fromLatin1(wert));
            EXPECT_TRUE(textPasst(*l, 2));
        }
        l->SetCaption(QStringLiteral("12,3"));
        EXPECT_EQ(l->ShownPixelSize(), voll);
    }
    // A long caption is cut to what the window shows, not to the label.
    f->SetBeschriftung(QStringLiteral("Lufttemperatur in zwei Metern"));
    EXPECT_TRUE(textPasst(*f->BeschriftungLabel, 0));
    abbauen(f);
}
