#include "DialogWache.h"
#include "Dialogs.h"
#include "FormatSettings.h"
#include "InfoDlgs.h"
#include "PrgEinstDlg.h"
#include "Screen.h"
#include "SplashFensterUnit.h"
#include "TestSupport.h"
#include "Uebersetzung.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <functional>

namespace {

void DrueckeEscape(QWidget& w)
{
    QKeyEvent druck(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &druck);
}

class Dialoge : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        m_titel = ApplicationTitle();
        SetApplicationTitle(QStringLiteral("VANTORel"));
    }
    void TearDown() override
    {
        SetApplicationTitle(m_titel);
        SetOpenFileHook({});
        SetScreenInfo(nullptr);
        GermanSettings::TearDown();
    }

private:
    QString m_titel;
};

} // namespace

TEST_F(Dialoge, InfoDialogZeigtTitelVersionUndDatum)
{
    formatSettings().ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    TInfoDialog1 dialog;
    dialog.Beschrifte(QStringLiteral("<b>Momentanwertanzeige</b>"));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Info über VANTORel"));
    EXPECT_EQ(dialog.KorvasilRxLabel1->text(), QStringLiteral("VANTORel V1.0 dev."));
    EXPECT_EQ(dialog.ModulNameRxLabel1->text(), QStringLiteral("<b>Momentanwertanzeige</b>"));
    EXPECT_EQ(dialog.ModulNameRxLabel1->textFormat(), Qt::PlainText);

    // The program file's date in the regional formats.
    const QDateTime datei = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
    EXPECT_EQ(dialog.ErstelltLabel1->text(),
              QStringLiteral("Erstellt am: ") + datei.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));

    std::uint16_t v1 = 9, v2 = 9, v3 = 9, v4 = 9;
    TInfoDialog1::LiesVersionsnummer(v1, v2, v3, v4);
    EXPECT_EQ(v1, VANTOREL_VERSION_MAJOR + 0);
    EXPECT_EQ(v2, VANTOREL_VERSION_MINOR + 0);
    EXPECT_EQ(v3, VANTOREL_VERSION_PATCH + 0);
    EXPECT_EQ(v4, VANTOREL_VERSION_TWEAK + 0);
    EXPECT_EQ(dialog.BuildLabel1->text(), QStringLiteral("Build-Nr.: %1.%2.%3.%4").arg(v1).arg(v2).arg(v3).arg(v4));

    // Our own picture is compiled in.
    ASSERT_NE(dialog.Image1->pixmap().isNull(), true);
    EXPECT_EQ(dialog.Image1->pixmap().size(), QSize(180, 180));
    EXPECT_EQ(dialog.Image1->size(), QSize(180, 180));
}

TEST_F(Dialoge, InfoDialogSchliesstMitOkUndEscape)
{
    bool gesehen = false;
    ImDialog<TInfoDialog1>([&](TInfoDialog1& d) {
        gesehen = true;
        EXPECT_EQ(d.ModulNameRxLabel1->text(), QStringLiteral("Momentanwertanzeige"));
        EXPECT_TRUE(d.BuildLabel1->text().startsWith(QStringLiteral("Build-Nr.: ")));
        d.OKButton1->click();
    });
    ZeigeInfoDialog(QStringLiteral("Momentanwertanzeige"));
    EXPECT_TRUE(gesehen);
    pumpEvents(0);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TInfoDialog1*>(w), nullptr) << "about box left behind";

    gesehen = false;
    ImDialog<TInfoDialog1>([&](TInfoDialog1& d) {
        gesehen = true;
        DrueckeEscape(d);
    });
    ZeigeInfoDialog(QStringLiteral("x"));
    EXPECT_TRUE(gesehen);
}

