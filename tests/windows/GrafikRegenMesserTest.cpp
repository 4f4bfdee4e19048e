#include "FensterTestSupport.h"
#include "GrafikRegenMesserUnit.h"
#include "IniFiles.h"
#include "RegenMesserFensterUnit.h"

#include <QAction>
#include <QMenu>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\trr   [mm  ]\tr2   [mm  ]");
const QString kRr = QStringLiteral("rr   [mm  ]");
const QString kR2 = QStringLiteral("r2   [mm  ]");

// One record an hour from 10:30 to 13:30: the end of the rain periods is
// 14:00. 24 hours give 25,5; one hour in hourly periods 3,5 (13:30 and
// 12:30); one hour in 10-minute periods 3,0 (12:30 lies before them).
QStringList vierSchauer(double erster = 10.0)
{
    return {QStringLiteral("08.12.2026\t10:30:00\t%1\t1").arg(erster), QStringLiteral("08.12.2026\t11:30:00\t12\t1"),
            QStringLiteral("08.12.2026\t12:30:00\t0.5\t1"), QStringLiteral("08.12.2026\t13:30:00\t3\t1")};
}

TColor px(const TRegenMesser& m, int x, int y)
{
    return QColorToColor(QColor(m.Bild().Image().pixel(x, y)));
}

QStringList texte(const QList<QAction*>& punkte)
{
    QStringList r;
    for (QAction* a : punkte)
        r << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return r;
}

QStringList abgehakt(const QList<QAction*>& punkte)
{
    QStringList r;
    for (QAction* a : punkte)
        if (a->isChecked())
            r << a->text();
    return r;
}

class GrafikRegenTest : public FensterTest {
protected:
    void SetUp() override
    {
        FensterTest::SetUp();
        ini = dir.path(QStringLiteral("v.ini"));
        loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, vierSchauer());
    }
    TGrafikRegenMesserFenster* bild(const QString& spalte = kRr)
    {
        return Erzeuge<TGrafikRegenMesserFenster>(owner, loader.get(), QStringLiteral("Regen"), QStringLiteral("mm"),
                                                  spalte, ini, 1);
    }
    TRegenMesserFenster* regen()
    {
        return Erzeuge<TRegenMesserFenster>(owner, loader.get(), QStringLiteral("Regen"), QStringLiteral("mm"), kRr,
                                            ini, 1);
    }

    QString ini;
    std::unique_ptr<TDatenLoader> loader;
};

} // namespace

TEST_F(GrafikRegenTest, ShowsTheTotalAsNumberAndWaterInTheValueColourAndRanges)
{
    auto* f = bild();
    EXPECT_EQ(f->Name(), QStringLiteral("rr___Regenmessergrafik"));
    EXPECT_EQ(f->FensterID(), 11);
    for (QWidget* teil : std::initializer_list<QWidget*>{f->AktuellerWertMesser, f->AktuellerWertLabel, f->EinheitLabel})
        EXPECT_TRUE(f->rect().contains(teil->geometry())) << "inside the window";
    EXPECT_EQ(texte(f->PopupMenu1->actions()),
              (QStringList{"Optionen...", "-", "Deaktivieren", "Skala in mm"}));
    EXPECT_EQ(texte(f->SkalaPunkte), (QStringList{"10", "15", "20", "25", "30"}));
    EXPECT_EQ(abgehakt(f->SkalaPunkte), QStringList{"30"});

    // Filled at once, in red; the scale of 30 holds 25,5 (row 92).
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("25,5"));
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clRed);
    const TRegenMesser& m = *f->AktuellerWertMesser;
    EXPECT_EQ(m.Position(), 25.5);
    EXPECT_EQ(m.Skala(), (TRegenSkala{0, 30}));
    EXPECT_EQ(px(m, 75, 150), clRed);
    EXPECT_EQ(px(m, 75, 80), clWhite);
    EXPECT_EQ(px(m, 2, 2), ColorToRGB(f->Color()));

    // The look reaches the gauge: colour round the glass, scale, water.
    f->SetColor(clYellow);
    f->SetSchriftFarbeBesch(clGreen);
    f->SetSchriftFarbeWerte(clBlue);
    EXPECT_EQ(px(m, 2, 2), clYellow);
    EXPECT_EQ(px(m, 35, 100), clGreen);
    EXPECT_EQ(f->EinheitLabel->FontColor(), clGreen);
    EXPECT_EQ(px(m, 75, 150), clBlue);
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clBlue);

    // A long caption wraps onto the second line at its size; one too long
    // for two lines gets smaller until all of it shows.
    const int groesse = f->BeschriftungLabel->ShownPixelSize();
    f->SetBeschriftung(QStringLiteral("Niederschlag der letzten 24 Stunden"));
    EXPECT_EQ(f->BeschriftungLabel->ShownPixelSize(), groesse);
    EXPECT_GT(textBox(*f->BeschriftungLabel).height(), groesse + 2);
    f->SetBeschriftung(QStringLiteral("Niederschlag der letzten 24 Stunden an der Station im Garten"));
    EXPECT_LT(f->BeschriftungLabel->ShownPixelSize(), groesse);
    const QRect box = textBox(*f->BeschriftungLabel);
    EXPECT_TRUE(QRect(0, 0, 115, 26).contains(box)) << box.bottom() << " " << box.right();

    // With ranges the range colour governs label and water; a total no
    // range holds leaves both as they were.
    f->Bereiche->Add(clLime, 0, 5);
    f->SetVerlaufIntervalRegen(1);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("3,5"));
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clLime);
    EXPECT_EQ(m.Farbe(), clLime);
    EXPECT_EQ(m.Position(), 3.5);
    f->SetVerlaufIntervalRegen(24);
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("3,5"));
    EXPECT_EQ(m.Position(), 3.5);
    // The value colour still applies, ranges or not.
    f->SetSchriftFarbeWerte(clFuchsia);
    EXPECT_EQ(m.Farbe(), clFuchsia);
    EXPECT_EQ(f->AktuellerWertLabel->FontColor(), clFuchsia);
    abbauen(f);

    // A total far too wide for the label is drawn smaller, never cut.
    writeFile(ini, "");
    QStringList wolkenbruch;
    for (int h = 0; h < 24; ++h)
        wolkenbruch << QStringLiteral("08.12.2026\t%1:30:00\t1499.9\t0").arg(h);
    loader = loaderMit(dir.path(QStringLiteral("e.txt")), kKopf, wolkenbruch);
    f = bild();
    EXPECT_EQ(f->AktuellerWertLabel->Caption(), QStringLiteral("35997,6"));
    EXPECT_TRUE(textPasst(*f->AktuellerWertLabel, 2));
    EXPECT_EQ(px(*f->AktuellerWertMesser, 75, 150), clRed);
    abbauen(f);
}

