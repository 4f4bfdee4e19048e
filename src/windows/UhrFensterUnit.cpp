#include "UhrFensterUnit.h"

#include "IniFiles.h"

#include <QAction>
#include <QMenu>

TUhrFenster::TUhrFenster(Bau B, TFensterOwner& AOwner, const QString& DatumText, const QString& ZeitText,
                         int FensterID)
    : TGrundFenster(B, AOwner), m_fensterID(FensterID)
{
    resize(154, 123);
    auto beschriftung = [this](int top, const QString& text) {
        auto* l = new TFensterLabel(this, 8, top, 137, 13, text);
        l->SetBold(true);
        return l;
    };
    auto wert = [this](int top) {
        auto* l = new TFensterLabel(this, 8, top, 137, 33, QStringLiteral("-"));
        l->setAlignment(Qt::AlignCenter);
        l->SetBold(true);
        l->SetFontHeight(24);
        l->SetColor(clBlack);
        return l;
    };
    Label2 = beschriftung(8, DatumText);
    DatumLabel = wert(24);
    Bevel2 = new TBevel(this, 8, 24, 137, 33);
    Label3 = beschriftung(64, ZeitText);
    ZeitLabel = wert(80);
    Bevel3 = new TBevel(this, 8, 80, 137, 33);
    BeschriftungsLabels = {Label2, Label3};
    WertLabels = {ZeitLabel, DatumLabel};
    // The clocks colour nothing by ranges.
    WerteFarbeImmer = true;

    ErzeugeMenu();
    Optionen1 = NeuerMenuPunkt(QStringLiteral("Optionen1"), QStringLiteral("Optionen..."), [this] { Optionen1Click(); });
    N1 = NeuerMenuPunkt(QStringLiteral("N1"), QStringLiteral("-"), {});
    Deaktivieren1 = NeuerMenuPunkt(QStringLiteral("Deaktivieren1"), QStringLiteral("Deaktivieren"),
                                   [this] { Deaktivieren1Click(); });
    PopupMenu1->setDefaultAction(Deaktivieren1);
}

void TUhrFenster::LadeKonfiguration(const QString& IniDatei)
{
    TGrundFenster::LadeKonfiguration(IniDatei);
    const TIniFile ini(IniDatei);
    LiesPosition(ini);
    LiesAussehen(ini);
}

void TUhrFenster::SpeichereKonfiguration(const QString& IniDatei)
{
    TGrundFenster::SpeichereKonfiguration(IniDatei);
    TIniFile ini(IniDatei);
    const QString& s = Name();
    ini.WriteBool(s, QStringLiteral("Aktiv"), Aktiv);
    ini.WriteInteger(s, QStringLiteral("FensterID"), m_fensterID);
    SchreibePosition(ini);
    SchreibeAussehen(ini);
}
