#include "Diagramm24h.h"
#include "DiagrammRM.h"
#include "DialogWache.h"
#include "FensterTestSupport.h"
#include "IniFiles.h"
#include "RegenMesserFensterUnit.h"
#include "TextFensterUnit.h"
#include "VerlaufWerte.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>

namespace {

const QString kKopf = QStringLiteral("Datum\tUhrzeit\tt2m  [°C  ]");
const QString kT2m = QStringLiteral("t2m  [°C  ]");

// The hourly values, then 5 at 02:30: the last day before the newest record
// begins at 8 December 02:30 and holds the 25 records from 03:00 on.
QStringList tagUndHalbeStunde()
{
    return stundenWerte() << verlaufZeilen(dezember(9, 2, 30), 0, {5});
}

TRanges gruenRot()
{
    TRanges r;
    r.Add(clGreen, 0, 10);
    r.Add(clRed, 20, 30);
    return r;
}

std::vector<double> ys(const TChartSeries& s)
{
    std::vector<double> r;
    for (const TChartPoint& p : s.Points())
        r.push_back(p.Y);
    return r;
}

// A chart whose layout is drawable: finite, ordered ranges and labels.
::testing::AssertionResult zeichenbar(TChart& chart)
{
    const TChartLayout l = chart.Layout();
    for (const TAxisRange& r : {l.LeftRange, l.BottomRange})
        if (!std::isfinite(r.Min) || !std::isfinite(r.Max) || !(r.Max > r.Min))
            return ::testing::AssertionFailure() << "range " << r.Min << ".." << r.Max;
    if (l.LeftTicks.Values.empty())
        return ::testing::AssertionFailure() << "no labels on the left axis";
    chart.grab();
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(FensterTest, DayChartShowsTheLastDayInRangeColoursOnAnAxisFixedToTheRanges)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, tagUndHalbeStunde());
    const TRanges bereiche = gruenRot();
    {
        TDiagrammFenster d(nullptr, loader.get(), QStringLiteral("Temperatur"), QStringLiteral("°C"), kT2m, ini,
                           &bereiche);
        // Centred on the screen of 1024 x 768.
        EXPECT_LE(std::abs(d.geometry().center().x() - 511), 1);
        EXPECT_LE(std::abs(d.geometry().center().y() - 383), 1);
        EXPECT_EQ(d.windowTitle(),
                  QStringLiteral("Diagramm mit Werten von 08.12.2026 00:00:00 bis 09.12.2026 02:30:00"));
        EXPECT_EQ(d.VerlaufDiagramm->Title().Text(),
                  (QStringList{QString(), QStringLiteral("Temperatur"), QStringLiteral("°C")}));
        EXPECT_TRUE(d.VerlaufDiagramm->Title().Font().Bold);
        const TChartAxis& links = d.VerlaufDiagramm->LeftAxis();
        EXPECT_FALSE(links.Automatic());
        EXPECT_EQ(links.Minimum(), 0);
        EXPECT_EQ(links.Maximum(), 30);
        EXPECT_EQ(links.Increment(), 1);
        EXPECT_TRUE(d.VerlaufDiagramm->BottomAxis().DateTime());
        EXPECT_EQ(d.VerlaufDiagramm->BottomAxis().DateTimeFormat(), QStringLiteral("hh:nn"));

        // From 03:00 on; every 15 lies in no range and is left out.
        const TLineSeries& s = *d.Series1;
        ASSERT_EQ(s.Count(), 17);
        EXPECT_NEAR(s.Points().front().X, dezember(8, 3), 1e-9);
        EXPECT_NEAR(s.Points().back().X, dezember(9, 2, 30), 1e-9);
        for (int i = 0; i < s.Count(); ++i) {
            const TChartPoint& p = s.Points()[static_cast<size_t>(i)];
            EXPECT_NE(p.Y, 15);
            EXPECT_EQ(s.ValueColor(i), p.Y == 5 ? clGreen : clRed) << i;
            if (i > 0) {
                EXPECT_LT(s.Points()[static_cast<size_t>(i) - 1].X, p.X);
            }
        }
        EXPECT_TRUE(zeichenbar(*d.VerlaufDiagramm));
    }
    // Closing writes the box alone; the ranges handed in stay as they were.
    EXPECT_EQ(QString::fromUtf8(readFile(ini)), QStringLiteral("[DiagrammFenster]\nAktualisieren=1\n"));
    EXPECT_EQ(bereiche.Count(), 2);

