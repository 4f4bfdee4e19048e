// The options dialog: what it shows per kind of window and what "OK" calls,
// in which order, and where a bad text stops it.
#include "OptionenTestSupport.h"

#include "ColorComboBox.h"
#include "DialogWache.h"
#include "GrafikRegenMesserUnit.h"
#include "LoggerZeitFensterUnit.h"
#include "LuftdruckFensterUnit.h"
#include "RegenMesserFensterUnit.h"
#include "RelativeLuftfeuchteFenster.h"
#include "SchreiberFensterUnit.h"
#include "SystemZeitFensterUnit.h"
#include "TendFensterUnit.h"
#include "TermometerFensterUnit.h"
#include "TextFensterUnit.h"
#include "WindGeschwindigkeitFensterUnit.h"
#include "WindrichtungFensterUnit.h"
#include "ZustandFensterUnit.h"

#include <QApplication>
#include <QFile>

#include <QFontComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// The window's look as the fill hands it to the dialog.
void setzeAussehen(TGrundFenster& f)
{
    f.SetSchrift(QStringLiteral("MS SANS SERIF"));
    f.SetColor(clBtnFace);
    f.SetSchriftFarbeBesch(clNavy);
    f.SetSchriftFarbeWerte(0x123456);
    f.SetLHFarbe(clBlack);
}

QStringList programmSchritte()
{
    return {QStringLiteral("SetInterval(2000)"), QStringLiteral("SetHalteDauer(1.5)"),
            QStringLiteral("SetHintergrund()")};
}

const QString kBtnFace = QString::number(clBtnFace);

// What "OK" calls on a window of each kind, after the program settings, when
// nothing was changed.
QStringList fensterSchritte(int id)
{
    QStringList s;
    if (id < 0)
        return {QStringLiteral("SetSchrift(MS SANS SERIF)"), QStringLiteral("SetColor(") + kBtnFace + u')',
                QStringLiteral("SetSchriftFarbeBesch(8388608)"), QStringLiteral("SetSchriftFarbeWerte(1193046)"),
                QStringLiteral("SetLHFarbe(0)")};
    s << QStringLiteral("SetBeschriftung(Titel)");
    if (id != 4 && id != 6 && id != 8)
        s << QStringLiteral("SetEinheit(hPa)");
    s << QStringLiteral("SetSchrift(MS SANS SERIF)") << QStringLiteral("SetColor(") + kBtnFace + u')'
      << QStringLiteral("NachFensterFarbe") << QStringLiteral("SetSchriftFarbeBesch(8388608)")
      << QStringLiteral("SetSchriftFarbeWerte(1193046)") << QStringLiteral("SetLHFarbe(0)");
    if (id == 3 || id == 9)
        s << QStringLiteral("SetSpanne(2.25)");
    if (id == 10)
        s << QStringLiteral("SetSpanne(30)");
    if (id == 4 || id == 5 || id == 7)
        s << QStringLiteral("ZeichneInstrument(2)");
    return s;
}

} // namespace

TEST_F(OptionenTest, OkCallsTheSettersOfEveryKindInOrder)
{
    for (const int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, -2}) {
        SCOPED_TRACE(id);
        TGrundFenster* f = nullptr;
        if (id > 0) {
            FakeSpaltenFenster* s = FensterDerArt(owner, protokoll, id);
            s->SetBeschriftung(QStringLiteral("Titel"));
            s->SetEinheit(QStringLiteral("hPa"));
            s->spanne = id == 10 ? 30 : 2.25;
            s->Bereiche->Add(clRed, 0, 10);
            s->Bereiche->Add(clLime, 10, 20);
            f = s;
        } else {
            f = Erzeuge<FakeUhr>(owner, protokoll, id);
            f->Bereiche = std::make_unique<TRanges>();
            f->Bereiche->Add(clRed, 0, 10);
        }
        setzeAussehen(*f);
        protokoll.clear();
        {
            TOptionenFenster dialog(programm, *f);
            EXPECT_EQ(dialog.FensterTyp, id);
            dialog.Button5Click();
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        }
        EXPECT_EQ(protokoll, programmSchritte() + fensterSchritte(id));
        // The lists come back as they were; a clock's ends empty.
        if (auto* s = dynamic_cast<FakeSpaltenFenster*>(f)) {
            ASSERT_EQ(s->Bereiche->Count(), 2);
            EXPECT_EQ(s->Bereiche->GetBereich(1).Farbe, clLime);
            EXPECT_EQ(s->instrument.Count(), s->InstrumentBereiche() ? 2 : 0);
        } else {
            ASSERT_TRUE(f->Bereiche);
            EXPECT_EQ(f->Bereiche->Count(), 0);
        }
        abbauen(f);
    }
}

