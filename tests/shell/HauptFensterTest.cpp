#include "HauptFensterTestSupport.h"

#include "DialogWache.h"

TEST_F(HauptFensterTest, FirstStartMakesOneWindowPerColumnAndBothClocksAndPlacesThem)
{
    auto h = starte();
    ASSERT_FALSE(h->StartAbgebrochen());
    EXPECT_EQ(dialoge, 0);
    EXPECT_EQ(namen(*h), (QStringList{QStringLiteral("SystemzeitFenster"), QStringLiteral("LoggerzeitFenster"),
                                      QStringLiteral("t2m__Standardanzeige"), QStringLiteral("rf___Standardanzeige"),
                                      QStringLiteral("p____Standardanzeige"), QStringLiteral("ttp__Standardanzeige")}));
    const auto fenster = h->Anzeigefenster();
    EXPECT_EQ(fenster.first()->pos(), QPoint(0, 0));
    EXPECT_EQ(fenster.at(1)->pos(), QPoint(fenster.first()->width() + 1, 0));
    for (int i = 0; i < fenster.size(); ++i)
        for (int j = i + 1; j < fenster.size(); ++j)
            EXPECT_FALSE(fenster.at(i)->geometry().adjusted(0, 0, 1, 1).intersects(fenster.at(j)->geometry()));
    EXPECT_TRUE(h->DatenLoader->Aktiv());

    TIniFile datei(ini);
    EXPECT_FALSE(datei.ReadBool(QStringLiteral("Global"), QStringLiteral("ErsterStart"), true));

    // The menu: system clock first, the logger clock in place of the date.
    const auto punkte = h->FensterMenu->actions();
    ASSERT_EQ(punkte.size(), 6);
    EXPECT_EQ(punkte.at(0)->text(), QStringLiteral("System Datum/Uhrzeit"));
    EXPECT_EQ(punkte.at(1)->text(), QStringLiteral("Logger Datum/Uhrzeit"));
    EXPECT_EQ(punkte.at(2)->text(), QStringLiteral("t2m  [°C  ]"));
    EXPECT_EQ(punkte.at(5)->text(), QStringLiteral("ttp  [°C  ]"));
    h->HauptPopUpPopup();
    EXPECT_FALSE(punkte.at(0)->isEnabled());
    EXPECT_FALSE(punkte.at(2)->menu()->actions().first()->isEnabled());

    // A window closed and freed while a placement runs is left alone.
    TGrundFenster* weg = fenster.at(1);
    QTimer::singleShot(0, weg, [weg] { weg->Deaktivieren1Click(); });
    h->OptimierePositionen();
    EXPECT_EQ(namen(*h).size(), 5);

    // Closing writes Global and the save file; the windows write their
    // sections as the main window goes.
    EXPECT_TRUE(h->FormClose());
    h.reset();
    const QString text = iniText();
    EXPECT_TRUE(text.contains(QStringLiteral("[t2m__Standardanzeige]")));
    EXPECT_TRUE(text.contains(QStringLiteral("[SystemzeitFenster]")));
    EXPECT_TRUE(text.contains(QStringLiteral("LogDatei=") + daten));
    EXPECT_TRUE(QFileInfo::exists(dir.path(QStringLiteral("AutoSave.sav"))));
    EXPECT_TRUE(boxen.isEmpty()) << boxen.join(u'|').toStdString();
}

