#pragma once

#include "ComponentNames.h"
#include "Dialogs.h"
#include "GrundFensterUnit.h"
#include "Screen.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QStringList>
#include <vector>

// The main window as the display windows see it.
class FakeOwner : public TFensterOwner {
public:
    bool FensterFest() const override { return fest; }
    TComponentOwner& Komponenten() override { return komponenten; }

    bool fest = false;
    TComponentOwner komponenten;
};

// German settings, a 1024 x 768 screen and message boxes caught in a list.
class FensterTest : public GermanSettings {
protected:
    void SetUp() override
    {
        GermanSettings::SetUp();
        SetScreenInfo(&screen);
        SetMessageHook([this](const MessageRequest& r) {
            meldungen.append(r.Text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageHook({});
        SetScreenInfo(nullptr);
        GermanSettings::TearDown();
    }

    // As the owner does it at the end: write, then delete.
    static void abbauen(TGrundFenster* f)
    {
        f->Abbauen();
        delete f;
    }

    FixedScreenInfo screen{1024, 768};
    FakeOwner owner;
    TempDir dir;
    QStringList meldungen;
};

// A data file with a date, a time and two value columns, one record per line.
inline QByteArray datenKopf()
{
    return QByteArray("Datum\tZeit\tt2m  [\xC2\xB0" "C  ]\trf   [%   ]\n");
}

// Where the label's text lands: the box of every pixel that differs from the
// same label without text. Empty when nothing is drawn.
inline QRect textBox(TFensterLabel& label)
{
    const QString text = label.Caption();
    const QImage mit = label.grab().toImage();
    label.SetCaption(QString());
    const QImage ohne = label.grab().toImage();
    label.SetCaption(text);
    QRect box;
    for (int y = 0; y < mit.height(); ++y)
        for (int x = 0; x < mit.width(); ++x)
            if (mit.pixel(x, y) != ohne.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The text is drawn and stays clear of the label's edges by the margin
// (the frame drawn over it), within what the window shows of the label.
inline ::testing::AssertionResult textPasst(TFensterLabel& label, int rand)
{
    const QRect box = textBox(label);
    const int rechts = std::min(label.width(), label.parentWidget()->width() - 2 - label.x()) - rand;
    if (box.isEmpty())
        return ::testing::AssertionFailure() << "no text drawn for " << label.Caption().toStdString();
    if (box.left() < rand || box.right() >= rechts)
        return ::testing::AssertionFailure()
               << label.Caption().toStdString() << " covers x " << box.left() << ".." << box.right()
               << ", room is " << rand << ".." << rechts - 1;
    // The same text in the same font, drawn where nothing cuts it: a label
    // that clipped its text shows less ink.
    QImage frei(2000, 200, QImage::Format_RGB32);
    frei.fill(Qt::white);
    {
        QPainter p(&frei);
        p.setFont(label.font());
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, 2000, 200), Qt::AlignLeft | Qt::AlignTop, label.text());
    }
    int links = frei.width(), rechtsFrei = -1;
    for (int y = 0; y < frei.height(); ++y)
        for (int x = 0; x < frei.width(); ++x)
            if (frei.pixel(x, y) != qRgb(255, 255, 255)) {
                links = std::min(links, x);
                rechtsFrei = std::max(rechtsFrei, x);
            }
    if (box.width() + 1 < rechtsFrei - links + 1)
        return ::testing::AssertionFailure() << label.Caption().toStdString() << " is cut: " << box.width()
                                             << " of " << rechtsFrei - links + 1 << " pixels shown";
    return ::testing::AssertionSuccess();
}

// A loader over `pfad` whose store holds exactly the given data lines (the
// start-up placeholder dropped, its messages cleared).
inline std::unique_ptr<TDatenLoader> loaderMit(const QString& pfad, const QString& kopf, const QStringList& zeilen)
{
    writeFile(pfad, (kopf + u'\n' + zeilen.first() + u'\n').toUtf8());
    auto loader = std::make_unique<TDatenLoader>(pfad, 2000, 1.0, u'\t', false);
    for (const QString& z : zeilen)
        loader->NeuerDatensatz(z);
    loader->LoescheAeltesten();
    loader->Meldungen.clear();
    return loader;
}

// Data lines "date<TAB>time<TAB>value", one per value, Schritt days apart
// from Beginn on.
inline QStringList verlaufZeilen(TDateTime Beginn, double Schritt, const std::vector<double>& Werte)
{
    QStringList zeilen;
    for (size_t i = 0; i < Werte.size(); ++i) {
        const TDateTime t = Beginn + static_cast<double>(i) * Schritt;
        zeilen << FormatDateTime(QStringLiteral("dd.mm.yyyy"), t) + u'\t'
                      + FormatDateTime(QStringLiteral("hh:nn:ss"), t) + u'\t' + FloatToStr(Werte[i]);
    }
    return zeilen;
}

// A moment in December 2026.
inline TDateTime dezember(int Tag, int Stunde, int Minute = 0)
{
    return EncodeDate(2026, 12, Tag) + EncodeTime(Stunde, Minute, 0, 0);
}

// Hourly from 8 December 00:00 to 9 December 02:00 the values 5, 15, 25 in
// turn, for a column after date and time.
inline QStringList stundenWerte()
{
    std::vector<double> werte;
    for (int h = 0; h <= 26; ++h)
        werte.push_back(5 + 10 * (h % 3));
    return verlaufZeilen(dezember(8, 0), 1.0 / 24, werte);
}