TEST_F(OptionenTest, FillsAndDisablesByKind)
{
    struct Fall {
        int id;
        bool beschriftung, einheit, spanne, lhFarbe, bereiche;
        QString einheitText, tage, zeit;
    };
    // Every kind of column window.
    const Fall faelle[] = {
        {1, true, true, false, true, true, QStringLiteral("hPa"), QString(), QString()},
        {2, true, true, false, true, true, QStringLiteral("hPa"), QString(), QString()},
        {3, true, true, true, true, true, QStringLiteral("hPa"), QStringLiteral("2"), QStringLiteral("06:00:00")},
        {4, false, false, false, true, true, QString(), QString(), QString()},
        {5, true, true, false, true, true, QStringLiteral("hPa"), QString(), QString()},
        {6, true, false, false, true, false, QString(), QString(), QString()},
        {7, true, true, false, true, true, QStringLiteral("hPa"), QString(), QString()},
        {8, true, false, false, true, false, QString(), QString(), QString()},
        {9, true, true, true, false, true, QStringLiteral("hPa"), QStringLiteral("2"), QStringLiteral("06:00:00")},
        {10, true, true, true, true, true, QStringLiteral("hPa"), QStringLiteral("1"), QStringLiteral("6:00:00")},
        {11, true, true, false, true, true, QStringLiteral("hPa"), QString(), QString()},
    };
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.id);
        FakeSpaltenFenster* f = FensterDerArt(owner, protokoll, fall.id);
        f->SetBeschriftung(QStringLiteral("Titel"));
        f->SetEinheit(QStringLiteral("hPa"));
        f->spanne = fall.id == 10 ? 30 : 2.25;
        f->Bereiche->Add(255, 2.5, 7);
        {
            TOptionenFenster d(programm, *f);
            EXPECT_EQ(d.Beschriftung->text(), QStringLiteral("Titel"));
            EXPECT_EQ(d.Beschriftung->isEnabled(), fall.beschriftung);
            EXPECT_EQ(d.Einheit->text(), fall.einheitText);
            EXPECT_EQ(d.Einheit->isEnabled(), fall.einheit);
            EXPECT_EQ(d.VerlaufIntervallTage->text(), fall.tage);
            EXPECT_EQ(d.VerlaufIntervall->text(), fall.zeit);
            EXPECT_EQ(d.VerlaufIntervall->isEnabled(), fall.spanne);
            EXPECT_EQ(d.Label14->isEnabled(), fall.spanne);
            EXPECT_EQ(d.LHFarbe->isEnabled(), fall.lhFarbe);
            EXPECT_EQ(d.GroupBox3->isEnabled(), fall.bereiche);
            // Shown even where they can't be edited.
            EXPECT_EQ(d.BereichZeilen(), QStringList{QStringLiteral("2,5000;7,0000;255")});
            // The program settings are there for every kind.
            EXPECT_EQ(d.Interval->text(), QStringLiteral("2000"));
            EXPECT_EQ(d.ServerVerlaufTage->text(), QStringLiteral("1"));
            EXPECT_EQ(d.ServerVerlauf->text(), QStringLiteral("12:00:00"));
            EXPECT_TRUE(d.GroupBox1->isEnabled());
        }
        abbauen(f);
    }

    // A column window that gives a clock's code is still edited as a column
    // window, as a standard display.
    FakeSpaltenFenster* spalte = FensterDerArt(owner, protokoll, -1);
    spalte->SetEinheit(QStringLiteral("hPa"));
    spalte->Bereiche->Add(255, 2.5, 7);
    {
        TOptionenFenster d(programm, *spalte);
        EXPECT_TRUE(d.Beschriftung->isEnabled());
        EXPECT_TRUE(d.Einheit->isEnabled());
        EXPECT_EQ(d.Einheit->text(), QStringLiteral("hPa"));
        EXPECT_TRUE(d.GroupBox3->isEnabled());
        EXPECT_EQ(d.BereichZeilen(), QStringList{QStringLiteral("2,5000;7,0000;255")});
    }
    abbauen(spalte);

    for (const int id : {-1, -2}) {
        SCOPED_TRACE(id);
        auto* uhr = Erzeuge<FakeUhr>(owner, protokoll, id);
        setzeAussehen(*uhr);
        uhr->Bereiche = std::make_unique<TRanges>();
        uhr->Bereiche->Add(clRed, 0, 1);
        {
            TOptionenFenster d(programm, *uhr);
            EXPECT_FALSE(d.Beschriftung->isEnabled());
            EXPECT_TRUE(d.Beschriftung->text().isEmpty());
            EXPECT_FALSE(d.Einheit->isEnabled());
            EXPECT_FALSE(d.VerlaufIntervallTage->isEnabled());
            EXPECT_FALSE(d.GroupBox3->isEnabled());
            EXPECT_TRUE(d.LHFarbe->isEnabled());
            // A clock's ranges are not shown.
            EXPECT_EQ(d.BereicheList->count(), 0);
            // The window's font name comes back as it was, installed or not;
            // the colours exactly, system colours and colours of no list included.
            EXPECT_EQ(d.SchriftName(), QStringLiteral("MS SANS SERIF"));
            EXPECT_EQ(d.FensterFarbe->ColorValue(), clBtnFace);
            EXPECT_EQ(d.AnzeigeFarbe->ColorValue(), 0x123456);
            EXPECT_EQ(d.LHFarbe->ColorValue(), clBlack);
            EXPECT_EQ(d.BeschrFarbe->ColorValue(), clNavy);
        }
        abbauen(uhr);
    }
}