TEST_F(HauptFensterTest, ConfiguredStartCreatesWindowsWhoseColumnsExist)
{
    writeFile(ini, "[Global]\nErsterStart=0\nLogDatei=" + daten.toUtf8()
                       + "\n\n[t2m__Standardanzeige]\nAktiv=1\nFensterID=1\nSpalte=t2m  [\xC2\xB0" "C  ]\nPositionX=40\n"
                         "\n[wind_Standardanzeige]\nAktiv=1\nFensterID=1\nSpalte=wind [m/s ]\n"
                         "\n[Aus]\nAktiv=0\nFensterID=-2\n"
                         "\n[gLoBaL]\nAktiv=1\nFensterID=-2\n"
                         "\n[LoggerzeitFenster]\nAktiv=1\nFensterID=-1\n"
                         "\n[Therm]\nAktiv=1\nFensterID=2\nSpalte=t2m  [\xC2\xB0" "C  ]\n"
                         "\n[rf___Kompass]\nAktiv=1\nFensterID=3\nSpalte=rf   [%   ]\n"
                         "\n[p____Trend]\nAktiv=1\nFensterID=8\nSpalte=p    [hPa ]\n");
    mitArgument = false;   // the data file comes from "LogDatei"
    auto h = starte();
    ASSERT_FALSE(h->StartAbgebrochen());
    // A window takes its name from column and type, whatever its section is called.
    EXPECT_EQ(namen(*h), (QStringList{QStringLiteral("t2m__Standardanzeige"), QStringLiteral("LoggerzeitFenster"),
                                      QStringLiteral("t2m__Thermometer"), QStringLiteral("rf___Kompass"),
                                      QStringLiteral("p____Trend")}));
    EXPECT_EQ(h->Anzeigefenster().first()->x(), 40);
    h->FormClose();
    h.reset();
    // Sections of windows that weren't made stay as they were.
    const QString text = iniText();
    EXPECT_TRUE(text.contains(QStringLiteral("[wind_Standardanzeige]\nAktiv=1\nFensterID=1\nSpalte=wind [m/s ]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[Therm]\nAktiv=1\nFensterID=2\n")));
}

TEST_F(HauptFensterTest, HundredAndFiftyRangesSurviveAStartAndAClose)
{
    QByteArray sektion = "[Global]\nErsterStart=0\n\n[t2m__Standardanzeige]\nAktiv=1\nFensterID=1\n"
                         "Spalte=t2m  [\xC2\xB0" "C  ]\nAnzahlBereiche=149\n";
    for (int i = 0; i < 150; ++i)
        sektion += QStringLiteral("Bereich%1Von=%1\nBereich%1Bis=%2\nBereich%1Farbe=%3\n").arg(i).arg(i + 1).arg(i * 10).toUtf8();
    writeFile(ini, sektion);
    auto h = starte();
    ASSERT_FALSE(h->StartAbgebrochen());
    ASSERT_EQ(h->Anzeigefenster().size(), 1);
    const TRanges* bereiche = h->Anzeigefenster().first()->Bereiche.get();
    ASSERT_NE(bereiche, nullptr);
    ASSERT_EQ(bereiche->Count(), 150);
    EXPECT_EQ(bereiche->GetBereich(149).Von, 149);
    EXPECT_EQ(bereiche->GetBereich(149).Farbe, 1490);
    h->FormClose();
    h.reset();

    const TIniFile geschrieben(ini);
    const QString s = QStringLiteral("t2m__Standardanzeige");
    EXPECT_EQ(geschrieben.ReadInteger(s, QStringLiteral("AnzahlBereiche"), 0), 149);
    EXPECT_EQ(geschrieben.ReadString(s, QStringLiteral("Bereich149Von"), QString()), QStringLiteral("149"));
    EXPECT_EQ(geschrieben.ReadString(s, QStringLiteral("Bereich149Bis"), QString()), QStringLiteral("150"));
    EXPECT_EQ(geschrieben.ReadInteger(s, QStringLiteral("Bereich149Farbe"), 0), 1490);
}

TEST_F(HauptFensterTest, BothRainWindowsComeFromTheirSectionsAndShareTheirPeriods)
{
    writeFile(ini, "[Global]\nErsterStart=0\nMittelwertzeit=30\n"
                   "\n[p____Regenmessergrafik]\nAktiv=1\nFensterID=11\nSpalte=p    [hPa ]\n"
                   "\n[p____Regenmesser]\nAktiv=1\nFensterID=10\nSpalte=p    [hPa ]\n");
    auto h = starte();
    ASSERT_FALSE(h->StartAbgebrochen());
    EXPECT_EQ(namen(*h), (QStringList{QStringLiteral("p____Regenmessergrafik"), QStringLiteral("p____Regenmesser")}));
    auto* bild = dynamic_cast<TGrafikRegenMesserFenster*>(h->Anzeigefenster().first());
    auto* regen = dynamic_cast<TRegenMesserFenster*>(h->Anzeigefenster().last());
    ASSERT_TRUE(bild && regen);
    EXPECT_EQ(bild->Mittelwertzeit, 30);
    regen->PeriodenPunkte.first()->trigger();
    EXPECT_EQ(bild->Mittelwertzeit, 10);
    h->FormClose();
}

