#include "Diagramm24h.h"

#include "AppErrors.h"
#include "GrundFensterUnit.h"
#include "IniFiles.h"
#include "Screen.h"
#include "SysUtils.h"
#include "VerlaufWerte.h"

#include <QCheckBox>
#include <exception>

namespace {

const QString kSektion = QStringLiteral("DiagrammFenster");
const QString kAktualisieren = QStringLiteral("Aktualisieren");

} // namespace

TDiagrammFenster::TDiagrammFenster(QWidget* AOwner, TDatenLoader* Loader, const QString& Beschriftung,
                                   const QString& Einheit, const QString& Spalte, const QString& IniDatei,
                                   const TRanges* Bereiche)
    : TDiagrammDialog(AOwner, kSektion), Spalte(Spalte), IniDatei(IniDatei)
{
    if (Bereiche)
        this->Bereiche = *Bereiche;
    setWindowTitle(QStringLiteral("Diagramm im Verlaufintervall"));
    move((Screen().Width() - width()) / 2, (Screen().Height() - height()) / 2);

    VerlaufDiagramm = Diagramm;
    VerlaufDiagramm->SetBevelInnerRaised(true);
    TFontDesc titel;
    titel.Bold = true;
    titel.Height = -16;
    VerlaufDiagramm->Title().SetFont(titel);
    TChartAxis& links = VerlaufDiagramm->LeftAxis();
    links.SetStartPosition(3);
    links.SetEndPosition(97);
    links.SetIncrement(1);
    Series1 = VerlaufDiagramm->AddLineSeries();
    Series1->SetSeriesColor(clRed);

    AktualisierenCheckBox = new QCheckBox(QStringLiteral("Aktualisieren"), Panel1);
    AktualisierenCheckBox->setGeometry(498, 2, 97, 17);

    // Fixed to the span of the window's ranges; automatic without ranges.
    try {
        double oben = 0;
        double unten = 0;
        this->Bereiche.Gesamtbereich(oben, unten);
        links.SetMinMax(unten, oben);
    } catch (const ERangeError&) {
        links.SetAutomatic(true);
    }
    VerlaufDiagramm->Title().SetText({QString(), Beschriftung, Einheit});

    if (Loader) {
        try {
            ZeigeZeitraum(*Loader);
            ZeigeVerlauf(*Series1, VerlaufLetzteSekunden(*Loader, Spalte, 86400), &this->Bereiche);
        } catch (const std::exception&) {
            // What was added by then stays.
        }
    }
    Registriere(Loader);
    LadeAktualisieren(IniDatei);
}

TDiagrammFenster::~TDiagrammFenster()
{
    LoaderClient.reset();
    Guarded([&] { SpeichereAktualisieren(IniDatei); });
}

void TDiagrammFenster::Oeffne(const TVerlaufAufruf& Aufruf)
{
    ZeigeModal(new TDiagrammFenster(Aufruf.Fenster, Aufruf.Loader, Aufruf.Beschriftung, Aufruf.Einheit,
                                    Aufruf.Spalte, Aufruf.IniDatei, Aufruf.Bereiche));
}

void TDiagrammFenster::ZeigeZeitraum(TDatenLoader& Loader)
{
    const TDateTime von = Loader.AeltesteZeit();
    const TDateTime bis = Loader.NeuesteZeit();
    setWindowTitle(QStringLiteral("Diagramm mit Werten von ") + DateToStr(von) + u' ' + TimeToStr(von)
                   + QStringLiteral(" bis ") + DateToStr(bis) + u' ' + TimeToStr(bis));
}

void TDiagrammFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender || !AktualisierenCheckBox->isChecked())
        return;
    try {
        ZeigeZeitraum(*Sender);
        ZeigeVerlauf(*Series1, VerlaufAb(*Sender, Spalte, Sender->AeltesteZeit()), &Bereiche);
    } catch (const std::exception&) {
        // The chart keeps what it shows.
    }
}

void TDiagrammFenster::LadeAktualisieren(const QString& IniDatei)
{
    const TIniFile ini(IniDatei);
    AktualisierenCheckBox->setChecked(ini.ReadBool(kSektion, kAktualisieren, true));
}

void TDiagrammFenster::SpeichereAktualisieren(const QString& IniDatei)
{
    TIniFile ini(IniDatei);
    ini.WriteBool(kSektion, kAktualisieren, AktualisierenCheckBox->isChecked());
}
