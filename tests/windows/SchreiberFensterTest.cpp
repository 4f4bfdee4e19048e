#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "SchreiberFensterUnit.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <cmath>
#include <limits>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]");
const QString kT2m = QStringLiteral("t2m  [°C  ]");

} // namespace

TEST_F(FensterTest, RecorderChartsItsSpanInRangeColoursAndWritesItsSection)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    writeFile(ini, "[t2m__Schreiber]\nAnzahlBereiche=1\nBereich0Von=0\nBereich0Bis=10\nBereich0Farbe=32768\n"
                   "Bereich1Von=20\nBereich1Bis=30\nBereich1Farbe=255\nVerlaufInterval=0,5\n");
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, stundenWerte());
    loader->HalteDauer = 3;
    auto* f = Erzeuge<TSchreiberFenster>(owner, loader.get(), QStringLiteral("Temperatur"), QStringLiteral("°C"),
                                         kT2m, ini, 1);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Name(), QStringLiteral("t2m__Schreiber"));
    // The chart covers the whole window.
    EXPECT_EQ(f->SchreiberChart->geometry(), f->rect());
    EXPECT_EQ(f->VerlaufInterval, 0.5);
    EXPECT_EQ(f->SchreiberChart->Title().Text(), QStringList{QStringLiteral("Temperatur (°C)")});
    const TChartAxis& links = f->SchreiberChart->LeftAxis();
    EXPECT_FALSE(links.Automatic());
    EXPECT_EQ(links.Minimum(), 0);
    EXPECT_EQ(links.Maximum(), 30);
    EXPECT_TRUE(f->SchreiberChart->BottomAxis().Automatic());
    // Empty until the first notification.
    EXPECT_EQ(f->Series1->Count(), 0);

    // The 12 hours up to the newest record: 14:00 to 02:00, the 15s left out.
    loader->TimerTimer();
    const TLineSeries& s = *f->Series1;
    ASSERT_EQ(s.Count(), 9);
    EXPECT_NEAR(s.Points().front().X, dezember(8, 14), 1e-9);
    EXPECT_NEAR(s.Points().back().X, dezember(9, 2), 1e-9);
    for (int i = 0; i < s.Count(); ++i)
        EXPECT_EQ(s.ValueColor(i), s.Points()[static_cast<size_t>(i)].Y == 5 ? clGreen : clRed) << i;

    // The look reaches the chart; the value colour with ranges too.
    EXPECT_EQ(links.LabelsFont().Color, clBlack);
    f->SetSchriftFarbeWerte(clBlue);
    f->SetSchriftFarbeBesch(clMaroon);
    f->SetSchrift(QStringLiteral("Arial"));
    f->SetColor(clYellow);
    f->SetEinheit(QString());
    for (const TChartAxis* a : std::initializer_list<const TChartAxis*>{&links, &f->SchreiberChart->BottomAxis()}) {
        EXPECT_EQ(a->LabelsFont().Color, clBlue);
        EXPECT_EQ(a->AxisColor(), clBlue);
        EXPECT_EQ(a->LabelsFont().Name, QStringLiteral("Arial"));
    }
    EXPECT_EQ(f->SchreiberChart->Title().Font().Color, clMaroon);
    EXPECT_EQ(f->SchreiberChart->Title().Font().Name, QStringLiteral("Arial"));
    EXPECT_EQ(f->SchreiberChart->Color(), clYellow);
    EXPECT_EQ(f->SchreiberChart->Title().Text(), QStringList{QStringLiteral("Temperatur ()")});

    // The chart takes the presses for dragging and opens the menu.
    EXPECT_FALSE(f->MoveShape->isVisible());
    f->SchreiberChart->OnMouseDown(Qt::LeftButton, 17, 23);
    EXPECT_EQ(f->MausX, 17);
    EXPECT_EQ(f->MausY, 23);
    EXPECT_EQ(f->SchreiberChart->PopupMenu, f->PopupMenu1);

    abbauen(f);
    const TIniFile gelesen(ini);
    QStringList schluessel;
    gelesen.ReadSection(QStringLiteral("t2m__Schreiber"), schluessel);
    // The keys the old section had keep their places; new ones follow in
    // the family's order.
    EXPECT_EQ(schluessel,
              (QStringList{"AnzahlBereiche", "Bereich0Von", "Bereich0Bis", "Bereich0Farbe", "Bereich1Von",
                           "Bereich1Bis", "Bereich1Farbe", "VerlaufInterval", "FensterID", "Beschriftung", "Spalte",
                           "Einheit", "PositionX", "PositionY", "Aktiv", "Schrift", "SchriftFarbeWerte",
                           "SchriftFarbeBesch", "FensterFarbe", "LHFarbe"}));
    EXPECT_EQ(gelesen.ReadInteger(QStringLiteral("t2m__Schreiber"), QStringLiteral("FensterID"), 0), 9);
    EXPECT_EQ(gelesen.ReadFloat(QStringLiteral("t2m__Schreiber"), QStringLiteral("VerlaufInterval"), 0), 0.5);
    EXPECT_EQ(gelesen.ReadInteger(QStringLiteral("t2m__Schreiber"), QStringLiteral("SchriftFarbeWerte"), 0), clBlue);
}