TEST_F(HauptFensterTest, CancelledChoiceCreatesAndWritesNothing)
{
    mitArgument = false;
    auto h = starte({dir.path(QStringLiteral("fehlt.txt"))});
    EXPECT_EQ(dialoge, 1);
    EXPECT_TRUE(h->StartAbgebrochen());
    EXPECT_FALSE(h->DatenLoader);
    EXPECT_TRUE(h->Anzeigefenster().isEmpty());
    h.reset();
    EXPECT_FALSE(QFileInfo::exists(ini));
    EXPECT_FALSE(QFileInfo::exists(log));
    EXPECT_FALSE(QFileInfo::exists(dir.path(QStringLiteral("AutoSave.sav"))));

    // A chosen file is taken.
    auswahl = daten;
    auto h2 = starte({});
    EXPECT_FALSE(h2->StartAbgebrochen());
    EXPECT_EQ(h2->DatenLoader->Datei, daten);
}

TEST_F(HauptFensterTest, HeaderOnlyDataFileLeavesTheMenuEmpty)
{
    writeFile(daten, kKopf);
    writeFile(ini, "[Global]\nErsterStart=0\n\n[SystemzeitFenster]\nAktiv=1\nFensterID=-2\n"
                   "\n[rf___Standardanzeige]\nAktiv=1\nFensterID=1\nSpalte=rf   [%   ]\n");
    auto h = starte();
    EXPECT_TRUE(h->FensterMenu->actions().isEmpty());
    EXPECT_EQ(namen(*h), (QStringList{QStringLiteral("SystemzeitFenster"), QStringLiteral("rf___Standardanzeige")}));
    EXPECT_TRUE(h->DatenLoader->Aktiv());
    // The messages reach the log with the first tick.
    h->DatenLoader->TimerTimer();
    EXPECT_TRUE(QString::fromUtf8(readFile(log)).contains(QStringLiteral("Keine Uhrzeit oder Datum im Datensatz")));

    // A first start with such a file makes no default windows.
    QFile::remove(ini);
    h.reset();
    QFile::remove(ini);
    auto h2 = starte();
    EXPECT_TRUE(h2->Anzeigefenster().isEmpty());
    EXPECT_FALSE(TIniFile(ini).ReadBool(QStringLiteral("Global"), QStringLiteral("ErsterStart"), true));
}