TEST_F(OptionenTest, BadTextStopsOkWithItsMessageAndKeepsWhatCameBefore)
{
    FakeSpaltenFenster* f = FensterDerArt(owner, protokoll, 7);
    f->Bereiche->Add(clRed, 0, 1);
    TOptionenFenster d(programm, *f);
    d.show();

    // A bad program setting: nothing of the window is touched.
    d.Interval->clear();
    protokoll.clear();
    d.Button5->click();
    EXPECT_EQ(meldungen, QStringList{QStringLiteral("'' ist kein gültiger Integerwert")});
    EXPECT_TRUE(protokoll.isEmpty());
    EXPECT_TRUE(d.isVisible());

    // The third of five range lines: the gauge keeps the first two, the
    // window's own list is not reached.
    d.Interval->setText(QStringLiteral("1500"));
    d.BereicheList->clear();
    d.BereicheList->addItems({QStringLiteral("0;1;255"), QStringLiteral("5;1;65280"), QStringLiteral("1,5x;3;0"),
                              QStringLiteral("3;4;0"), QStringLiteral("4;5;0")});
    meldungen.clear();
    protokoll.clear();
    d.Button5->click();
    EXPECT_EQ(meldungen, QStringList{QString::fromUtf8("'1,5x' ist kein gültiger Gleitkommawert")});
    EXPECT_EQ(protokoll.first(), QStringLiteral("SetInterval(1500)"));
    EXPECT_TRUE(protokoll.contains(QStringLiteral("SetLHFarbe(0)")));
    EXPECT_FALSE(protokoll.contains(QStringLiteral("ZeichneInstrument(2)")));
    ASSERT_EQ(f->instrument.Count(), 2);
    // Stored with the bounds in order.
    EXPECT_EQ(f->instrument.GetBereich(1).Von, 1);
    EXPECT_EQ(f->instrument.GetBereich(1).Bis, 5);
    ASSERT_EQ(f->Bereiche->Count(), 1);
    EXPECT_EQ(f->Bereiche->GetBereich(0).Bis, 1);
    EXPECT_TRUE(d.isVisible());

    // Mended, "OK" applies everything again from the start and closes.
    d.BereicheList->item(2)->setText(QStringLiteral("1,5;3;0"));
    protokoll.clear();
    d.Button5->click();
    EXPECT_EQ(protokoll.first(), QStringLiteral("SetInterval(1500)"));
    EXPECT_EQ(f->Bereiche->Count(), 5);
    EXPECT_EQ(f->instrument.Count(), 5);
    EXPECT_FALSE(d.isVisible());
    abbauen(f);
}

