// The options dialog's range list, key filters and background picture, and
// the texts the dialog converts.
#include "OptionenTestSupport.h"

#include "ColorComboBox.h"

#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMouseEvent>

namespace {

void tippe(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent druck(QEvent::KeyPress, c == u'\b' ? Qt::Key_Backspace : Qt::Key_unknown, Qt::NoModifier,
                        QString(c));
        QCoreApplication::sendEvent(w, &druck);
    }
}

void klicke(QWidget* w, QPoint p)
{
    const QPointF lokal(p);
    const QPointF global(w->mapToGlobal(p));
    QMouseEvent druck(QEvent::MouseButtonPress, lokal, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &druck);
    QMouseEvent los(QEvent::MouseButtonRelease, lokal, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &los);
}

} // namespace

TEST(OptionenWerte, RangeLines)
{
    formatSettings() = FormatSettings::German();
    EXPECT_EQ(BereichZeile(TBereich{2.5, 7, 255}), QStringLiteral("2,5000;7,0000;255"));
    // System colours have the top bit set and come out negative.
    EXPECT_EQ(BereichZeile(TBereich{-3.25, 0.00004, clBtnFace}), QStringLiteral("-3,2500;0,0000;-2147483633"));
    EXPECT_EQ(BereichZeile(QStringLiteral("1,"), QStringLiteral("-"), clBlue), QStringLiteral("1,;-;16711680"));

    const TBereichFelder f = TeileBereichZeile(QStringLiteral("1;2;3;4"));
    EXPECT_EQ(f.Von, QStringLiteral("1"));
    EXPECT_EQ(f.Bis, QStringLiteral("2"));
    EXPECT_EQ(f.Farbe, QStringLiteral("3;4"));
    EXPECT_EQ(TeileBereichZeile(QStringLiteral("1;2")).Bis, QStringLiteral("2"));
    EXPECT_EQ(TeileBereichZeile(QStringLiteral("1")).Farbe, QString());

    // Bounds rounded to four decimals come back so; a reversed line is ordered.
    TRanges r;
    FuelleBereiche(r, {BereichZeile(TBereich{1.23456, 2, 5}), QStringLiteral("9;-1;7")});
    ASSERT_EQ(r.Count(), 2);
    EXPECT_DOUBLE_EQ(r.GetBereich(0).Von, 1.2346);
    EXPECT_EQ(r.GetBereich(1).Von, -1);
    EXPECT_EQ(r.GetBereich(1).Bis, 9);
    FuelleBereiche(r, {});
    EXPECT_EQ(r.Count(), 0);
}

TEST(OptionenWerte, Spans)
{
    formatSettings() = FormatSettings::German();
    QString tage, zeit;
    SpanneInTexte(1.5, tage, zeit);
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("1 12:00:00"));
    SpanneInTexte(1.0, tage, zeit);
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("1 00:00:00"));
    // Within half a millisecond of the next day: that day, not a day lost.
    SpanneInTexte(2 - 1e-9, tage, zeit);
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("2 00:00:00"));
    SpanneInTexte(-(2 - 1e-9), tage, zeit);
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("-2 00:00:00"));
    // Below a second is lost: 0.04166 days come back as 3599 s.
    SpanneInTexte(0.04166, tage, zeit);
    EXPECT_EQ(zeit, QStringLiteral("00:59:59"));
    EXPECT_DOUBLE_EQ(SpanneAusTexten(tage, zeit), 3599 / 86400.0);
    EXPECT_DOUBLE_EQ(SpanneAusTexten(QStringLiteral("0"), QStringLiteral("06:00:00")), 0.25);
    EXPECT_THROW(SpanneInTexte(2147483648.0, tage, zeit), ERangeError);
    SpanneInTexte(2147483647.5, tage, zeit);
    EXPECT_EQ(tage, QStringLiteral("2147483647"));

    StundenInTexte(30, tage, zeit);
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("1 6:00:00"));
    StundenInTexte(24, tage, zeit);
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("1 0:00:00"));
    StundenInTexte(36, tage, zeit);   // whole days cut, not rounded
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("1 12:00:00"));
    StundenInTexte(47, tage, zeit);
    EXPECT_EQ(tage + u' ' + zeit, QStringLiteral("1 23:00:00"));
    EXPECT_THROW(StundenInTexte(3e9, tage, zeit), ERangeError);
    EXPECT_EQ(StundenAusTexten(QStringLiteral("1"), QStringLiteral("04:30:00")), 28);
    EXPECT_EQ(StundenAusTexten(QStringLiteral("0"), QStringLiteral("5:00:00")), 5);
    EXPECT_EQ(StundenAusTexten(QStringLiteral("89478485"), QStringLiteral("07:00:00")), 2147483647);
    try {
        StundenAusTexten(QStringLiteral("89478485"), QStringLiteral("08:00:00"));
        ADD_FAILURE() << "no range error";
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("Fehler bei Bereichsprüfung"));
    }
    EXPECT_THROW(StundenAusTexten(QStringLiteral("-89478486"), QStringLiteral("00:00:00")), ERangeError);
    EXPECT_THROW(StundenAusTexten(QString(), QStringLiteral("00:00:00")), EConvertError);
}