// The logger adds a column: the menu is made anew from the new header, the
// dew point's entry still makes the dew point, the new column is offered.
// The day under the old header is kept beside the save file, unless this is
// a secondary display, and beside the one chosen last.
TEST_F(HauptFensterTest, TheWindowMenuFollowsANewHeader)
{
    SetClock([] { return EncodeDate(2026, 12, 9) + EncodeTime(4, 15, 0, 0); });
    // The kinds of rf are listed up to the integer limit with 0 to 2 present
    // (a leading zero names no index), those of p up to 1 of them.
    writeFile(ini, "[Global]\nErsterStart=0\nTochterAnzeige=1\nttp  bezeichnung=Taupunkt\n"
                   "rf   =2147483647\nrf   0=3\nRF   1=2\nrf   01=5\n  rf   2 =1\n"
                   "p    =1\np    0=7\np    1=1\np    2=3\n");
    auto h = starte();
    h->DatenLoader->TimerTimer();
    writeFile(daten, kKopf + zeile(0, 1.5) + zeile(1, 2.5));
    h->DatenLoader->TimerTimer();
    const auto eintrag = [&h](const QString& text) -> QAction* {
        for (QAction* a : h->FensterMenu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    };
    const auto arten = [&eintrag](const QString& text) {
        QStringList r;
        if (QAction* a = eintrag(text))
            for (QAction* t : a->menu()->actions())
                r << t->text() + (t->isEnabled() ? QString() : QStringLiteral(" (grau)"));
        return r;
    };
    const QStringList rfArten{QStringLiteral("Kompass"), QStringLiteral("Thermometer"), QStringLiteral("Standardanzeige")};
    const QStringList pArten{QStringLiteral("Barometer"), QStringLiteral("Standardanzeige")};
    EXPECT_EQ(arten(QStringLiteral("rf   [%   ]")), rfArten);
    EXPECT_EQ(arten(QStringLiteral("p    [hPa ]")), pArten);
    ASSERT_NE(eintrag(QStringLiteral("Taupunkt")), nullptr);
    EXPECT_EQ(eintrag(QStringLiteral("tb   [°C  ]")), nullptr);

    // The new header comes while the menu is open with a window of t2m on
    // screen: its item stays greyed, the new column's is offered.
    ASSERT_NE(eintrag(QStringLiteral("t2m  [°C  ]")), nullptr);
    eintrag(QStringLiteral("t2m  [°C  ]"))->menu()->actions().first()->trigger();
    h->HauptPopUp->popup(QPoint(0, 0));
    QByteArray neu = kKopf;
    neu.insert(neu.size() - 1, "\ttb   [\xC2\xB0" "C  ]");
    writeFile(daten, neu + "08.12.2026\t10:02:00\t3,5\t80\t1013.5\t-2\n");
    h->DatenLoader->TimerTimer();
    EXPECT_EQ(arten(QStringLiteral("t2m  [°C  ]")), QStringList{QStringLiteral("Standardanzeige (grau)")});
    EXPECT_EQ(arten(QStringLiteral("tb   [°C  ]")), QStringList{QStringLiteral("Standardanzeige")});
    EXPECT_EQ(arten(QStringLiteral("rf   [%   ]")), rfArten);
    EXPECT_EQ(arten(QStringLiteral("p    [hPa ]")), pArten);
    h->HauptPopUp->hide();

    const QStringList texte = [&h] {
        QStringList r;
        for (QAction* a : h->FensterMenu->actions())
            r << a->text();
        return r;
    }();
    EXPECT_EQ(texte, (QStringList{QStringLiteral("System Datum/Uhrzeit"), QStringLiteral("Logger Datum/Uhrzeit"),
                                  QStringLiteral("t2m  [°C  ]"), QStringLiteral("rf   [%   ]"), QStringLiteral("p    [hPa ]"),
                                  QStringLiteral("tb   [°C  ]"), QStringLiteral("Taupunkt")}));
    ASSERT_NE(eintrag(QStringLiteral("tb   [°C  ]")), nullptr);
    h->HauptPopUpPopup();
    eintrag(QStringLiteral("Taupunkt"))->menu()->actions().first()->trigger();
    eintrag(QStringLiteral("tb   [°C  ]"))->menu()->actions().first()->trigger();
    EXPECT_EQ(namen(*h), (QStringList{QStringLiteral("t2m__Standardanzeige"), QStringLiteral("ttp__Standardanzeige"),
                                      QStringLiteral("tb___Standardanzeige")}));
    const auto fenster = h->Anzeigefenster();
    ASSERT_EQ(fenster.size(), 3);
    EXPECT_EQ(dynamic_cast<TSpaltenFenster*>(fenster.at(1))->Spalte, QStringLiteral("ttp  [°C  ]"));
    EXPECT_EQ(dynamic_cast<TSpaltenFenster*>(fenster.at(2))->Spalte, QStringLiteral("tb   [°C  ]"));
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*-20261209-*")}).isEmpty());

    // No longer a secondary display, with a save file of its own: the next
    // layout's change keeps the day beside it, named in the log.
    ImDialog<TPrgEinstDialog1>([this](TPrgEinstDialog1& d) {
        d.TochterAnzeigeCB1->setChecked(false);
        d.AutoSaveDateiJFE1->SetFileName(dir.path(QStringLiteral("Station.sav")));
        d.OKButton1->click();
    });
    h->Programm1->trigger();
    writeFile(daten, neu.chopped(1) + "\tff   [m/s ]\n08.12.2026\t10:03:00\t3,5\t80\t1013.5\t-2\t4\n");
    h->DatenLoader->TimerTimer();
    const QString kopie = dir.path(QStringLiteral("Station-20261209-041500.sav"));
    EXPECT_EQ(readFile(kopie), neu + "08.12.2026\t10:02:00\t3,5\t80\t1013,5\t-2\n");
    EXPECT_TRUE(QString::fromUtf8(readFile(log)).contains(kopie));
    EXPECT_TRUE(boxen.isEmpty()) << boxen.join(u'|').toStdString();
}

TEST_F(HauptFensterTest, BackgroundPicture)
{
    writeFile(ini, "[Global]\nErsterStart=0\n");
    auto h = starte();
    const QString bild = dir.path(QStringLiteral("bild.png"));
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(bild));
    h->SetHintergrund(bild);
    EXPECT_EQ(h->HintergrundBild, bild);
    h->SetHintergrund(dir.path(QStringLiteral("fehlt.png")));   // missing: nothing changes
    EXPECT_EQ(h->HintergrundBild, bild);
    const QString kaputt = dir.path(QStringLiteral("kaputt.jpg"));
    writeFile(kaputt, "keine jpeg-daten");
    h->SetHintergrund(kaputt);
    EXPECT_EQ(h->HintergrundBild, bild);
    // The format goes by the extension, not by what the file holds.
    const QString fremd = dir.path(QStringLiteral("bild.xyz"));
    ASSERT_TRUE(img.save(fremd, "PNG"));
    h->SetHintergrund(fremd);
    EXPECT_EQ(h->HintergrundBild, bild);
    EXPECT_EQ(boxen, QStringList(2, QStringLiteral("Beim Laden des Bildes ist ein Fehler aufgetreten.")));
    h->SetHintergrund(QString());
    EXPECT_TRUE(h->HintergrundBild.isEmpty());
}

