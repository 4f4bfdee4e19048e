// The main window's close, its saves and the hand-over to a new instance.
#include "HauptFensterTestSupport.h"

TEST_F(HauptFensterTest, KeysWrittenOnCloseAndBySaveConfiguration)
{
    writeFile(ini, "[Global]\nErsterStart=0\nInfo=0\nAutoSave=" + dir.path(QStringLiteral("a.sav")).toUtf8() + "\n");
    auto h = starte();
    EXPECT_FALSE(h->Info->isEnabled());
    h->SetInterval(500);
    EXPECT_EQ(h->DatenLoader->Interval(), 1000);
    h->SetHalteDauer(2.5);
    h->FensterFClick();
    h->TochterAnzeige = true;
    h->AutoSaveDatei = dir.path(QStringLiteral("b.sav"));

    h->KonfigurationspeichernClick();
    QString text = iniText();
    // Keys already there keep their place; new ones follow in writing order.
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Global]\nErsterStart=0\nInfo=0\nAutoSave=") + dir.path(QStringLiteral("b.sav"))
                                + QStringLiteral("\nHintergrund=\nInterval=500\nHalteDauer=2,5\nLogDatei=") + daten
                                + QStringLiteral("\nFensterFest=1\nTochterAnzeige=1\n")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Beenden=")));

    h->TochterAnzeige = false;
    h->AutoSaveDatei = dir.path(QStringLiteral("c.sav"));
    EXPECT_TRUE(h->FormClose());
    text = iniText();
    // Close writes the menu items but not the save file's settings.
    EXPECT_TRUE(text.contains(QStringLiteral("AutoSave=") + dir.path(QStringLiteral("b.sav"))));
    EXPECT_TRUE(text.contains(QStringLiteral("Fenster=1\nKonfigurationspeichern=1\nOptimierePositionen=1\nLogDateindern=1\n"
                                             "Programm1=1\nN1=1\nBeenden=1\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Info=0\n")));
    EXPECT_TRUE(QFileInfo::exists(dir.path(QStringLiteral("c.sav"))));
    EXPECT_FALSE(h->DatenLoader);
    h->Timer1Timer();   // no loader any more: nothing happens
}

TEST_F(HauptFensterTest, CloseThatComesInsideATickLetsTheTickFinish)
{
    // A signal or the session's end that arrives while a window's message
    // box is open inside the loader's tick closes the program right there.
    writeFile(ini, "[Global]\nErsterStart=0\n\n[SystemzeitFenster]\nAktiv=1\nFensterID=-2\n");
    auto h = starte();
    TDatenLoader* l = h->DatenLoader.get();
    TLoaderClient schliesst(l);
    schliesst.OnNeueDaten = [&](TDatenLoader*) { EXPECT_TRUE(h->FormClose()); };
    int danach = 0;
    TLoaderClient spaeter(l);
    spaeter.OnNeueDaten = [&](TDatenLoader* loader) {
        ++danach;
        EXPECT_EQ(loader->Spaltenanzahl(), 5);
    };
    l->TimerTimer();
    EXPECT_EQ(danach, 1);
    EXPECT_FALSE(h->DatenLoader);
    EXPECT_TRUE(QFileInfo::exists(dir.path(QStringLiteral("AutoSave.sav"))));
    h.reset();
    EXPECT_TRUE(iniText().contains(QStringLiteral("[SystemzeitFenster]\nAktiv=1\nFensterID=-2\nPositionX=")));
}

