#include "ColorComboBox.h"
#include "Dialogs.h"

#include <gtest/gtest.h>

namespace {

class ColorComboBoxTest : public ::testing::Test {
protected:
    void TearDown() override { SetColorHook({}); }

    // What a user's pick of "Eigene..." does.
    static void waehleEigene(TColorComboBox& box)
    {
        box.setCurrentIndex(box.count() - 1);
        emit box.activated(box.count() - 1);
    }
};

} // namespace

TEST_F(ColorComboBoxTest, HoldsExactlyTheValueItIsGiven)
{
    TColorComboBox box;
    EXPECT_EQ(box.itemText(box.count() - 1), QStringLiteral("Eigene..."));
    const int anfang = box.count();
    for (const TColor c : {clRed, clWhite, clBtnFace, clInfoBk, clWindowText}) {
        box.SetColorValue(c);
        EXPECT_EQ(box.ColorValue(), c);
        EXPECT_EQ(box.currentText(), TColorComboBox::FarbName(c));
    }
    EXPECT_EQ(box.count(), anfang);
    // Not in the list: added once, before "Eigene...".
    box.SetColorValue(0x123456);
    box.SetColorValue(clBlack);
    box.SetColorValue(0x123456);
    EXPECT_EQ(box.ColorValue(), 0x123456);
    EXPECT_EQ(box.currentText(), QStringLiteral("Neue Farbe"));
    EXPECT_EQ(box.count(), anfang + 1);
    EXPECT_EQ(box.itemText(box.count() - 1), QStringLiteral("Eigene..."));
    box.SetColorValue(clNone);
    EXPECT_EQ(box.ColorValue(), clNone);
}

TEST_F(ColorComboBoxTest, EigeneOpensTheColourDialog)
{
    TColorComboBox box;
    box.SetColorValue(clNavy);
    TColor angeboten = 0;
    SetColorHook([&](TColor& c) {
        angeboten = c;
        c = 0x00A0B0;
        return true;
    });
    waehleEigene(box);
    EXPECT_EQ(angeboten, clNavy);
    EXPECT_EQ(box.ColorValue(), 0x00A0B0);
    EXPECT_EQ(box.currentText(), QStringLiteral("Neue Farbe"));

    // Cancelled: the colour shown before stays.
    SetColorHook([](TColor&) { return false; });
    waehleEigene(box);
    EXPECT_EQ(box.ColorValue(), 0x00A0B0);
    EXPECT_NE(box.currentIndex(), box.count() - 1);
}