TEST_F(OptionenTest, RangeListEditing)
{
    FakeSpaltenFenster* f = FensterDerArt(owner, protokoll, 1);
    f->Bereiche->Add(clRed, 0, 10);
    f->Bereiche->Add(clBtnFace, 10, 20);
    TOptionenFenster d(programm, *f);
    d.show();
    QListWidget& liste = *d.BereicheList;

    // A click on a line fills the three range fields.
    klicke(liste.viewport(), liste.visualItemRect(liste.item(1)).center());
    EXPECT_EQ(d.GewaehlteZeile(), 1);
    EXPECT_EQ(d.VonEdit->text(), QStringLiteral("10,0000"));
    EXPECT_EQ(d.BisEdit->text(), QStringLiteral("20,0000"));
    EXPECT_EQ(d.BereichFarbe->ColorValue(), clBtnFace);
    // Clicked again after an edit, the line fills them again.
    d.VonEdit->setText(QStringLiteral("x"));
    klicke(liste.viewport(), liste.visualItemRect(liste.item(1)).center());
    EXPECT_EQ(d.VonEdit->text(), QStringLiteral("10,0000"));

    // "Bereich ändern" replaces the selected line in place.
    d.BisEdit->setText(QStringLiteral("25"));
    d.BereichFarbe->SetColorValue(clLime);
    d.Button4->click();
    EXPECT_EQ(d.BereichZeilen(),
              (QStringList{QStringLiteral("0,0000;10,0000;255"), QStringLiteral("10,0000;25;65280")}));

    // A line that is current but not selected counts as none chosen:
    // "Bereich ändern" appends, and the list stays as it was otherwise.
    liste.setCurrentRow(0);
    liste.clearSelection();
    EXPECT_EQ(d.GewaehlteZeile(), -1);
    d.Button4->click();
    ASSERT_EQ(liste.count(), 3);
    EXPECT_EQ(d.BereichZeilen().at(0), QStringLiteral("0,0000;10,0000;255"));
    delete liste.takeItem(2);
    liste.setCurrentRow(1);

    // "Bereich löschen" leaves nothing selected and the fields as they are;
    // "Bereich ändern" then appends, as "Bereich hinzu..." does.
    d.Button3->click();
    EXPECT_EQ(d.GewaehlteZeile(), -1);
    EXPECT_EQ(d.BisEdit->text(), QStringLiteral("25"));
    EXPECT_EQ(d.BereichZeilen(), QStringList{QStringLiteral("0,0000;10,0000;255")});
    d.Button3->click();
    EXPECT_EQ(liste.count(), 1);
    d.Button4->click();
    d.VonEdit->setText(QStringLiteral("-5"));
    d.Button2->click();
    EXPECT_EQ(d.BereichZeilen(), (QStringList{QStringLiteral("0,0000;10,0000;255"), QStringLiteral("10,0000;25;65280"),
                                              QStringLiteral("-5;25;65280")}));

    // Any text goes in; "OK" reports it.
    d.VonEdit->setText(QStringLiteral("abc"));
    d.Button2->click();
    EXPECT_EQ(liste.count(), 4);
    d.Button5->click();
    EXPECT_EQ(meldungen, QStringList{QString::fromUtf8("'abc' ist kein gültiger Gleitkommawert")});

    // A window keeps 1000 ranges: the 1000th goes in, one more is refused
    // with a message whether added or changed into a new line; changing a
    // line in place still works.
    while (liste.count() < 999)
        liste.addItem(QStringLiteral("0;1;0"));
    d.VonEdit->setText(QStringLiteral("7"));
    d.Button2->click();
    ASSERT_EQ(liste.count(), 1000);
    EXPECT_EQ(liste.item(999)->text(), QStringLiteral("7;25;65280"));
    meldungen.clear();
    d.Button2->click();
    d.Button4->click();
    EXPECT_EQ(meldungen, QStringList(2, QString::fromUtf8("Mehr als 1000 Bereiche sind nicht möglich!")));
    EXPECT_EQ(liste.count(), 1000);
    liste.setCurrentRow(999);
    d.VonEdit->setText(QStringLiteral("8"));
    d.Button4->click();
    EXPECT_EQ(liste.count(), 1000);
    EXPECT_EQ(liste.item(999)->text(), QStringLiteral("8;25;65280"));
    EXPECT_EQ(meldungen.size(), 2);
    abbauen(f);
}