    // Without ranges: an automatic axis and every point in the series' red.
    TDiagrammFenster ohne(nullptr, loader.get(), QString(), QString(), kT2m, ini, nullptr);
    EXPECT_TRUE(ohne.VerlaufDiagramm->LeftAxis().Automatic());
    ASSERT_EQ(ohne.Series1->Count(), 25);
    for (int i = 0; i < ohne.Series1->Count(); ++i) {
        EXPECT_EQ(ohne.Series1->Points()[static_cast<size_t>(i)].Color, clTeeColor);
        EXPECT_EQ(ohne.Series1->ValueColor(i), clRed);
    }
    EXPECT_EQ(ohne.VerlaufDiagramm->Model().LeftRange().Min, 5);
    EXPECT_EQ(ohne.VerlaufDiagramm->Model().LeftRange().Max, 25);
}

TEST_F(FensterTest, DayChartFollowsNewDataWhileItsBoxIsCheckedAndEveryChartRemembersTheBox)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    const QString datei = dir.path(QStringLiteral("d.txt"));
    auto loader = loaderMit(datei, kKopf, tagUndHalbeStunde());
    const TRanges bereiche = gruenRot();
    {
        TDiagrammFenster d(nullptr, loader.get(), QStringLiteral("T"), QStringLiteral("°C"), kT2m, ini, &bereiche);
        EXPECT_TRUE(d.AktualisierenCheckBox->isChecked());
        EXPECT_EQ(d.AktualisierenCheckBox->text(), QStringLiteral("Aktualisieren"));
        ASSERT_EQ(loader->Clients().size(), 1u);

        // The first refresh shows the whole history, not only the last day;
        // the axis stays on the ranges.
        loader->HalteDauer = 2;
        loader->NeuerDatensatz(verlaufZeilen(dezember(9, 3), 0, {25}).first());
        loader->TimerTimer();
        EXPECT_EQ(d.windowTitle(),
                  QStringLiteral("Diagramm mit Werten von 08.12.2026 00:00:00 bis 09.12.2026 03:00:00"));
        EXPECT_EQ(d.Series1->Count(), 18 + 1 + 1);
        EXPECT_NEAR(d.Series1->Points().front().X, dezember(8, 0), 1e-9);
        EXPECT_EQ(d.VerlaufDiagramm->LeftAxis().Maximum(), 30);

        d.AktualisierenCheckBox->setChecked(false);
        loader->NeuerDatensatz(verlaufZeilen(dezember(9, 4), 0, {5}).first());
        loader->TimerTimer();
        EXPECT_EQ(d.Series1->Count(), 20);

        // "Schliessen" leaves the loader.
        d.show();
        d.Button1->click();
        EXPECT_TRUE(loader->Clients().empty());
    }
    EXPECT_FALSE(TIniFile(ini).ReadBool(QStringLiteral("DiagrammFenster"), QStringLiteral("Aktualisieren"), true));

    TDiagrammFenster naechstes(nullptr, loader.get(), QString(), QString(), kT2m, ini, nullptr);
    EXPECT_FALSE(naechstes.AktualisierenCheckBox->isChecked());
    const int vorher = naechstes.Series1->Count();
    loader->NeuerDatensatz(verlaufZeilen(dezember(9, 5), 0, {5}).first());
    loader->TimerTimer();
    EXPECT_EQ(naechstes.Series1->Count(), vorher);
}

TEST_F(FensterTest, ChartAxesOfOneValueOrNoPointsAreWidened)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, verlaufZeilen(dezember(8, 10), 0, {5}));
    TRanges fuenf;
    fuenf.Add(clBlue, 5, 5);
    TDiagrammFenster einBereich(nullptr, loader.get(), QString(), QString(), kT2m, ini, &fuenf);
    EXPECT_EQ(einBereich.VerlaufDiagramm->LeftAxis().Minimum(), 5);
    EXPECT_EQ(einBereich.VerlaufDiagramm->LeftAxis().Maximum(), 5);
    ASSERT_EQ(einBereich.Series1->Count(), 1);
    EXPECT_EQ(einBereich.Series1->ValueColor(0), clBlue);
    EXPECT_TRUE(zeichenbar(*einBereich.VerlaufDiagramm));

    // A column the loader lacks: no points at all.
    TDiagrammFenster leer(nullptr, loader.get(), QString(), QString(), QStringLiteral("fehlt"), ini, nullptr);
    EXPECT_EQ(leer.Series1->Count(), 0);
    EXPECT_TRUE(zeichenbar(*leer.VerlaufDiagramm));

    TRMDiagramm regen(loader.get(), QString(), QString(), QStringLiteral("fehlt"), 24, 60);
    EXPECT_EQ(regen.Series1->Count(), 0);
    EXPECT_TRUE(zeichenbar(*regen.Chart1));

    // Without points the time axis still reads forward.
    for (TChart* c : {leer.VerlaufDiagramm, regen.Chart1}) {
        QStringList zeiten = c->Layout().BottomTicks.Texts;
        zeiten.removeAll(QString());
        ASSERT_GE(zeiten.size(), 2);
        for (qsizetype i = 1; i < zeiten.size(); ++i)
            EXPECT_LT(zeiten[i - 1], zeiten[i]) << zeiten.join(u' ').toStdString();
    }
}

