#include "SchreiberFensterUnit.h"

#include "ComponentNames.h"
#include "Dialogs.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "VerlaufWerte.h"

#include <cmath>
#include <exception>
#include <limits>

int SpanneInSekunden(double Tage)
{
    const double s = Tage * 86400;
    if (std::isnan(s))
        return 0;
    if (s >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (s <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(Round(s));
}

TSchreiberFenster::TSchreiberFenster(Bau B, TFensterOwner& AOwner, TDatenLoader* Loader,
                                     const QString& Beschriftung, const QString& Einheit, const QString& Spalte,
                                     const QString& IniDatei, int Nachkommastellen)
    : TSpaltenFenster(B, AOwner, 9)
{
    resize(312, 173);
    SchreiberChart = new TChart(this);
    SchreiberChart->setGeometry(rect());
    SchreiberChart->SetColor(Color());
    SchreiberChart->SetBackWallColor(clWhite);
    SchreiberChart->SetBackWallTransparent(true);
    SchreiberChart->LeftAxis().SetStartPosition(3);
    SchreiberChart->LeftAxis().SetEndPosition(97);
    SchreiberChart->Title().SetText({QStringLiteral("Schreiber für")});
    Series1 = SchreiberChart->AddLineSeries();
    Series1->SetSeriesColor(clRed);
    // The chart covers the window and takes its presses for dragging.
    MoveShape->hide();
    SchreiberChart->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { MoveShapeMouseDown(b, x, y); };
    SchreiberChart->OnMouseMove = [this](Qt::MouseButtons s, int x, int y) { MoveShapeMouseMove(s, x, y); };
    BaueMenu(false);
    SchreiberChart->PopupMenu = PopupMenu1;

    if (Loader)
        VerlaufInterval = Loader->HalteDauer;
    Starte<TLoaderClient>(Loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
}

bool TSchreiberFenster::PlatzFrei(TFensterOwner& AOwner)
{
    int anzahl = 0;
    for (QObject* k : AOwner.Komponenten().Components())
        if (dynamic_cast<TSchreiberFenster*>(k))
            ++anzahl;
    return anzahl < MaxSchreiber;
}

QString TSchreiberFenster::KeinPlatzMeldung()
{
    return QStringLiteral("Maximale Anzahl von Schreibern erreicht!");
}

bool TSchreiberFenster::ErzeugenErlaubt(TFensterOwner& AOwner)
{
    if (PlatzFrei(AOwner))
        return true;
    ShowMessage(KeinPlatzMeldung());
    return false;
}

void TSchreiberFenster::ZeigeTitel()
{
    SchreiberChart->Title().SetText({Beschriftung + QStringLiteral(" (") + Einheit + u')'});
}

void TSchreiberFenster::SetBeschriftung(const QString& Value)
{
    TSpaltenFenster::SetBeschriftung(Value);
    ZeigeTitel();
}

void TSchreiberFenster::SetEinheit(const QString& Value)
{
    TSpaltenFenster::SetEinheit(Value);
    ZeigeTitel();
}

void TSchreiberFenster::SetSchrift(const QString& Value)
{
    TSpaltenFenster::SetSchrift(Value);
    TFontDesc titel = SchreiberChart->Title().Font();
    titel.Name = Value;
    SchreiberChart->Title().SetFont(titel);
    for (TChartAxis* achse : {&SchreiberChart->LeftAxis(), &SchreiberChart->BottomAxis()}) {
        TFontDesc f = achse->LabelsFont();
        f.Name = Value;
        achse->SetLabelsFont(f);
    }
}

void TSchreiberFenster::SetSchriftFarbeBesch(TColor Value)
{
    TSpaltenFenster::SetSchriftFarbeBesch(Value);
    TFontDesc titel = SchreiberChart->Title().Font();
    titel.Color = Value;
    SchreiberChart->Title().SetFont(titel);
}

void TSchreiberFenster::SetSchriftFarbeWerte(TColor Value)
{
    TSpaltenFenster::SetSchriftFarbeWerte(Value);
    for (TChartAxis* achse : {&SchreiberChart->LeftAxis(), &SchreiberChart->BottomAxis()}) {
        TFontDesc f = achse->LabelsFont();
        f.Color = Value;
        achse->SetLabelsFont(f);
        achse->SetAxisColor(Value);
    }
}

void TSchreiberFenster::SetColor(TColor Value)
{
    TSpaltenFenster::SetColor(Value);
    if (SchreiberChart)
        SchreiberChart->SetColor(Value);
}

void TSchreiberFenster::SetzeAchseAusBereichen()
{
    TChartAxis& links = SchreiberChart->LeftAxis();
    if (!HatBereiche()) {
        links.SetAutomatic(true);
        return;
    }
    double oben = 0;
    double unten = 0;
    Bereiche->Gesamtbereich(oben, unten);
    links.SetMinMax(unten, oben);
}

void TSchreiberFenster::LiesBereicheAus(const TIniFile& Ini)
{
    TSpaltenFenster::LiesBereicheAus(Ini);
    SetzeAchseAusBereichen();
}

void TSchreiberFenster::LiesEigeneSchluessel(const TIniFile& Ini)
{
    SetVerlaufInterval(Ini.ReadFloat(Name(), QStringLiteral("VerlaufInterval"), VerlaufInterval));
}

void TSchreiberFenster::SchreibeEigeneSchluessel(TIniFile& Ini) const
{
    Ini.WriteFloat(Name(), QStringLiteral("VerlaufInterval"), VerlaufInterval);
}

void TSchreiberFenster::Aktualisiere(TDatenLoader* Sender)
{
    if (!Sender)
        return;
    try {
        ZeigeVerlauf(*Series1, VerlaufLetzteSekunden(*Sender, Spalte, SpanneInSekunden(VerlaufInterval)),
                     Bereiche.get());
    } catch (const std::exception&) {
        // The chart shows what was added; the loader's other clients still
        // get their turn.
    }
}