TEST_F(OptionenTest, KeyFilters)
{
    FakeSpaltenFenster* f = FensterDerArt(owner, protokoll, 3);
    TOptionenFenster d(programm, *f);
    d.show();
    // Every digit goes in; Backspace works; nothing else.
    for (QLineEdit* e : {d.Interval, d.ServerVerlaufTage, d.VerlaufIntervallTage}) {
        e->clear();
        tippe(e, QStringLiteral("0123456789a.-,/: x\b"));
        EXPECT_EQ(e->text(), QStringLiteral("012345678")) << e->objectName().toStdString();
    }
    for (QLineEdit* e : {d.VonEdit, d.BisEdit}) {
        e->clear();
        tippe(e, QStringLiteral("-0123456789.5,2e;/:+7"));
        EXPECT_EQ(e->text(), QStringLiteral("-01234567895,27")) << e->objectName().toStdString();
    }
    // The time edits and the texts take anything; the time at most 8 characters.
    d.ServerVerlauf->clear();
    tippe(d.ServerVerlauf, QStringLiteral("12:00:00.5"));
    EXPECT_EQ(d.ServerVerlauf->text(), QStringLiteral("12:00:00"));
    d.Beschriftung->clear();
    tippe(d.Beschriftung, QStringLiteral("a.b;"));
    EXPECT_EQ(d.Beschriftung->text(), QStringLiteral("a.b;"));
    abbauen(f);
}

TEST_F(OptionenTest, BackgroundPicture)
{
    const QString bild = dir.path(QStringLiteral("bild.bmp"));
    QImage(8, 6, QImage::Format_RGB32).save(bild, "BMP");
    const QString kaputt = dir.path(QStringLiteral("kaputt.jpg"));
    writeFile(kaputt, "kein Bild");
    FakeSpaltenFenster* f = FensterDerArt(owner, protokoll, 1);

    programm.bild = bild;
    {
        TOptionenFenster d(programm, *f);
        EXPECT_EQ(d.HintergrundDatei, bild);
        EXPECT_EQ(d.HintergrundImage->pixmap().size(), QSize(8, 6));

        // The chooser: a file that does not load is reported; its name is
        // kept, the preview too.
        SetOpenFileHook([&](const QString& titel, const QString& filter, const QString&, QString& name) {
            EXPECT_EQ(titel, QString::fromUtf8("Hintergrundbild wählen..."));
            EXPECT_EQ(filter, QStringLiteral("Grafikdateien|*.gif;*.jpg;*.jpeg;*.bmp;*.wmf;*.ico"));
            name = kaputt;
            return true;
        });
        d.show();
        klicke(d.HintergrundImage, QPoint(5, 5));
        EXPECT_EQ(meldungen.size(), 1);
        EXPECT_EQ(d.HintergrundDatei, kaputt);
        EXPECT_EQ(d.HintergrundImage->pixmap().size(), QSize(8, 6));

        // "kein Bild": a blank 1 x 1 picture, and "OK" hands on no name.
        d.Button1->click();
        EXPECT_TRUE(d.HintergrundDatei.isEmpty());
        EXPECT_EQ(d.HintergrundImage->pixmap().size(), QSize(1, 1));
        protokoll.clear();
        d.Button5Click();
        EXPECT_EQ(protokoll.at(2), QStringLiteral("SetHintergrund()"));
    }

    // A picture that no longer loads doesn't keep the dialog from opening.
    programm.bild = kaputt;
    meldungen.clear();
    {
        TOptionenFenster d(programm, *f);
        EXPECT_EQ(d.HintergrundDatei, kaputt);
        EXPECT_EQ(d.HintergrundImage->pixmap().size(), QSize(1, 1));
        EXPECT_TRUE(meldungen.isEmpty());
    }
    // A file that is gone means no picture.
    programm.bild = dir.path(QStringLiteral("weg.bmp"));
    {
        TOptionenFenster d(programm, *f);
        EXPECT_TRUE(d.HintergrundDatei.isEmpty());
    }
    abbauen(f);
}