TEST_F(FensterTest, NoValueMarkerAndRecordsWithoutTimeGiveNoPoint)
{
    TChart chart;
    TLineSeries& s = *chart.AddLineSeries();
    // Newest first, as the queries give them.
    TVerlaufWerte v;
    v.Werte = {3, -9999, 5, 7};
    v.Zeiten = {dezember(8, 3), dezember(8, 2), dezember(8, 1), -9999};
    ZeigeVerlauf(s, v, nullptr);
    EXPECT_EQ(ys(s), (std::vector<double>{5, 3}));

    // Not even where a range holds it.
    TRanges alle;
    alle.Add(clGreen, -10000, 10);
    ZeigeVerlauf(s, v, &alle);
    EXPECT_EQ(ys(s), (std::vector<double>{5, 3}));
    EXPECT_EQ(s.ValueColor(0), clGreen);

    TRanges keiner;
    keiner.Add(clGreen, 100, 200);
    ZeigeVerlauf(s, v, &keiner);
    EXPECT_EQ(s.Count(), 0);
}

// --- Rain bar chart -----------------------------------------------------------

namespace {

const QString kRegenKopf = QStringLiteral("Datum\tUhrzeit\trr   [mm  ]");
const QString kRr = QStringLiteral("rr   [mm  ]");

// One record a minute from 10:00 to 13:59: 9 at every full hour, 0.1 else.
QStringList vierStundenRegen()
{
    std::vector<double> werte;
    for (int i = 0; i < 240; ++i)
        werte.push_back(i % 60 == 0 ? 9.0 : 0.1);
    return verlaufZeilen(dezember(8, 10), 1.0 / 1440, werte);
}

} // namespace

TEST_F(FensterTest, RainBarsStandAtTheirPeriodEndsUnderAGrowingAxis)
{
    auto loader = loaderMit(dir.path(QStringLiteral("r.txt")), kRegenKopf, vierStundenRegen());
    TRMDiagramm d(loader.get(), QStringLiteral("Regen"), QStringLiteral("mm"), kRr, 4, 60);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Verlauf - Diagramm"));
    EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(d.geometry())) << "on the screen";
    EXPECT_EQ(d.Chart1->Title().Font().Height, -12);
    // E = 14:00; each full hour opens the older period, whose maximum is 9.
    const TBarSeries& s = *d.Series1;
    EXPECT_TRUE(s.Gradient());
    ASSERT_EQ(s.Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(s.Points()[static_cast<size_t>(i)].X, dezember(8, 10 + i), 1e-9) << i;
        EXPECT_EQ(s.ValueColor(i), clRed);
    }
    EXPECT_EQ(ys(s), (std::vector<double>{9, 9, 9, 9, 0.1}));
    EXPECT_FALSE(d.Chart1->LeftAxis().Automatic());
    EXPECT_EQ(d.Chart1->LeftAxis().Minimum(), 0);
    EXPECT_EQ(d.Chart1->LeftAxis().Maximum(), 10);
    // 14:00 less 4 hours is the oldest record's time.
    EXPECT_EQ(d.Chart1->Title().Text(), (QStringList{QStringLiteral("Regen (mm)"),
                                                     QStringLiteral("Werte seit:08.12.2026 10:00:00"),
                                                     QStringLiteral("Summe: 36,1")}));

    // A larger bar lifts the axis (E is now 15:00); later smaller ones leave
    // it there.
    loader->NeuerDatensatz(verlaufZeilen(dezember(8, 14, 30), 0, {12.5}).first());
    loader->TimerTimer();
    EXPECT_EQ(d.Chart1->LeftAxis().Maximum(), 13.5);
    EXPECT_EQ(d.Chart1->Title().Text().at(2), QStringLiteral("Summe: 39,6"));
    d.Zeitraum = 1;
    loader->NeuerDatensatz(verlaufZeilen(dezember(8, 15, 30), 0, {0.2}).first());
    loader->TimerTimer();
    EXPECT_EQ(ys(s), (std::vector<double>{12.5, 0.2}));
    EXPECT_EQ(d.Chart1->LeftAxis().Maximum(), 13.5);
    EXPECT_EQ(d.Chart1->Title().Text().at(1), QStringLiteral("Werte seit:08.12.2026 15:00:00"));
    EXPECT_EQ(d.Chart1->Title().Text().at(2), QStringLiteral("Summe: 12,7"));
    // With the 12.5 out of the span the axis still does not shrink.
    d.Zeitraum = 0;
    d.Aktualisiere(loader.get());
    EXPECT_EQ(ys(s), (std::vector<double>{0.2}));
    EXPECT_EQ(d.Chart1->LeftAxis().Maximum(), 13.5);

    // Periods that can't be counted: no bars, nothing divided by zero; the
    // span still counts back from the newest record (15:30) rounded up to
    // 16:00, or starts with the oldest record.
    struct Fall {
        int stunden, minuten;
        const char* seit;
    };
    for (const Fall& f : {Fall{24, 0, "10:00:00"}, Fall{24, -5, "10:00:00"}, Fall{40000, 1, "10:00:00"},
                          Fall{1, 0, "15:00:00"}}) {
        const int stunden = f.stunden, minuten = f.minuten;
        d.Zeitraum = stunden;
        d.SetIntervall(minuten);
        d.Aktualisiere(loader.get());
        EXPECT_EQ(s.Count(), 0) << stunden << " h " << minuten << " min";
        EXPECT_EQ(d.Chart1->Title().Text().at(1), QStringLiteral("Werte seit:08.12.2026 ") + QLatin1String(f.seit));
        EXPECT_EQ(d.Chart1->Title().Text().at(2), QStringLiteral("Summe: 0,0"));
        EXPECT_TRUE(zeichenbar(*d.Chart1));
    }

    d.show();
    d.Button1->click();
    EXPECT_TRUE(loader->Clients().empty());
}