TEST_F(HauptFensterTest, LoaderMessagesAreWrittenWithoutRepeats)
{
    writeFile(ini, "[Global]\nErsterStart=0\n");
    auto h = starte();
    TDatenLoader& l = *h->DatenLoader;
    l.Meldungen = QStringList{QString(), QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")};
    h->LoaderMeldung(&l);
    const QStringList zeilen = QString::fromUtf8(readFile(log)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(zeilen.size(), 3);
    EXPECT_TRUE(zeilen.at(0).endsWith(QStringLiteral(" - a")));
    EXPECT_TRUE(zeilen.at(1).endsWith(QStringLiteral(" - b")));
    EXPECT_TRUE(zeilen.at(2).endsWith(QStringLiteral(" - a")));

    // A log that can't be written: no box, and the loader keeps polling.
    QFile::remove(log);
    QDir().mkdir(log);
    h->Protokoll = std::make_unique<TLogFile>(log, 1000, true);
    l.Meldungen = QStringList{QStringLiteral("x")};
    l.SetAktiv(true);
    l.TimerTimer();
    EXPECT_TRUE(boxen.isEmpty());
    EXPECT_TRUE(l.Aktiv());
    EXPECT_TRUE(l.Meldungen.isEmpty());
}

TEST_F(HauptFensterTest, SaveFileNeverOverwritesTheProgramsOwnFiles)
{
    writeFile(ini, "[Global]\nErsterStart=0\n");
    auto h = starte();
    h->DatenLoader->TimerTimer();
    const QByteArray vorher = readFile(daten);
    for (const QString& ziel : {daten, ini, log}) {
        h->AutoSaveDatei = ziel;
        h->DatenLoader->Meldungen.clear();
        const QByteArray alt = readFile(ziel);
        h->Timer1Timer();
        EXPECT_EQ(readFile(ziel), alt);
        EXPECT_EQ(h->DatenLoader->Meldungen, QStringList{ziel + QStringLiteral(" kann nicht erzeugt werden!")});
    }
    EXPECT_EQ(readFile(daten), vorher);
}

TEST_F(HauptFensterTest, DataFileChangeHandsOverAndWritesNothingAfterwards)
{
    writeFile(ini, "[Global]\nErsterStart=0\n\n[SystemzeitFenster]\nAktiv=1\nFensterID=-2\n");
    const QString neu = dir.path(QStringLiteral("neu.txt"));
    writeFile(neu, kKopf + zeile(1, 2));
    QStringList gestartet;
    THauptFenster::NeuerProzess() = [&](const QString& p, const QStringList& a) {
        gestartet << p << a;
        return true;
    };
    TInstanzErgebnis ergebnis = TInstanzErgebnis::Fehler;
    auto guard = TInstanzGuard::Erwerbe(QStringLiteral("VANTOREL"), &ergebnis, dir.path());
    ASSERT_TRUE(guard);
    auto h = starte();
    h->InstanzMutex = guard.get();
    h->DatenLoader->TimerTimer();

    // Cancelled, or a folder chosen: only the box.
    h->LogDateindernClick();
    auswahl = dir.path();
    h->LogDateindernClick();
    EXPECT_EQ(boxen, QStringList(2, QStringLiteral("Log-Datei existiert nicht!")));
    EXPECT_TRUE(gestartet.isEmpty());

    // A configuration that can't be written: nothing is handed over, and
    // this instance runs on, polling, as it did.
    auswahl = neu;
    boxen.clear();
    ASSERT_TRUE(QFile::rename(ini, ini + QStringLiteral(".weg")));
    ASSERT_TRUE(QDir().mkdir(ini));
    h->LogDateindern->trigger();
    EXPECT_EQ(boxen, QStringList{QStringLiteral("In ") + ini + QStringLiteral(" kann nicht geschrieben werden")});
    EXPECT_TRUE(gestartet.isEmpty());
    EXPECT_TRUE(guard->Offen());
    EXPECT_TRUE(h->DatenLoader->Aktiv());
    EXPECT_FALSE(h->isMinimized());
    ASSERT_TRUE(QDir().rmdir(ini));
    ASSERT_TRUE(QFile::rename(ini + QStringLiteral(".weg"), ini));

    h->LogDateindernClick();
    EXPECT_EQ(gestartet, (QStringList{programm, neu}));
    EXPECT_FALSE(guard->Offen());
    const QByteArray iniNachUebergabe = readFile(ini);
    const QByteArray savNachUebergabe = readFile(dir.path(QStringLiteral("AutoSave.sav")));
    EXPECT_TRUE(QString::fromUtf8(iniNachUebergabe).contains(QStringLiteral("LogDatei=") + daten));
    EXPECT_FALSE(savNachUebergabe.isEmpty());
    h.reset();
    EXPECT_EQ(readFile(ini), iniNachUebergabe);
    EXPECT_EQ(readFile(dir.path(QStringLiteral("AutoSave.sav"))), savNachUebergabe);

    // Closed while the chooser was open: no new instance, and the data file
    // in use stays the one remembered.
    gestartet.clear();
    auto h2 = starte();
    SetOpenFileHook([&](const QString&, const QString&, const QString&, QString& name) {
        EXPECT_TRUE(h2->FormClose());
        name = neu;
        return true;
    });
    h2->LogDateindernClick();
    EXPECT_TRUE(gestartet.isEmpty());
    EXPECT_TRUE(iniText().contains(QStringLiteral("LogDatei=") + daten));
}

TEST_F(HauptFensterTest, ASaveFileTheStartUpSkippedIsMergedBeforeItIsReplaced)
{
    // A day in the save file; the data file's last line can't be read, so
    // the start-up leaves the save file alone.
    const QString sav = dir.path(QStringLiteral("AutoSave.sav"));
    QByteArray tag = kKopf;
    for (int m = 0; m < 30; ++m)
        tag += zeile(m, m).replace('.', ',').replace("08,12,2026", "08.12.2026");
    writeFile(sav, tag);
    writeFile(daten, kKopf + zeile(30, 30) + "08.12.2026\t10:31:00\tkaputt\t80\t1013.5\n");
    writeFile(ini, "[Global]\nErsterStart=0\n");
    auto h = starte();
    ASSERT_FALSE(h->DatenLoader->Meldungen.isEmpty());
    EXPECT_EQ(h->FensterMenu->actions().size(), 0);
    writeFile(daten, kKopf + zeile(30, 30) + zeile(31, 31));
    h->DatenLoader->TimerTimer();
    EXPECT_TRUE(h->FormClose());
    const QStringList zeilen = QString::fromUtf8(readFile(sav)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(zeilen.size(), 1 + 31);
    EXPECT_TRUE(zeilen.at(1).startsWith(QStringLiteral("08.12.2026\t10:00:00\t0\t")));
    EXPECT_TRUE(zeilen.at(31).startsWith(QStringLiteral("08.12.2026\t10:31:00\t31\t")));

    // A save file of another layout that this run never merged stays.
    writeFile(sav, "anders\n1\n");
    writeFile(daten, kKopf + "08.12.2026\t10:32:00\tkaputt\t80\t1013.5\n");
    auto zweiter = starte();
    writeFile(daten, kKopf + zeile(33, 33));
    zweiter->DatenLoader->TimerTimer();
    zweiter->Timer1Timer();
    EXPECT_EQ(readFile(sav), QByteArray("anders\n1\n"));
}

// "Beenden" (and Alt+F4, its shortcut) or the window's own close with a
// configuration that can't be written: the message in a stop box, then the
// close goes on, so the day's history is not lost with a kill.
TEST_F(HauptFensterTest, AnUnwritableConfigurationNeverKeepsTheProgramFromEnding)
{
    const QString fehler = QStringLiteral("In ") + ini + QStringLiteral(" kann nicht geschrieben werden");
    QList<MessageRequest> anfragen;
    THauptFenster* signalBeiOffenerBox = nullptr;
    SetMessageHook([&](const MessageRequest& r) {
        anfragen << r;
        if (signalBeiOffenerBox)
            signalBeiOffenerBox->SchliesseOhneDialog();
        return IDOK;
    });
    // By the menu, by the window's own close, by the menu with a signal
    // while the box is open (the close is then done once).
    for (const int art : {0, 1, 2}) {
        QDir().rmdir(ini);
        writeFile(ini, "[Global]\nErsterStart=0\n");
        QFile::remove(dir.path(QStringLiteral("AutoSave.sav")));
        anfragen.clear();
        auto h = starte();
        int beendet = 0;
        h->OnBeendet = [&] { ++beendet; };
        h->DatenLoader->TimerTimer();
        QFile::remove(ini);
        QDir().mkdir(ini);
        const QString titel = ApplicationTitle();
        signalBeiOffenerBox = art == 2 ? h.get() : nullptr;
        if (art == 1)
            h->close();
        else
            h->Beenden->trigger();
        signalBeiOffenerBox = nullptr;
        ASSERT_EQ(anfragen.size(), 1) << art;
        EXPECT_EQ(anfragen.first().Text, fehler);
        EXPECT_EQ(anfragen.first().Type, mtError);
        EXPECT_GE(beendet, 1);
        EXPECT_EQ(ApplicationTitle(), titel + QStringLiteral(": Speichere Konfiguration"));
        EXPECT_TRUE(h->SchreibFehler());
        EXPECT_FALSE(h->DatenLoader);
        EXPECT_EQ(readFile(dir.path(QStringLiteral("AutoSave.sav"))), kKopf + "08.12.2026\t10:00:00\t1,5\t80\t1013,5\n");
        EXPECT_TRUE(QString::fromUtf8(readFile(log)).contains(QStringLiteral(" - ") + fehler));
    }
}

TEST_F(HauptFensterTest, ACloseWithoutDialogsSaysWhatFailedAndStillSavesTheHistory)
{
    writeFile(ini, "[Global]\nErsterStart=0\n");
    auto h = starte();
    int beendet = 0;
    h->OnBeendet = [&] { ++beendet; };
    h->DatenLoader->TimerTimer();
    // The configuration can't be written any more, and a change waits.
    QFile::remove(ini);
    QDir().mkdir(ini);
    h->SetInterval(3000);
    h->SchliesseOhneDialog();
    EXPECT_TRUE(boxen.isEmpty());
    EXPECT_EQ(beendet, 1);
    EXPECT_TRUE(h->SchreibFehler());
    EXPECT_TRUE(readFile(dir.path(QStringLiteral("AutoSave.sav"))).startsWith(kKopf));
    h->SchliesseOhneDialog();   // a second signal: nothing more to do
    EXPECT_EQ(beendet, 2);

    // The history can't be written: said, also in the log, and a failure.
    QDir().rmdir(ini);
    writeFile(ini, "[Global]\nErsterStart=0\n");
    auto zweiter = starte();
    zweiter->AutoSaveDatei = dir.path(QStringLiteral("fehlt/AutoSave.sav"));
    zweiter->DatenLoader->TimerTimer();
    EXPECT_TRUE(zweiter->FormClose());
    EXPECT_TRUE(boxen.isEmpty());
    EXPECT_TRUE(zweiter->SchreibFehler());
    EXPECT_TRUE(QString::fromUtf8(readFile(log)).contains(zweiter->AutoSaveDatei + QStringLiteral(" kann nicht erzeugt werden!")));
}
