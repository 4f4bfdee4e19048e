// The main window's display windows: the window menu, making windows from
// the menu, from their sections and at the first start, and placing them.
#include "HauptFensterUnit.h"
#include "HauptFensterIntern.h"

#include "AppErrors.h"
#include "Dialogs.h"
#include "DatenLoaderUnit.h"
#include "GrafikRegenMesserUnit.h"
#include "IniFiles.h"
#include "LoggerZeitFensterUnit.h"
#include "LuftdruckFensterUnit.h"
#include "PositionsOptimierung.h"
#include "RegenMesserFensterUnit.h"
#include "RelativeLuftfeuchteFenster.h"
#include "SchreiberFensterUnit.h"
#include "Screen.h"
#include "SysUtils.h"
#include "SystemZeitFensterUnit.h"
#include "TendFensterUnit.h"
#include "TermometerFensterUnit.h"
#include "TextFensterUnit.h"
#include "WindGeschwindigkeitFensterUnit.h"
#include "WindrichtungFensterUnit.h"
#include "ZustandFensterUnit.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>

int THauptFenster::KommaFuer(const QString& Spalte) const
{
    return TIniFile(IniDatei).ReadInteger(kGlobal, SpaltenKey(Spalte) + QStringLiteral("komma"), Standardkomma);
}

void THauptFenster::BaueFensterMenu()
{
    QStringList spalten;
    DatenLoader->GetSpaltenNamen(spalten);
    const TIniFile ini(IniDatei);

    auto* system = FensterMenu->addAction(kSystemUhr);
    system->setData(-2);
    connect(system, &QAction::triggered, this, [this, system] { Guarded([&] { UhrzeitFensterClick(system); }); });

    bool loggerUhr = false;
    for (int i = 0; i < spalten.size(); ++i) {
        const bool zeitSpalte = (DatenLoader->HatUhrzeit && i == DatenLoader->UhrzeitSpalte)
                                || (DatenLoader->HatDatum && i == DatenLoader->DatumSpalte);
        if (zeitSpalte) {
            if (!loggerUhr) {
                auto* logger = FensterMenu->addAction(kLoggerUhr);
                logger->setData(-1);
                connect(logger, &QAction::triggered, this,
                        [this, logger] { Guarded([&] { UhrzeitFensterClick(logger); }); });
                loggerUhr = true;
            }
            continue;
        }
        const QString p = SpaltenKey(spalten.at(i));
        auto* spalte = new QMenu(ini.ReadString(kGlobal, p + QStringLiteral("bezeichnung"), spalten.at(i)), FensterMenu);
        QAction* punkt = spalte->menuAction();
        punkt->setStatusTip(ini.ReadString(kGlobal, p + QStringLiteral("einheit"), QString()));
        punkt->setData(i);

        QList<int> typen;
        const int n = ini.ReadInteger(kGlobal, p, -9999);
        if (n == -9999) {
            typen << 1;
        } else {
            // Only the keys present: the count may be up to the integer limit.
            for (const int t : ini.ReadNumberedIntegers(kGlobal, p, n, -9999))
                if (t >= 1 && t <= 11)
                    typen << t;
        }
        for (const int t : typen) {
            auto* typ = spalte->addAction(FensterTypWort(t));
            typ->setData(t);
            connect(typ, &QAction::triggered, this, [this, typ] { Guarded([&] { FensterTypClick(typ); }); });
        }
        FensterMenu->addAction(punkt);
    }
}

void THauptFenster::BaueFensterMenuNeu()
{
    // Deleted later: the menu may be open while the loader ticks.
    for (QAction* punkt : FensterMenu->actions()) {
        FensterMenu->removeAction(punkt);
        if (QMenu* typen = punkt->menu())
            typen->deleteLater();
        else
            punkt->deleteLater();
    }
    BaueFensterMenu();
    // The menu may be open now: the opening greyed the old items only.
    HauptPopUpPopup();
}