TEST_F(FensterTest, RecorderAxisFollowsTheRangesAfterItsOptionsAndItsSpanIsClamped)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, stundenWerte());
    loader->HalteDauer = 3;
    auto* f = Erzeuge<TSchreiberFenster>(owner, loader.get(), QStringLiteral("T"), QStringLiteral("°C"), kT2m, ini, 1);
    // Without a section: the loader's history span, an automatic axis, black labels.
    EXPECT_EQ(f->VerlaufInterval, 3);
    EXPECT_TRUE(f->SchreiberChart->LeftAxis().Automatic());
    EXPECT_EQ(f->SchriftFarbeWerte, clBlack);
    loader->TimerTimer();
    EXPECT_EQ(f->Series1->Count(), 27);
    EXPECT_EQ(f->Series1->ValueColor(0), clRed);

    // The dialog sets the span and the ranges; the axis follows at once, the
    // points at the next notification.
    std::function<void(TSpaltenFenster&)> dialog;
    owner.OeffneOptionen = [&](TGrundFenster& w) { dialog(dynamic_cast<TSpaltenFenster&>(w)); };
    dialog = [](TSpaltenFenster& w) {
        w.SetSpanne(0.25);
        w.Bereiche->Add(clGreen, 0, 10);
        w.Bereiche->Add(clRed, 20, 40);
    };
    f->Optionen1->trigger();
    EXPECT_FALSE(f->SchreiberChart->LeftAxis().Automatic());
    EXPECT_EQ(f->SchreiberChart->LeftAxis().Minimum(), 0);
    EXPECT_EQ(f->SchreiberChart->LeftAxis().Maximum(), 40);
    EXPECT_EQ(f->Series1->Count(), 27);
    loader->TimerTimer();
    EXPECT_EQ(f->Series1->Count(), 5);   // 20:00 to 02:00, the 15s left out

    // One range of a single value: an axis the control widens.
    dialog = [](TSpaltenFenster& w) {
        w.Bereiche->Clear();
        w.Bereiche->Add(clBlue, 5, 5);
    };
    f->Optionen1->trigger();
    EXPECT_EQ(f->SchreiberChart->LeftAxis().Minimum(), 5);
    EXPECT_EQ(f->SchreiberChart->LeftAxis().Maximum(), 5);
    const TAxisRange r = f->SchreiberChart->Model().LeftRange();
    EXPECT_LT(r.Min, 5);
    EXPECT_GT(r.Max, 5);
    f->grab();

    dialog = [](TSpaltenFenster& w) { w.Bereiche->Clear(); };
    f->Optionen1->trigger();
    EXPECT_TRUE(f->SchreiberChart->LeftAxis().Automatic());

    // Spans beyond the seconds count are held at its end; every record shows.
    EXPECT_EQ(SpanneInSekunden(0.5), 43200);
    EXPECT_EQ(SpanneInSekunden(2.5 / 86400), 2);
    EXPECT_EQ(SpanneInSekunden(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(SpanneInSekunden(-1e12), std::numeric_limits<int>::min());
    EXPECT_EQ(SpanneInSekunden(std::numeric_limits<double>::infinity()), std::numeric_limits<int>::max());
    EXPECT_EQ(SpanneInSekunden(std::nan("")), 0);
    f->SetVerlaufInterval(30000);
    loader->TimerTimer();
    EXPECT_EQ(f->Series1->Count(), 27);
    f->SetVerlaufInterval(-1);
    loader->TimerTimer();
    EXPECT_EQ(f->Series1->Count(), 0);
    abbauen(f);
    EXPECT_TRUE(meldungen.isEmpty()) << meldungen.join(u'|').toStdString();
}

TEST_F(FensterTest, AtMostFourRecordersAndAFifthLeavesNoTrace)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    const QString kopf = QStringLiteral("Datum\tUhrzeit\taaaaa\tbbbbb\tccccc\tddddd\teeeee");
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kopf,
                            {QStringLiteral("08.12.2026\t10:00:00\t1\t2\t3\t4\t5")});
    QList<QPointer<TSchreiberFenster>> vier;
    for (const char* spalte : {"aaaaa", "bbbbb", "ccccc", "ddddd"})
        vier << Erzeuge<TSchreiberFenster>(owner, loader.get(), QString(), QString(), QString::fromLatin1(spalte), ini, 1);
    for (const auto& f : vier)
        ASSERT_FALSE(f.isNull());
    EXPECT_TRUE(meldungen.isEmpty());

    EXPECT_EQ(Erzeuge<TSchreiberFenster>(owner, loader.get(), QString(), QString(), QStringLiteral("eeeee"), ini, 1),
              nullptr);
    EXPECT_EQ(meldungen, QStringList{QStringLiteral("Maximale Anzahl von Schreibern erreicht!")});
    EXPECT_EQ(loader->Clients().size(), 4u);
    EXPECT_EQ(owner.komponenten.ComponentCount(), 4);

    // A deactivated recorder frees its place.
    vier.first()->Deaktivieren1->trigger();
    auto* fuenfter = Erzeuge<TSchreiberFenster>(owner, loader.get(), QString(), QString(), QStringLiteral("eeeee"),
                                                ini, 1);
    ASSERT_NE(fuenfter, nullptr);
    EXPECT_EQ(meldungen.size(), 1);
    abbauen(fuenfter);
    for (const auto& f : vier)
        if (f)
            abbauen(f);

    // The refused one wrote nothing; the deactivated one is off.
    const QString text = QString::fromUtf8(readFile(ini));
    EXPECT_EQ(text.count(QStringLiteral("FensterID=9")), 5);
    EXPECT_FALSE(TIniFile(ini).ReadBool(QStringLiteral("aaaaaSchreiber"), QStringLiteral("Aktiv"), true));
    EXPECT_TRUE(TIniFile(ini).ReadBool(QStringLiteral("eeeeeSchreiber"), QStringLiteral("Aktiv"), false));
}