TEST_F(HauptFensterTest, FifthRecorderSectionAtStartMakesNoWindowAndStaysAsItWas)
{
    writeFile(daten, "Datum\tUhrzeit\taaaaa\tbbbbb\tccccc\tddddd\teeeee\n08.12.2026\t10:00:00\t1\t2\t3\t4\t5\n");
    QByteArray sektionen = "[Global]\nErsterStart=0\n";
    for (const char* spalte : {"aaaaa", "bbbbb", "ccccc", "ddddd", "eeeee"})
        sektionen += QByteArray("\n[") + spalte + "Schreiber]\nAktiv=1\nFensterID=9\nSpalte=" + spalte + "\n";
    writeFile(ini, sektionen);
    // The recorder's own plain box, not the start-up's box of sections.
    QList<TMsgDlgType> arten;
    SetMessageHook([&](const MessageRequest& r) {
        boxen.append(r.Text);
        arten.append(r.Type);
        return IDOK;
    });
    auto h = starte();
    ASSERT_FALSE(h->StartAbgebrochen());
    EXPECT_EQ(namen(*h), (QStringList{QStringLiteral("aaaaaSchreiber"), QStringLiteral("bbbbbSchreiber"),
                                      QStringLiteral("cccccSchreiber"), QStringLiteral("dddddSchreiber")}));
    EXPECT_EQ(boxen, QStringList{QStringLiteral("Maximale Anzahl von Schreibern erreicht!")});
    EXPECT_EQ(arten, QList<TMsgDlgType>{mtCustom});
    h->FormClose();
    h.reset();
    const QString text = iniText();
    EXPECT_TRUE(text.contains(QStringLiteral("[dddddSchreiber]\nAktiv=1\nFensterID=9\nSpalte=ddddd\nBeschriftung=")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("[eeeeeSchreiber]\nAktiv=1\nFensterID=9\nSpalte=eeeee\n")))
        << text.toStdString();
}