TGrundFenster* THauptFenster::ErzeugeFenster(int FensterID, const QString& Beschriftung, const QString& Einheit,
                                              const QString& Spalte, int Nachkommastellen)
{
    TDatenLoader* loader = DatenLoader.get();
    switch (FensterID) {
    case 1:
        return Erzeuge<TStandardfenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 2:
        return Erzeuge<TTermometerFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 3:
        return Erzeuge<TWindrichtungFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 4:
        return Erzeuge<TWindspeedFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 5:
        return Erzeuge<TRLFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 6:
        return Erzeuge<TZustandFenster>(*this, loader, Beschriftung, Spalte, IniDatei);
    case 7:
        return Erzeuge<TLuftdruckFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 8:
        return Erzeuge<TTrendFenster>(*this, loader, Beschriftung, Spalte, IniDatei);
    case 9:
        return Erzeuge<TSchreiberFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 10:
        return Erzeuge<TRegenMesserFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei, Nachkommastellen);
    case 11:
        return Erzeuge<TGrafikRegenMesserFenster>(*this, loader, Beschriftung, Einheit, Spalte, IniDatei,
                                                  Nachkommastellen);
    case -1:
        return Erzeuge<TLoggerzeitFenster>(*this, loader, IniDatei);
    case -2:
        return Erzeuge<TSystemzeitFenster>(*this, IniDatei);
    default:
        return nullptr;
    }
}

QList<TGrundFenster*> THauptFenster::Anzeigefenster() const
{
    QList<TGrundFenster*> fenster;
    for (QObject* k : m_komponenten.Components())
        if (auto* f = dynamic_cast<TGrundFenster*>(k))
            fenster << f;
    return fenster;
}

void THauptFenster::ErzeugeKonfigurierteFenster()
{
    const TIniFile ini(IniDatei);
    QStringList sektionen;
    ini.ReadSections(sektionen);
    // One window that can't be made must not keep the others away, nor
    // bring up a box of its own before the program has even started.
    QList<std::pair<QString, QString>> nichtErzeugt;   // section, reason
    for (const QString& s : sektionen) {
        if (s.toUpper() == QLatin1String("GLOBAL"))
            continue;
        if (!ini.ReadBool(s, QStringLiteral("Aktiv"), false))
            continue;
        const int id = ini.ReadInteger(s, QStringLiteral("FensterID"), -9999);
        const QString spalte = ini.ReadString(s, QStringLiteral("Spalte"), QString());
        const int komma = KommaFuer(spalte);
        try {
            if (id >= 1 && id <= 11) {
                if (!DatenLoader->SpalteVorhanden(spalte, 5))
                    continue;
                // A recorder beyond the fourth says so in its own plain box.
                ErzeugeFenster(id, QString(), QString(), spalte, komma);
            } else if (id == -1 || id == -2) {
                ErzeugeFenster(id, QString(), QString(), QString(), 0);
            }
        } catch (const std::exception& e) {
            nichtErzeugt.append({s, FehlerText(e)});
        } catch (...) {
            nichtErzeugt.append({s, QStringLiteral("Unbekannter Fehler")});
        }
    }
    MeldeNichtErzeugt(nichtErzeugt);
}

void THauptFenster::MeldeNichtErzeugt(const QList<std::pair<QString, QString>>& Sektionen)
{
    if (Sektionen.isEmpty())
        return;
    QStringList zeilen;
    for (const auto& [sektion, grund] : Sektionen)
        zeilen << Format(QStringLiteral("Fenster [%s] kann nicht erzeugt werden: %s"), {sektion, grund});
    Protokolliere(zeilen);
    if (Sektionen.size() == 1) {
        ShowExceptionMessage(zeilen.first());
        return;
    }
    // The box names the first few; the log holds them all.
    constexpr int kImKasten = 10;
    QStringList text{Format(QStringLiteral("%d Fenster konnte(n) nicht erzeugt werden:"), {int(Sektionen.size())})};
    for (int i = 0; i < Sektionen.size() && i < kImKasten; ++i)
        text << u'[' + Sektionen.at(i).first + QStringLiteral("] ") + Sektionen.at(i).second;
    if (Sektionen.size() > kImKasten)
        text << Format(QStringLiteral("... und %d weitere, siehe %s"), {int(Sektionen.size()) - kImKasten, m_logDatei});
    ShowExceptionMessage(text.join(u'\n'));
}