// Without the owner's hooks the menu items open the real charts, modal.
TEST_F(FensterTest, ChartMenuItemsOpenTheRealChartsModal)
{
    const QString ini = dir.path(QStringLiteral("v.ini"));
    auto loader = loaderMit(dir.path(QStringLiteral("d.txt")), kKopf, tagUndHalbeStunde());
    auto* f = Erzeuge<TStandardfenster>(owner, loader.get(), QStringLiteral("T"), QStringLiteral("°C"), kT2m, ini, 1);
    QString titel;
    int punkte = -1;
    QPointer<QWidget> offen;
    QPoint ort;
    QSize flaeche;
    QRect diagramm;
    auto schliesse = [&] {
        ImDialog<TDiagrammDialog>([&](TDiagrammDialog& d) {
            offen = &d;
            titel = d.windowTitle();
            punkte = d.Diagramm->Series(0)->Count();
            ort = d.pos();
            flaeche = d.geometry().size();
            diagramm = d.Diagramm->geometry();
            EXPECT_EQ(loader->Clients().size(), 2u);
            d.Button1->click();
        });
    };
    schliesse();
    f->N24hVerlauf1->trigger();
    EXPECT_TRUE(titel.startsWith(QStringLiteral("Diagramm mit Werten von ")));
    EXPECT_EQ(punkte, 25);
    // As shown: 607 x 353 inside the frame, the chart above the button row.
    EXPECT_EQ(flaeche, QSize(607, 353));
    EXPECT_EQ(diagramm, QRect(0, 0, 607, 328));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(offen.isNull());
    EXPECT_EQ(loader->Clients().size(), 1u);
    abbauen(f);

    auto regenLoader = loaderMit(dir.path(QStringLiteral("r.txt")), kRegenKopf, vierStundenRegen());
    auto* r = Erzeuge<TRegenMesserFenster>(owner, regenLoader.get(), QStringLiteral("Regen"), QStringLiteral("mm"),
                                           kRr, ini, 1);
    loader = std::move(regenLoader);
    r->SetVerlaufIntervalRegen(4);
    schliesse();
    r->N24hVerlauf1->trigger();
    EXPECT_EQ(titel, QStringLiteral("Verlauf - Diagramm"));
    EXPECT_EQ(punkte, 5);
    // Not centred as the day chart is: at its own place.
    EXPECT_EQ(ort, QPoint(321, 239));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(offen.isNull());
    abbauen(r);
    EXPECT_TRUE(meldungen.isEmpty()) << meldungen.join(u'|').toStdString();
}