TEST_F(GrafikRegenTest, SpanAndPeriodComeFromTheRainGaugeWindowsOpenOrLater)
{
    writeFile(ini, "[Global]\nVerlaufIntervalRegen=24\nMittelwertzeit=60\n");
    auto* r = regen();
    r->SetMittelwertzeit(30);   // not written yet
    auto* b1 = bild();
    auto* b2 = bild(kR2);
    for (auto* b : {b1, b2}) {
        EXPECT_EQ(b->Mittelwertzeit, 30);
        EXPECT_EQ(b->VerlaufIntervalRegen, 24);
    }

    // The rain-gauge window's setters reach every picture, of any column,
    // and each shows its new total at once.
    r->SetVerlaufIntervalRegen(1);
    r->PeriodenPunkte.at(0)->trigger();   // "10"
    for (auto* b : {b1, b2}) {
        EXPECT_EQ(b->VerlaufIntervalRegen, 1);
        EXPECT_EQ(b->Mittelwertzeit, 10);
    }
    EXPECT_EQ(b1->AktuellerWertLabel->Caption(), QStringLiteral("3,0"));
    r->PeriodenPunkte.at(3)->trigger();   // "60"
    EXPECT_EQ(b1->AktuellerWertLabel->Caption(), QStringLiteral("3,5"));
    EXPECT_EQ(b2->AktuellerWertLabel->Caption(), QStringLiteral("2,0"));

    // What leaves no countable periods is not passed on, nor taken.
    r->SetMittelwertzeit(0);
    r->SetVerlaufIntervalRegen(-1);
    r->SetVerlaufIntervalRegen(70000);
    b1->SetMittelwertzeit(-10);
    b1->SetVerlaufIntervalRegen(2000);
    b1->SetMittelwertzeit(1);   // 120000 periods
    EXPECT_EQ(b1->VerlaufIntervalRegen, 2000);
    EXPECT_EQ(b1->Mittelwertzeit, 60);
    EXPECT_EQ(b2->VerlaufIntervalRegen, 1);
    EXPECT_EQ(b2->Mittelwertzeit, 60);

    // The picture never writes the shared keys.
    abbauen(b1);
    abbauen(b2);
    TIniFile datei(ini);
    EXPECT_EQ(datei.ReadInteger(QStringLiteral("Global"), QStringLiteral("VerlaufIntervalRegen"), -1), 24);
    EXPECT_EQ(datei.ReadInteger(QStringLiteral("Global"), QStringLiteral("Mittelwertzeit"), -1), 60);
    EXPECT_FALSE(datei.ValueExists(QStringLiteral("rr___Regenmessergrafik"), QStringLiteral("Mittelwertzeit")));
    abbauen(r);
}

TEST_F(GrafikRegenTest, WithoutARainGaugeWindowTheFileOrTheDefaultsHold)
{
    writeFile(ini, "[Global]\nVerlaufIntervalRegen=1\nMittelwertzeit=10\n");
    auto* b = bild();
    EXPECT_EQ(b->VerlaufIntervalRegen, 1);
    EXPECT_EQ(b->Mittelwertzeit, 10);
    EXPECT_EQ(b->AktuellerWertLabel->Caption(), QStringLiteral("3,0"));
    abbauen(b);

    for (const char* global : {"", "VerlaufIntervalRegen=-5\nMittelwertzeit=0\n", "Mittelwertzeit=1\n"
                                                                                   "VerlaufIntervalRegen=99999\n"}) {
        writeFile(ini, QByteArray("[Global]\n") + global);
        b = bild();
        EXPECT_EQ(b->VerlaufIntervalRegen, 24) << global;
        EXPECT_EQ(b->Mittelwertzeit, global[0] == 'M' ? 1 : 60) << global;
        EXPECT_EQ(b->AktuellerWertLabel->Caption(), QStringLiteral("25,5")) << global;
        abbauen(b);
    }
}