void THauptFenster::ErzeugeStandardFenster()
{
    for (QAction* kind : FensterMenu->actions()) {
        if (QMenu* typen = kind->menu()) {
            if (!typen->actions().isEmpty()) {
                QAction* erster = typen->actions().first();
                // Columns whose names give the same window name share one.
                QStringList spalten;
                DatenLoader->GetSpaltenNamen(spalten);
                const int index = kind->data().toInt();
                if (index >= 0 && index < spalten.size()
                    && m_komponenten.FindComponent(FensterName(spalten.at(index), erster->data().toInt())))
                    continue;
                Guarded([&] { FensterTypClick(erster); });
            }
        } else if (kind->isEnabled()) {
            Guarded([&] { UhrzeitFensterClick(kind); });
        }
    }
    OptimierePositionen();
    // Sections now, not only at close: a first run that dies must not come
    // back with "ErsterStart" = 0 and no windows.
    MerkeStartSchreibFehler([&] {
        for (TGrundFenster* f : Anzeigefenster())
            f->SpeichereKonfiguration(IniDatei);
    });
}

void THauptFenster::HauptPopUpPopup()
{
    if (!DatenLoader)
        return;
    QStringList spalten;
    DatenLoader->GetSpaltenNamen(spalten);
    for (QAction* kind : FensterMenu->actions()) {
        const int tag = kind->data().toInt();
        if (tag == -2) {
            kind->setEnabled(!m_komponenten.FindComponent(QStringLiteral("SystemzeitFenster")));
        } else if (tag == -1) {
            kind->setEnabled(!m_komponenten.FindComponent(QStringLiteral("LoggerzeitFenster")));
        } else if (QMenu* typen = kind->menu()) {
            // A column the header lost meanwhile offers no windows.
            const bool vorhanden = tag >= 0 && tag < spalten.size();
            for (QAction* t : typen->actions())
                t->setEnabled(vorhanden && !m_komponenten.FindComponent(FensterName(spalten.at(tag), t->data().toInt())));
        }
    }
}

void THauptFenster::FensterTypClick(QAction* Sender)
{
    if (!DatenLoader || !Sender)
        return;
    QStringList spalten;
    DatenLoader->GetSpaltenNamen(spalten);
    QMenu* eltern = qobject_cast<QMenu*>(Sender->parent());
    if (!eltern)
        return;
    QAction* spaltenPunkt = eltern->menuAction();
    const int index = spaltenPunkt->data().toInt();
    if (index < 0 || index >= spalten.size())
        return;
    const QString spalte = spalten.at(index);
    ErzeugeFenster(Sender->data().toInt(), spaltenPunkt->text(), spaltenPunkt->statusTip(), spalte, KommaFuer(spalte));
}

void THauptFenster::UhrzeitFensterClick(QAction* Sender)
{
    if (!Sender)
        return;
    if (Sender->text() == kSystemUhr)
        ErzeugeFenster(-2, QString(), QString(), QString(), 0);
    else if (DatenLoader)
        ErzeugeFenster(-1, QString(), QString(), QString(), 0);
}

void THauptFenster::OptimierePositionen()
{
    const QList<QObject*> komponenten = m_komponenten.Components();
    // A window may be closed and freed while events are processed.
    QList<QPointer<TGrundFenster>> fenster;
    std::vector<TPlatzKomponente> eintraege;
    eintraege.reserve(static_cast<size_t>(komponenten.size()));
    for (QObject* k : komponenten) {
        auto* f = dynamic_cast<TGrundFenster*>(k);
        fenster << f;
        eintraege.push_back(TPlatzKomponente{f != nullptr, f ? f->width() : 0, f ? f->height() : 0});
    }
    OptimierungStatus->show();
    const TPlatzErgebnis ergebnis = OptimierePositionenBerechnen(
        eintraege, Screen().Width(), Screen().Height(), [this](int prozent) { OptimierungStatus->setValue(prozent); },
        [] { QCoreApplication::processEvents(); });
    for (int i = 0; i < fenster.size(); ++i) {
        TGrundFenster* f = fenster.at(i);
        if (f && m_komponenten.IndexOf(f) >= 0)
            f->move(ergebnis.Positionen.at(static_cast<size_t>(i)));
    }
    OptimierungStatus->hide();
    if (ergebnis.NichtPlatziert > 0)
        ShowMessage(NichtPlatziertMeldung(ergebnis.NichtPlatziert));
}
