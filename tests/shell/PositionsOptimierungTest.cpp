#include "PositionsOptimierung.h"

#include "TestSupport.h"

#include <QRect>
#include <random>
#include <vector>

namespace {

TPlatzKomponente Fenster(int w, int h) { return {true, w, h}; }
TPlatzKomponente Anderes() { return {false, 0, 0}; }

// The placement scan written out literally: one pixel to the right after
// every pass that finds the candidate blocked.
TPlatzErgebnis Referenz(const std::vector<TPlatzKomponente>& k, int W, int H)
{
    TPlatzErgebnis e;
    e.Positionen.assign(k.size(), QPoint());
    std::vector<TRechteck> platziert;
    for (size_t i = 0; i < k.size(); ++i) {
        if (!k[i].IstAnzeigeFenster)
            continue;
        const int w = k[i].Breite, h = k[i].Hoehe;
        int x = 0, y = 0;
        bool frei;
        do {
            frei = true;
            for (const TRechteck& r : platziert)
                if (RechteckeUeberlappen({x, y, x + w, y + h}, r)) {
                    frei = false;
                    break;
                }
            if (!frei) {
                ++x;
                if (x + w > W) {
                    x = 0;
                    ++y;
                }
            }
        } while (!frei && y <= H - h);
        if (!frei) {
            x = W - w;
            y = H - h;
            ++e.NichtPlatziert;
        }
        e.Positionen[i] = QPoint(x, y);
        platziert.push_back({x, y, x + w, y + h});
    }
    return e;
}

} // namespace

TEST(PositionsOptimierung, RechteckeZaehlenBeiBeruehrungAlsUeberlappend)
{
    EXPECT_TRUE(PunktImRechteck({0, 0, 10, 10}, QPoint(10, 10)));
    EXPECT_FALSE(PunktImRechteck({0, 0, 10, 10}, QPoint(11, 5)));
    // Side by side with no pixel between them.
    EXPECT_TRUE(RechteckeUeberlappen({0, 0, 10, 10}, {10, 0, 20, 10}));
    EXPECT_FALSE(RechteckeUeberlappen({0, 0, 10, 10}, {11, 0, 21, 10}));
    // A small one inside a large one, seen from either side.
    EXPECT_TRUE(RechteckeUeberlappen({0, 0, 100, 100}, {40, 40, 50, 50}));
    EXPECT_TRUE(RechteckeUeberlappen({40, 40, 50, 50}, {0, 0, 100, 100}));
    // A wide flat one across a narrow tall one: no corner inside the other,
    // yet they cover each other.
    EXPECT_TRUE(RechteckeUeberlappen({0, 40, 100, 50}, {45, 0, 55, 100}));
    EXPECT_TRUE(RechteckeUeberlappen({45, 0, 55, 100}, {0, 40, 100, 50}));
    EXPECT_FALSE(RechteckeUeberlappen({0, 40, 44, 50}, {45, 0, 55, 100}));
}

TEST(PositionsOptimierung, FensterLiegenNebenUndUntereinander)
{
    // The first lands at (0, 0) even when it is larger than the screen.
    EXPECT_EQ(OptimierePositionenBerechnen({Fenster(1500, 900)}, 1000, 800).Positionen[0], QPoint(0, 0));

    // Beside the first with one pixel between, or below it when too wide.
    auto e = OptimierePositionenBerechnen({Fenster(100, 50), Fenster(80, 40)}, 1000, 800);
    EXPECT_EQ(e.Positionen[1], QPoint(101, 0));
    e = OptimierePositionenBerechnen({Fenster(600, 50), Fenster(500, 40)}, 1000, 800);
    EXPECT_EQ(e.Positionen[1], QPoint(0, 51));
    // Exactly as wide as the space beside the first still fits.
    e = OptimierePositionenBerechnen({Fenster(600, 50), Fenster(399, 40)}, 1000, 800);
    EXPECT_EQ(e.Positionen[1], QPoint(601, 0));
    EXPECT_EQ(e.NichtPlatziert, 0);

    // Other components are passed over and keep no position.
    e = OptimierePositionenBerechnen({Anderes(), Fenster(100, 50), Anderes(), Fenster(80, 40)}, 1000, 800);
    EXPECT_EQ(e.Positionen[1], QPoint(0, 0));
    EXPECT_EQ(e.Positionen[3], QPoint(101, 0));

    // A window wider than the screen is tried at x = 0 of each row only.
    e = OptimierePositionenBerechnen({Fenster(100, 100), Fenster(1200, 50)}, 1000, 800);
    EXPECT_EQ(e.Positionen[1], QPoint(0, 101));
    EXPECT_EQ(e.NichtPlatziert, 0);
}