TEST_F(OptionenTest, SpansComeBackFromTheEditsAndOverflowIsARangeError)
{
    FakeSpaltenFenster* regen = FensterDerArt(owner, protokoll, 10);
    regen->spanne = 5;
    {
        TOptionenFenster d(programm, *regen);
        EXPECT_EQ(d.VerlaufIntervall->text(), QStringLiteral("5:00:00"));
        d.VerlaufIntervallTage->setText(QStringLiteral("1"));
        d.VerlaufIntervall->setText(QStringLiteral("04:30:00"));
        d.ServerVerlaufTage->setText(QStringLiteral("0"));
        d.ServerVerlauf->setText(QStringLiteral("06:00:00"));
        d.Button5Click();
    }
    EXPECT_TRUE(protokoll.contains(QStringLiteral("SetHalteDauer(0.25)")));
    EXPECT_EQ(regen->spanne, 28);

    {
        TOptionenFenster d(programm, *regen);
        d.VerlaufIntervallTage->setText(QStringLiteral("89478486"));
        d.show();
        d.Button5->click();
        EXPECT_EQ(meldungen, QStringList{QString::fromUtf8("Fehler bei Bereichsprüfung")});
        EXPECT_EQ(regen->spanne, 28);
        EXPECT_TRUE(d.isVisible());
    }

    // A span the rain window refuses (more than 65535 hourly periods) stops
    // "OK" with the range error: the program settings before it stay
    // applied, the span and the ranges after it are not, the dialog stays
    // open. 65535 periods are taken.
    auto* echt = Erzeuge<TRegenMesserFenster>(owner, nullptr, QString(), QString(), QStringLiteral("r"),
                                              dir.path(QStringLiteral("regen.ini")), 1);
    {
        TOptionenFenster d(programm, *echt);
        d.show();
        d.VerlaufIntervallTage->setText(QStringLiteral("2731"));
        d.VerlaufIntervall->setText(QStringLiteral("0:00:00"));
        d.BereicheList->addItem(QStringLiteral("0;1;255"));
        meldungen.clear();
        protokoll.clear();
        d.Button5->click();
        EXPECT_EQ(meldungen, QStringList{QString::fromUtf8("Fehler bei Bereichsprüfung")});
        EXPECT_EQ(protokoll.first(), QStringLiteral("SetInterval(2000)"));
        EXPECT_EQ(echt->VerlaufIntervalRegen, 24);
        EXPECT_FALSE(echt->HatBereiche());
        EXPECT_TRUE(d.isVisible());

        d.VerlaufIntervallTage->setText(QStringLiteral("2730"));
        d.VerlaufIntervall->setText(QStringLiteral("15:00:00"));
        d.Button5->click();
        EXPECT_EQ(echt->VerlaufIntervalRegen, 65535);
        EXPECT_TRUE(echt->HatBereiche());
        EXPECT_FALSE(d.isVisible());
    }
    abbauen(echt);

    // A history span of more days than the edit can take back does not open.
    programm.halteDauer = 3e9;
    EXPECT_THROW(TOptionenFenster(programm, *regen), ERangeError);
    abbauen(regen);
}