TEST_F(Dialoge, ProgrammeinstellungenNurMitOkUebernommen)
{
    TPrgEinstDialog1 dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Programmeinstellungen"));
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("&AutoSave-Datei:"));
    EXPECT_EQ(dialog.TochterAnzeigeCB1->text(), QStringLiteral("&Tochteranzeige"));
    EXPECT_EQ(dialog.AbbrechenButton1->text(), QStringLiteral("Abbrechen"));
    dialog.AutoSaveDatei = QStringLiteral("/daten/AutoSave.sav");
    dialog.TochterAnzeige = false;

    // Abbrechen, Escape and the close box keep what was handed in.
    const std::function<void(TPrgEinstDialog1&)> wege[] = {
        [](TPrgEinstDialog1& d) { d.AbbrechenButton1->click(); },
        [](TPrgEinstDialog1& d) { DrueckeEscape(d); },
        [](TPrgEinstDialog1& d) { d.close(); },
    };
    for (const auto& verwerfen : wege) {
        ImDialog<TPrgEinstDialog1>([&](TPrgEinstDialog1& d) {
            EXPECT_EQ(d.AutoSaveDateiJFE1->FileName(), QStringLiteral("/daten/AutoSave.sav"));
            EXPECT_FALSE(d.TochterAnzeigeCB1->isChecked());
            d.AutoSaveDateiJFE1->SetFileName(QStringLiteral("/anders.sav"));
            d.TochterAnzeigeCB1->setChecked(true);
            verwerfen(d);
        });
        EXPECT_FALSE(dialog.Ausfuehren());
        EXPECT_EQ(dialog.AutoSaveDatei, QStringLiteral("/daten/AutoSave.sav"));
        EXPECT_FALSE(dialog.TochterAnzeige);
    }

    // OK without a change hands back the same; an empty name stays empty.
    ImDialog<TPrgEinstDialog1>([](TPrgEinstDialog1& d) { d.OKButton1->click(); });
    EXPECT_TRUE(dialog.Ausfuehren());
    EXPECT_EQ(dialog.AutoSaveDatei, QStringLiteral("/daten/AutoSave.sav"));
    ImDialog<TPrgEinstDialog1>([](TPrgEinstDialog1& d) {
        d.AutoSaveDateiJFE1->SetFileName(QString());
        d.TochterAnzeigeCB1->setChecked(true);
        d.OKButton1->click();
    });
    EXPECT_TRUE(dialog.Ausfuehren());
    EXPECT_EQ(dialog.AutoSaveDatei, QString());
    EXPECT_TRUE(dialog.TochterAnzeige);
}

TEST_F(Dialoge, DurchsuchenNimmtDieGewaehlteDatei)
{
    QString gefragterOrdner;
    QString vorgabe;
    bool bestaetigen = true;
    SetOpenFileHook([&](const QString&, const QString&, const QString& ordner, QString& name) {
        gefragterOrdner = ordner;
        vorgabe = name;
        if (bestaetigen)
            name = QStringLiteral("/neu/Sicherung.sav");
        return bestaetigen;
    });
    TPrgEinstDialog1 dialog;
    dialog.AutoSaveDatei = QStringLiteral("/alt/AutoSave.sav");
    ImDialog<TPrgEinstDialog1>([&](TPrgEinstDialog1& d) {
        d.AutoSaveDateiJFE1->Button->click();
        EXPECT_EQ(gefragterOrdner, QStringLiteral("/alt"));
        EXPECT_EQ(vorgabe, QStringLiteral("/alt/AutoSave.sav"));
        EXPECT_EQ(d.AutoSaveDateiJFE1->FileName(), QStringLiteral("/neu/Sicherung.sav"));
        bestaetigen = false;
        d.AutoSaveDateiJFE1->Button->click();   // cancelled: the name stays
        EXPECT_EQ(d.AutoSaveDateiJFE1->FileName(), QStringLiteral("/neu/Sicherung.sav"));
        d.OKButton1->click();
    });
    EXPECT_TRUE(dialog.Ausfuehren());
    EXPECT_EQ(dialog.AutoSaveDatei, QStringLiteral("/neu/Sicherung.sav"));
}

TEST_F(Dialoge, SplashFensterMittigMitTitel)
{
    FixedScreenInfo bildschirm(1000, 800);
    SetScreenInfo(&bildschirm);
    TSplashFenster splash;
    // In the middle of the screen.
    EXPECT_EQ(splash.geometry().center(), QPoint(499, 399));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(splash.RxLabel1->text(), QStringLiteral("VANTORel V1.0 dev."));
    EXPECT_FALSE(splash.Image1->pixmap().isNull());
}

TEST_F(Dialoge, ProgrammeinstellungenLehnenEigeneDateienAlsAutoSaveAb)
{
    TempDir dir;
    const QString ini = dir.path(QStringLiteral("vantorel.ini"));
    writeFile(ini, "[Global]\n");
    QStringList boxen;
    SetMessageHook([&](const MessageRequest& r) {
        boxen << r.Text;
        return IDOK;
    });
    TPrgEinstDialog1 dialog;
    dialog.EigeneDateien = {ini, dir.path(QStringLiteral("vantorel.log"))};
    dialog.AutoSaveDatei = dir.path(QStringLiteral("AutoSave.sav"));
    ImDialog<TPrgEinstDialog1>([&](TPrgEinstDialog1& d) {
        d.AutoSaveDateiJFE1->SetFileName(dir.path() + QStringLiteral("/./vantorel.ini"));
        d.OKButton1->click();
        EXPECT_TRUE(d.isVisible());
        d.AutoSaveDateiJFE1->SetFileName(dir.path(QStringLiteral("neu.sav")));
        d.OKButton1->click();
    });
    EXPECT_TRUE(dialog.Ausfuehren());
    SetMessageHook({});
    EXPECT_EQ(boxen, QStringList{dir.path() + QStringLiteral("/./vantorel.ini kann nicht erzeugt werden!")});
    EXPECT_EQ(dialog.AutoSaveDatei, dir.path(QStringLiteral("neu.sav")));
}

TEST_F(Dialoge, QtsEigeneTexteSindDeutsch)
{
    ASSERT_TRUE(InstalliereQtUebersetzung());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));
}