TEST(PositionsOptimierung, UnplatzierbareFensterLandenUntenRechts)
{
    // Taller than the screen with (0, 0) taken: straight into the corner.
    auto e = OptimierePositionenBerechnen({Fenster(100, 100), Fenster(50, 900)}, 1000, 800);
    EXPECT_EQ(e.Positionen[1], QPoint(950, -100));
    EXPECT_EQ(e.NichtPlatziert, 1);
    // Wider than the screen with every row's x = 0 blocked.
    e = OptimierePositionenBerechnen({Fenster(10, 800), Fenster(1200, 50)}, 1000, 800);
    EXPECT_EQ(e.Positionen[1], QPoint(-200, 750));
    EXPECT_EQ(e.NichtPlatziert, 1);

    // A full screen leaves three windows on top of each other in the corner.
    e = OptimierePositionenBerechnen({Fenster(100, 100), Fenster(50, 50), Fenster(50, 50), Fenster(50, 50)}, 100, 100);
    EXPECT_EQ(e.Positionen[0], QPoint(0, 0));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(e.Positionen[static_cast<size_t>(i)], QPoint(50, 50));
    EXPECT_EQ(e.NichtPlatziert, 3);
    EXPECT_EQ(NichtPlatziertMeldung(e.NichtPlatziert), QString::fromUtf8("3 Fenster konnte(n) nicht optmiert werden"));
}

TEST(PositionsOptimierung, FortschrittUndEreignisseJeKomponente)
{
    std::vector<int> prozente;
    int verarbeitet = 0;
    std::vector<TPlatzKomponente> k(8, Anderes());
    const auto e = OptimierePositionenBerechnen(
        k, 1000, 800, [&](int p) { prozente.push_back(p); }, [&] { ++verarbeitet; });
    EXPECT_EQ(e.NichtPlatziert, 0);
    EXPECT_EQ(verarbeitet, 8);
    // 12.5 and 62.5 go down to the even neighbour, 37.5 and 87.5 up.
    EXPECT_EQ(prozente, (std::vector<int>{0, 12, 25, 38, 50, 62, 75, 88}));

    prozente.clear();
    OptimierePositionenBerechnen({}, 1000, 800, [&](int p) { prozente.push_back(p); });
    EXPECT_TRUE(prozente.empty());
}

TEST(PositionsOptimierung, GleichesErgebnisWieDerPixelweiseScan)
{
    std::mt19937 zufall(4711);
    auto zahl = [&](int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(zufall); };
    for (int lauf = 0; lauf < 400; ++lauf) {
        const int W = zahl(20, 60), H = zahl(15, 45);
        std::vector<TPlatzKomponente> k;
        const int n = zahl(1, 14);
        for (int i = 0; i < n; ++i) {
            if (zahl(0, 6) == 0)
                k.push_back(Anderes());
            else if (zahl(0, 9) == 0)   // now and then larger than the screen
                k.push_back(Fenster(zahl(1, W + 10), zahl(1, H + 10)));
            else
                k.push_back(Fenster(zahl(0, W / 2), zahl(0, H / 2)));
        }
        const TPlatzErgebnis soll = Referenz(k, W, H);
        const TPlatzErgebnis ist = OptimierePositionenBerechnen(k, W, H);
        ASSERT_EQ(ist.NichtPlatziert, soll.NichtPlatziert) << "Lauf " << lauf;
        for (size_t i = 0; i < k.size(); ++i)
            ASSERT_EQ(ist.Positionen[i], soll.Positionen[i]) << "Lauf " << lauf << ", Fenster " << i;
    }

    // Mixed flat and tall windows, where a corner test alone would let a
    // flat one cross a tall one: every placed pair keeps a gap.
    std::vector<TPlatzKomponente> k;
    for (int i = 0; i < 24; ++i)
        k.push_back(i % 3 == 0 ? Fenster(70, 6) : i % 3 == 1 ? Fenster(8, 50) : Fenster(23, 17));
    const TPlatzErgebnis soll = Referenz(k, 200, 120);
    const TPlatzErgebnis ist = OptimierePositionenBerechnen(k, 200, 120);
    EXPECT_EQ(ist.NichtPlatziert, soll.NichtPlatziert);
    EXPECT_EQ(ist.Positionen, soll.Positionen);
    EXPECT_EQ(ist.NichtPlatziert, 0);
    for (size_t i = 0; i < k.size(); ++i)
        for (size_t j = i + 1; j < k.size(); ++j) {
            const QRect a(ist.Positionen[i], QSize(k[i].Breite + 1, k[i].Hoehe + 1));
            const QRect b(ist.Positionen[j], QSize(k[j].Breite + 1, k[j].Hoehe + 1));
            EXPECT_FALSE(a.intersects(b)) << "Fenster " << i << " und " << j;
        }
}