TEST_F(OptionenTest, EscapeAndCancelApplyNothing)
{
    FakeSpaltenFenster* f = FensterDerArt(owner, protokoll, 1);
    // Escape in an edit, Escape on a focused "OK" (only Return presses it), "Abbrechen".
    for (const int weg : {0, 1, 2}) {
        TOptionenFenster d(programm, *f);
        d.show();
        d.Beschriftung->setText(QStringLiteral("anders"));
        protokoll.clear();
        if (weg < 2) {
            QWidget* ziel = weg == 0 ? static_cast<QWidget*>(d.Interval) : d.Button5;
            ziel->setFocus();
            QKeyEvent druck(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
            QCoreApplication::sendEvent(ziel, &druck);
        } else {
            d.Button6->click();
        }
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_TRUE(protokoll.isEmpty());
    }
    // Return on a focused "OK" or "Abbrechen" presses that button.
    for (const bool ok : {true, false}) {
        TOptionenFenster d(programm, *f);
        d.show();
        protokoll.clear();
        QPushButton* knopf = ok ? d.Button5 : d.Button6;
        knopf->setFocus();
        QKeyEvent eingabe(QEvent::KeyPress, ok ? Qt::Key_Return : Qt::Key_Enter, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(knopf, &eingabe);
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(protokoll.isEmpty(), !ok);
    }
    // No button is the default: Return in an edit presses none.
    TOptionenFenster d(programm, *f);
    d.show();
    for (QPushButton* b : d.findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->text().toStdString();
    protokoll.clear();
    QKeyEvent eingabe(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(d.Beschriftung, &eingabe);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(protokoll.isEmpty());
    abbauen(f);
}

TEST_F(OptionenTest, NoCaptionIsCut)
{
    FakeSpaltenFenster* f = FensterDerArt(owner, protokoll, 3);
    f->SetBeschriftung(QStringLiteral("Windrichtung"));
    f->SetEinheit(QString::fromUtf8("°"));
    f->spanne = 1.0 / 24;
    f->Bereiche->Add(clRed, -10.5, 0);
    f->Bereiche->Add(clBtnFace, 0, 2000);
    setzeAussehen(*f);
    TOptionenFenster d(programm, *f);
    d.show();
    for (QLabel* l : d.findChildren<QLabel*>())
        EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->text().toStdString();
    for (QPushButton* b : d.findChildren<QPushButton*>())
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
    for (QGroupBox* g : d.findChildren<QGroupBox*>())
        EXPECT_GE(g->width(), g->minimumSizeHint().width()) << g->title().toStdString();
    EXPECT_LE(d.width(), 1024);
    EXPECT_LE(d.height(), 768);
    if (const QByteArray pfad = qgetenv("VANTOREL_OPTIONEN_BILD"); !pfad.isEmpty())
        d.grab().save(QString::fromLocal8Bit(pfad));
    abbauen(f);
}

// Each real window's "Optionen...", then "OK" without a change: the window
// writes the same section as before (the window's own work after the dialog
// included).
TEST_F(OptionenTest, OkWithoutChangesKeepsTheSectionOfEveryWindow)
{
    const QString spalte = QString::fromUtf8("p    [hPa ]");
    const QString ini = dir.path(QStringLiteral("vantorel.ini"));
    QByteArray inhalt = "[Global]\nVerlaufIntervalRegen=30\n";
    const QByteArray bereiche = "AnzahlBereiche=1\nBereich0Von=-10,25\nBereich0Bis=0\nBereich0Farbe=-2147483633\n"
                                "Bereich1Von=2,5\nBereich1Bis=7\nBereich1Farbe=255\n"
                                "AnzahlBereicheMS=0\nBereichMS0Von=0\nBereichMS0Bis=3,5\nBereichMS0Farbe=65280\n"
                                "Schrift=Liberation Serif\nSchriftFarbeWerte=1193046\nSchriftFarbeBesch=-2147483640\n"
                                "FensterFarbe=12632256\nLHFarbe=16777215\nBeschriftung=Luftdruck\n";
    for (const int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, -2})
        inhalt += "[" + FensterName(spalte, id).toUtf8() + "]\nPositionX=10\nPositionY=20\n" + bereiche
                  + (id == 4 ? "Einheit=m/s\n" : "Einheit=hPa\n")
                  // A span the dialog's whole seconds hold exactly.
                  + (id == 3 ? "VerlaufInterval=0,5\n" : "");
    writeFile(ini, inhalt);

    owner.OeffneOptionen = [this](TGrundFenster& f) {
        ImDialog<TOptionenFenster>([](TOptionenFenster& d) { d.Button5->click(); });
        TOptionenFenster::Zeige(programm, f);
    };
    auto* loader = static_cast<TDatenLoader*>(nullptr);
    const QList<TGrundFenster*> fenster = {
        Erzeuge<TStandardfenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TTermometerFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TWindrichtungFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TWindspeedFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TRLFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TZustandFenster>(owner, loader, QString(), spalte, ini),
        Erzeuge<TLuftdruckFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TTrendFenster>(owner, loader, QString(), spalte, ini),
        Erzeuge<TSchreiberFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TRegenMesserFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TGrafikRegenMesserFenster>(owner, loader, QString(), QString(), spalte, ini, 1),
        Erzeuge<TLoggerzeitFenster>(owner, loader, ini),
        Erzeuge<TSystemzeitFenster>(owner, ini),
    };
    for (TGrundFenster* f : fenster) {
        SCOPED_TRACE(f->Name().toStdString());
        const QString vorher = dir.path(QStringLiteral("vorher.ini"));
        const QString nachher = dir.path(QStringLiteral("nachher.ini"));
        f->SpeichereKonfiguration(vorher);
        protokoll.clear();
        f->Optionen1Click();
        EXPECT_EQ(protokoll.size(), 3);
        f->SpeichereKonfiguration(nachher);
        EXPECT_EQ(readFile(nachher).toStdString(), readFile(vorher).toStdString());
        QFile::remove(vorher);
        QFile::remove(nachher);
        // One window whose dialog stays open is enough to know.
        if (HasFailure())
            break;
    }
    EXPECT_TRUE(meldungen.isEmpty()) << meldungen.join(u'|').toStdString();
    for (TGrundFenster* f : fenster)
        abbauen(f);
}
