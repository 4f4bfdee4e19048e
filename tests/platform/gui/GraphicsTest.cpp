#include "Graphics.h"
#include "Screen.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(GraphicsTest, ColoursMapBothWays)
{
    // 0x00BBGGRR: the low byte is red.
    EXPECT_EQ(ColorToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(254), QColor(254, 0, 0));
    EXPECT_EQ(QColorToColor(QColor(0x99, 0x66, 0x33)), 0x00336699);
    EXPECT_EQ(QColorToColor(QColor(0, 0, 0, 0)), clNone);

    EXPECT_EQ(ColorToQColor(clBtnFace), QColor(212, 208, 200));
    EXPECT_EQ(ColorToQColor(clWindow), QColor(255, 255, 255));
    EXPECT_EQ(ColorToQColor(clWindowText), QColor(0, 0, 0));
    EXPECT_EQ(ColorToQColor(clHighlight), QColor(0, 0, 128));
    // As the configuration stores it: signed decimal.
    EXPECT_EQ(ColorToQColor(-2147483633), QColor(212, 208, 200));
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x00C8D0D4);
    EXPECT_EQ(ColorToRGB(clNavy), clNavy);
    EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);

    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
    EXPECT_EQ(ColorToQColor(clDefault).alpha(), 0);
}

TEST(GraphicsTest, FontsTakeSizeHeightAndAnInstalledFamily)
{
    TFontDesc desc;
    desc.Name = QStringLiteral("MS SANS SERIF");
    desc.Height = -11;
    desc.Bold = true;
    QFont font = ToQFont(desc);
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    // The family the font database actually picks must be the mapped one.
    EXPECT_EQ(QFontInfo(font).family(), ResolveFontFamily(QStringLiteral("MS Sans Serif")));
    EXPECT_EQ(ResolveFontFamily(QStringLiteral("Arial")), ResolveFontFamily(QStringLiteral("Tahoma")));
    EXPECT_NE(ResolveFontFamily(QStringLiteral("Courier New")), ResolveFontFamily(QStringLiteral("Arial")));

    // Points at 96 pixels per inch, rounded: 8 pt is 11 pixels, 19 pt 25.
    desc.SetSize(8);
    EXPECT_EQ(desc.Height, -11);
    EXPECT_EQ(desc.Size(), 8);
    desc.SetSize(19);
    EXPECT_EQ(desc.Height, -25);
    EXPECT_EQ(ToQFont(desc).pixelSize(), 25);

    // A positive height is the whole cell, so the characters come out smaller.
    desc.Height = 30;
    font = ToQFont(desc);
    EXPECT_LE(QFontMetrics(font).height(), 30);
    EXPECT_GE(QFontMetrics(font).height(), 26);
    EXPECT_LT(font.pixelSize(), 30);

    desc.Italic = desc.Underline = desc.StrikeOut = true;
    font = ToQFont(desc);
    EXPECT_TRUE(font.italic() && font.underline() && font.strikeOut());
}

TEST(GraphicsTest, ScreenCanBeReplaced)
{
    EXPECT_GT(Screen().Width(), 0);
    EXPECT_GT(Screen().Height(), 0);
    FixedScreenInfo fixed(1280, 1024, QPoint(5, 7));
    SetScreenInfo(&fixed);
    EXPECT_EQ(Screen().Width(), 1280);
    EXPECT_EQ(Screen().Height(), 1024);
    EXPECT_EQ(Screen().CursorPos(), QPoint(5, 7));
    SetScreenInfo(nullptr);
    EXPECT_EQ(&Screen(), &Screen());
    EXPECT_NE(&Screen(), &fixed);
}