TEST_F(GrafikRegenTest, ScaleFromTheFileAndTheMenu)
{
    // 12 mm: no item checked; the total 25,5 lifts the scale to 15..27.
    writeFile(ini, "[rr___Regenmessergrafik]\nSkala=12\n");
    auto* b = bild();
    EXPECT_EQ(b->Skala, 12);
    EXPECT_EQ(b->AktuellerWertMesser->SkalaInterval(), 12);
    EXPECT_EQ(b->AktuellerWertMesser->Skala(), (TRegenSkala{15, 27}));
    EXPECT_TRUE(abgehakt(b->SkalaPunkte).isEmpty());
    // "20": recentred on the total, Round(15,5) = 16, and checked alone.
    b->SkalaPunkte.at(2)->trigger();
    EXPECT_EQ(b->AktuellerWertMesser->Skala(), (TRegenSkala{16, 36}));
    EXPECT_EQ(abgehakt(b->SkalaPunkte), QStringList{"20"});
    abbauen(b);
    EXPECT_EQ(TIniFile(ini).ReadString(QStringLiteral("rr___Regenmessergrafik"), QStringLiteral("Skala"), {}),
              QStringLiteral("20"));

    // 0 mm: a span of 1, written back as 1; the water still shows.
    writeFile(ini, "[rr___Regenmessergrafik]\nSkala=0\n");
    b = bild();
    EXPECT_EQ(b->AktuellerWertMesser->Skala(), (TRegenSkala{25, 26}));
    EXPECT_EQ(px(*b->AktuellerWertMesser, 75, 180), clRed);
    EXPECT_EQ(px(*b->AktuellerWertMesser, 75, 120), clWhite);
    abbauen(b);
    EXPECT_EQ(TIniFile(ini).ReadString(QStringLiteral("rr___Regenmessergrafik"), QStringLiteral("Skala"), {}),
              QStringLiteral("1"));

    // Hidden window menus: every item, the scale's included.
    writeFile(ini, "[Global]\nVersteckeFensterMenus=1\n");
    b = bild();
    for (QAction* a : b->PopupMenu1->actions())
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    abbauen(b);
}

TEST_F(GrafikRegenTest, SectionIsReadAndWrittenBackUnchangedInItsOwnOrder)
{
    const QByteArray text = "[Global]\nVerlaufIntervalRegen=5\nMittelwertzeit=20\n\n"
                            "[rr___Regenmessergrafik]\nAktiv=1\nFensterID=11\nPositionX=300\nPositionY=200\n"
                            "AnzahlBereiche=1\nBereich0Von=0\nBereich0Bis=2,5\nBereich0Farbe=65280\n"
                            "Bereich1Von=2,5\nBereich1Bis=100\nBereich1Farbe=255\n"
                            "Beschriftung=Regen heute\nSpalte=rr   [mm  ]\nEinheit=l/m2\nSchrift=Arial\nLHFarbe=8421504\n"
                            "SchriftFarbeWerte=16711680\nSchriftFarbeBesch=32768\nFensterFarbe=12632256\nSkala=15\n";
    writeFile(ini, text);
    auto* b = bild();
    EXPECT_EQ(b->pos(), QPoint(300, 200));
    EXPECT_EQ(b->Beschriftung, QStringLiteral("Regen heute"));
    EXPECT_EQ(b->EinheitLabel->Caption(), QStringLiteral("l/m2"));
    EXPECT_EQ(b->Schrift, QStringLiteral("Arial"));
    EXPECT_EQ(b->Bereiche->Count(), 2);
    EXPECT_EQ(b->VerlaufIntervalRegen, 5);
    EXPECT_EQ(b->Mittelwertzeit, 20);
    EXPECT_EQ(b->AktuellerWertMesser->SkalaInterval(), 15);
    EXPECT_EQ(b->AktuellerWertMesser->Color(), 12632256);
    abbauen(b);
    EXPECT_EQ(QString::fromUtf8(readFile(ini)), QString::fromUtf8(text));

    // A new section gets every key, in that order.
    writeFile(ini, "");
    b = bild();
    b->move(10, 20);
    abbauen(b);
    QStringList schluessel;
    TIniFile(ini).ReadSection(QStringLiteral("rr___Regenmessergrafik"), schluessel);
    EXPECT_EQ(schluessel, (QStringList{"Aktiv", "FensterID", "PositionX", "PositionY", "AnzahlBereiche", "Beschriftung",
                                       "Spalte", "Einheit", "Schrift", "LHFarbe", "SchriftFarbeWerte",
                                       "SchriftFarbeBesch", "FensterFarbe", "Skala"}));
    EXPECT_FALSE(TIniFile(ini).SectionExists(QStringLiteral("Global")));
}