// Sections edited by hand, one window named by many: one box before the
// start, naming the first of them, every one in the log, and the start goes on.
TEST_F(HauptFensterTest, SectionsThatCantBeMadeAreOneBoxAtStartAndAllInTheLog)
{
    QByteArray sektionen = "[Global]\nErsterStart=0\n";
    for (int i = 1; i <= 25; ++i)
        sektionen += QStringLiteral("\n[s%1]\nAktiv=1\nFensterID=1\nSpalte=t2m  [\u00B0C  ]\n").arg(i, 2, 10, QChar(u'0')).toUtf8();
    sektionen += "\n[SystemzeitFenster]\nAktiv=1\nFensterID=-2\n";
    writeFile(ini, sektionen);
    auto h = starte();
    EXPECT_EQ(namen(*h), (QStringList{QStringLiteral("t2m__Standardanzeige"), QStringLiteral("SystemzeitFenster")}));
    EXPECT_TRUE(h->DatenLoader->Aktiv());
    const QString grund = QStringLiteral("Komponente mit der Bezeichnung t2m__Standardanzeige existiert bereits");
    ASSERT_EQ(boxen.size(), 1);
    QStringList box = boxen.first().split(u'\n');
    ASSERT_EQ(box.size(), 12);
    EXPECT_EQ(box.first(), QStringLiteral("24 Fenster konnte(n) nicht erzeugt werden:"));
    EXPECT_EQ(box.at(1), QStringLiteral("[s02] ") + grund);
    EXPECT_EQ(box.at(10), QStringLiteral("[s11] ") + grund);
    EXPECT_EQ(box.last(), QStringLiteral("... und 14 weitere, siehe ") + log);
    const QStringList zeilen = QString::fromUtf8(readFile(log)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(zeilen.size(), 24);
    EXPECT_TRUE(zeilen.first().endsWith(QStringLiteral(" - Fenster [s02] kann nicht erzeugt werden: ") + grund));
    EXPECT_TRUE(zeilen.last().endsWith(QStringLiteral(" - Fenster [s25] kann nicht erzeugt werden: ") + grund));

    // Exactly as many as the box names: no line for the rest.
    h.reset();
    boxen.clear();
    sektionen = "[Global]\nErsterStart=0\n";
    for (int i = 1; i <= 11; ++i)
        sektionen += QStringLiteral("\n[s%1]\nAktiv=1\nFensterID=1\nSpalte=t2m  [\u00B0C  ]\n").arg(i, 2, 10, QChar(u'0')).toUtf8();
    writeFile(ini, sektionen);
    h = starte();
    ASSERT_EQ(boxen.size(), 1);
    box = boxen.first().split(u'\n');
    ASSERT_EQ(box.size(), 11) << boxen.first().toStdString();
    EXPECT_EQ(box.first(), QStringLiteral("10 Fenster konnte(n) nicht erzeugt werden:"));
    EXPECT_EQ(box.last(), QStringLiteral("[s11] ") + grund);
}

TEST_F(HauptFensterTest, TheFirstStartWritesEveryDefaultWindowsSectionAtOnce)
{
    writeFile(dir.path(QStringLiteral("AutoSave.sav.Ab12Cd")), "halb");
    writeFile(dir.path(QStringLiteral("vantorel.ini.x9Y8z7")), "halb");
    auto h = starte();
    // Stale temporaries of our files are gone.
    EXPECT_FALSE(QFileInfo::exists(dir.path(QStringLiteral("AutoSave.sav.Ab12Cd"))));
    EXPECT_FALSE(QFileInfo::exists(dir.path(QStringLiteral("vantorel.ini.x9Y8z7"))));
    // Without a close, as after a kill.
    const TIniFile datei(ini);
    for (TGrundFenster* f : h->Anzeigefenster())
        EXPECT_TRUE(datei.ReadBool(f->Name(), QStringLiteral("Aktiv"), false)) << f->Name().toStdString();
    EXPECT_EQ(h->Anzeigefenster().size(), 6);
}


// A configuration nobody lets this program write (a folder stands in its
// place, which root can't write either): the start goes on to the end, the
// failure is in the log, and said in one box once the start is done.
TEST_F(HauptFensterTest, AConfigurationThatCantBeWrittenAtTheFirstStartIsOneBoxAfterTheStart)
{
    ASSERT_TRUE(QDir().mkdir(ini));
    auto h = starte();
    ASSERT_FALSE(h->StartAbgebrochen());
    EXPECT_TRUE(boxen.isEmpty()) << boxen.join(u'|').toStdString();
    EXPECT_EQ(h->Anzeigefenster().size(), 6);
    EXPECT_TRUE(h->DatenLoader->Aktiv());
    const QString text = QStringLiteral("In ") + ini + QStringLiteral(" kann nicht geschrieben werden");
    const QStringList zeilen = QString::fromUtf8(readFile(log)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(zeilen.size(), 1);
    EXPECT_TRUE(zeilen.first().endsWith(QStringLiteral(" - ") + text)) << zeilen.first().toStdString();
    ASSERT_TRUE(pumpUntil([&] { return !boxen.isEmpty(); }));
    EXPECT_EQ(boxen, QStringList{text});
    // What the start queued has run once a call queued after it has.
    const auto bisHierGelaufen = [] {
        QObject marke;
        bool gelaufen = false;
        QTimer::singleShot(0, &marke, [&gelaufen] { gelaufen = true; });
        return pumpUntil([&gelaufen] { return gelaufen; });
    };
    ASSERT_TRUE(bisHierGelaufen());
    EXPECT_EQ(boxen.size(), 1);

    // Closed by a signal before the loop ran: the close reports the failure
    // without a box, and none comes after it.
    boxen.clear();
    auto zu = starte();
    ASSERT_FALSE(zu->StartAbgebrochen());
    zu->SchliesseOhneDialog();
    EXPECT_TRUE(zu->SchreibFehler());
    ASSERT_TRUE(bisHierGelaufen());
    EXPECT_TRUE(boxen.isEmpty()) << boxen.join(u'|').toStdString();
}
