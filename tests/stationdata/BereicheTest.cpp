#include "Bereiche.h"

#include "Exceptions.h"
#include "TestSupport.h"

#include <functional>

namespace {

QString Meldung(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ERangeError& e) {
        return e.Message();
    }
    return QStringLiteral("<keine ERangeError>");
}

using BereicheTest = GermanSettings;

} // namespace

TEST_F(BereicheTest, FarbeNimmtDenErstenBereichDerDenWertHaelt)
{
    TRanges r;
    r.Add(clBlue, -10, 0);
    r.Add(clGreen, 20, 0);   // bounds put in order
    r.Add(clRed, 10, 30);
    EXPECT_EQ(r.GetBereich(1).Von, 0);
    EXPECT_EQ(r.Farbe(0), clBlue);    // shared bound: first listed wins
    EXPECT_EQ(r.Farbe(-10), clBlue);
    EXPECT_EQ(r.Farbe(20), clGreen);
    EXPECT_EQ(r.Farbe(30), clRed);
    EXPECT_EQ(Meldung([&] { r.Farbe(-12.5); }), QStringLiteral("-12,50 liegt in keinem Bereich!"));

    // A whole record keeps reversed bounds and then holds no value.
    TRanges verkehrt;
    verkehrt.Add(TBereich{5, 1, clYellow});
    EXPECT_EQ(verkehrt.GetBereich(0).Von, 5);
    EXPECT_EQ(Meldung([&] { verkehrt.Farbe(3); }), QStringLiteral("3,00 liegt in keinem Bereich!"));
}

TEST_F(BereicheTest, GesamtbereichIndizesUndKopien)
{
    TRanges r;
    double oben = 1, unten = 2;
    EXPECT_EQ(Meldung([&] { r.Gesamtbereich(oben, unten); }), QStringLiteral("Keine Bereiche vorhanden!"));
    EXPECT_EQ(Meldung([&] { r.Farbe(7); }), QStringLiteral("7,00 liegt in keinem Bereich!"));
    r.Add(clRed, 0, 10);
    r.Add(clBlue, -5, 3);
    r.Gesamtbereich(oben, unten);
    EXPECT_EQ(oben, 10);
    EXPECT_EQ(unten, -5);

    EXPECT_EQ(Meldung([&] { r.GetBereich(2); }), QStringLiteral("2 ist außerhalb des Bereichs!"));
    EXPECT_EQ(Meldung([&] { r.SetBereich(-1, TBereich{}); }), QStringLiteral("-1 ist außerhalb des Bereichs!"));

    // Windows hand range lists around by value.
    TRanges kopie = r;
    kopie.SetBereich(0, TBereich{100, 200, clGreen});
    EXPECT_EQ(r.GetBereich(0).Bis, 10);
    EXPECT_EQ(kopie.Farbe(150), clGreen);
}

TEST_F(BereicheTest, RealListPrueftIndizes)
{
    TRealList l;
    l.Add(1.5);
    l.Add(-9999);
    l.SetItem(1, 2.5);
    EXPECT_EQ(l.Werte(), (std::vector<double>{1.5, 2.5}));
    EXPECT_EQ(Meldung([&] { l.GetItem(2); }), QStringLiteral("2 liegt außerhalb der Liste!"));
    EXPECT_EQ(Meldung([&] { l.SetItem(-1, 0); }), QStringLiteral("-1 liegt außerhalb der Liste!"));
    l.Clear();
    EXPECT_EQ(Meldung([&] { l.GetItem(0); }), QStringLiteral("0 liegt außerhalb der Liste!"));
}
