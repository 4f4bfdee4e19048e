#include "HauptFensterUnit.h"
#include "HauptFensterIntern.h"

#include "AppErrors.h"
#include "DatenLoaderUnit.h"
#include "Dialogs.h"
#include "Graphics.h"
#include "IniFiles.h"
#include "InfoDlgs.h"
#include "InstanzGuard.h"
#include "Konstanten.h"
#include "LogFile.h"
#include "OptionenFensterUnit.h"
#include "PositionsOptimierung.h"
#include "PrgEinstDlg.h"
#include "Screen.h"
#include "SysUtils.h"
#include "TextFile.h"
#include "Timer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

// The program file's name with another extension.
QString MitEndung(const QString& programm, const QString& endung)
{
    const QFileInfo fi(programm);
    const QString name = fi.fileName();
    const qsizetype punkt = name.lastIndexOf(u'.');
    const QString basis = punkt > 0 ? name.left(punkt) : name;
    return QDir(fi.absolutePath()).filePath(basis + endung);
}

} // namespace

std::function<bool(const QString&, const QStringList&)>& THauptFenster::NeuerProzess()
{
    static std::function<bool(const QString&, const QStringList&)> start = [](const QString& programm,
                                                                               const QStringList& argumente) {
        return QProcess::startDetached(programm, argumente);
    };
    return start;
}

THauptFenster::THauptFenster(const TStartParameter& Start)
    : QWidget(nullptr, Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    OeffneOptionen = [this](TGrundFenster& Fenster) { ZeigeOptionen(*this, Fenster); };
    BaueForm();
    FormCreate(Start);
}

THauptFenster::~THauptFenster()
{
    BaueAb();
}

// ---------------------------------------------------------------------------
// The form

QAction* THauptFenster::NeuerPunkt(const QString& Name, const QString& Text, std::function<void()> Handler)
{
    auto* punkt = new QAction(Text, this);
    punkt->setObjectName(Name);
    if (Handler)
        connect(punkt, &QAction::triggered, this, [h = std::move(Handler)] { Guarded(h); });
    HauptPopUp->addAction(punkt);
    return punkt;
}

void THauptFenster::BaueForm()
{
    setWindowTitle(QStringLiteral("Vantorel"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorToQColor(clBtnFace));
    setPalette(pal);

    HauptPopUp = new QMenu(this);
    HauptPopUp->setObjectName(QStringLiteral("HauptPopUp"));
    FensterMenu = new QMenu(QStringLiteral("Fenster einblenden"), this);
    Fenster = FensterMenu->menuAction();
    Fenster->setObjectName(QStringLiteral("Fenster"));
    HauptPopUp->addAction(Fenster);
    Konfigurationspeichern = NeuerPunkt(QStringLiteral("Konfigurationspeichern"), QStringLiteral("Konfiguration speichern"),
                                        [this] { KonfigurationspeichernClick(); });
    OptimierePositionenItem = NeuerPunkt(QStringLiteral("OptimierePositionen"), QStringLiteral("Optimiere Positionen"),
                                         [this] { OptimierePositionenClick(); });
    LogDateindern = NeuerPunkt(QStringLiteral("LogDateindern"), QStringLiteral("Log-Datei ändern..."),
                               [this] { LogDateindernClick(); });
    Programm1 = NeuerPunkt(QStringLiteral("Programm1"), QStringLiteral("Programmeinstellungen..."),
                           [this] { Programm1Click(); });
    N1 = NeuerPunkt(QStringLiteral("N1"), QString(), nullptr);
    N1->setSeparator(true);
    Beenden = NeuerPunkt(QStringLiteral("Beenden"), QStringLiteral("Beenden"), [this] { BeendenClick(); });
    Beenden->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    HauptPopUp->setDefaultAction(Beenden);
    Info = NeuerPunkt(QStringLiteral("Info"), QStringLiteral("Info"), [this] { InfoClick(); });
    Info->setShortcut(QKeySequence(Qt::Key_F1));
    N2 = NeuerPunkt(QStringLiteral("N2"), QString(), nullptr);
    N2->setSeparator(true);
    FensterF = NeuerPunkt(QStringLiteral("FensterF"), QStringLiteral("Fenster fest"), [this] { FensterFClick(); });
    FensterF->setCheckable(true);
    // Shortcuts act while the main window has the focus.
    addAction(Beenden);
    addAction(Info);
    connect(HauptPopUp, &QMenu::aboutToShow, this, [this] { Guarded([this] { HauptPopUpPopup(); }); });

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);

    OptimierungStatus = new QProgressBar(this);
    OptimierungStatus->setObjectName(QStringLiteral("OptimierungStatus"));
    OptimierungStatus->setRange(0, 100);
    OptimierungStatus->setTextVisible(false);
    OptimierungStatus->hide();

    BeendenBevel = new QFrame(this);
    BeendenBevel->setObjectName(QStringLiteral("BeendenBevel"));
    BeendenBevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    BeendenBevel->resize(153, 65);
    BeendenButton = new QPushButton(QStringLiteral("&Beenden"), this);
    BeendenButton->setObjectName(QStringLiteral("BeendenButton"));
    TFontDesc schrift;
    schrift.Name = QStringLiteral("MS Sans Serif");
    schrift.Height = -19;
    schrift.Bold = true;
    BeendenButton->setFont(ToQFont(schrift));
    BeendenButton->resize(137, 49);
    connect(BeendenButton, &QPushButton::clicked, this, [this] { Guarded([this] { BeendenClick(); }); });

    // The auto-save timer runs from the window's creation on.
    Timer1 = std::make_unique<TTimer>();
    Timer1->SetInterval(600000);
    Timer1->OnTimer = [this](TTimer*) { Guarded([this] { Timer1Timer(); }); };
    Timer1->SetEnabled(true);

    const ScreenInfo& bildschirm = Screen();
    setGeometry(0, 0, bildschirm.Width(), bildschirm.Height());
}

void THauptFenster::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Image1->setGeometry(rect());
    OptimierungStatus->setGeometry(0, height() - 16, width(), 16);
    BeendenBevel->move(width() - 14 - BeendenBevel->width(), height() - 24 - BeendenBevel->height());
    BeendenButton->move(BeendenBevel->x() + 8, BeendenBevel->y() + 8);
    Image1->lower();
}

QList<QAction*> THauptFenster::MenuPunkte() const
{
    return {Fenster, Konfigurationspeichern, OptimierePositionenItem, LogDateindern, Programm1,
            N1, Beenden, Info, N2, FensterF};
}

void THauptFenster::contextMenuEvent(QContextMenuEvent* event)
{
    HauptPopUp->popup(event->globalPos());
    event->accept();
}

// ---------------------------------------------------------------------------
// Start-up

void THauptFenster::FormCreate(const TStartParameter& Start)
{
    m_programmDatei = QFileInfo(Start.ProgrammDatei).absoluteFilePath();
    IniDatei = MitEndung(m_programmDatei, QStringLiteral(".ini"));
    m_logDatei = MitEndung(m_programmDatei, QStringLiteral(".log"));
    TIniFile ini(IniDatei);
    const bool logWarDa = QFileInfo::exists(m_logDatei);
    Protokoll = std::make_unique<TLogFile>(m_logDatei, 1000, true);

    SetHintergrund(ini.ReadString(kGlobal, QStringLiteral("Hintergrund"), QString()));
    Interval = ini.ReadInteger(kGlobal, QStringLiteral("Interval"), 2000);
    HalteDauer = ini.ReadFloat(kGlobal, QStringLiteral("HalteDauer"), 1.0);
    SetFensterFest(ini.ReadBool(kGlobal, QStringLiteral("FensterFest"), false));
    const QString programmOrdner = QFileInfo(m_programmDatei).absolutePath() + u'/';
    AutoSaveDatei = ini.ReadString(kGlobal, QStringLiteral("AutoSave"), programmOrdner + QStringLiteral("AutoSave.sav"));
    TochterAnzeige = ini.ReadBool(kGlobal, QStringLiteral("TochterAnzeige"), false);

    QString datei;
    if (!WaehleDatendatei(Start, datei)) {
        // Ending here leaves no trace: not even an empty log file.
        m_abgebrochen = true;
        Protokoll.reset();
        if (!logWarDa && QFileInfo(m_logDatei).size() == 0)
            QFile::remove(m_logDatei);
        return;
    }

    // Whatever a killed save left beside our files is ours and stale: this
    // instance holds the guard.
    for (const QString& eigene : {AutoSaveDatei, IniDatei, m_logDatei})
        RemoveStaleTempFiles(eigene);

    DatenLoader = std::make_unique<TDatenLoader>(datei, Interval, HalteDauer, u'\t', false);
    DatenLoader->LeseHeader();
    DatenLoader->OnMeldung = [this](TDatenLoader* s) { LoaderMeldung(s); };
    DatenLoader->OnNeuerHeader = [this](TDatenLoader*) { BaueFensterMenuNeu(); };
    DatenLoader->SicherungsDatei = TochterAnzeige ? QString() : AutoSaveDatei;
    SetStandardkomma(ini.ReadInteger(kGlobal, QStringLiteral("Standardkomma"), 1));

    if (DatenLoader->Meldungen.isEmpty()) {
        // Only a plain file: a device would be read for ever.
        if (QFileInfo(AutoSaveDatei).isFile())
            DatenLoader->LadeSicherung(AutoSaveDatei);
        m_abgeglichen = AutoSaveDatei;
        BaueFensterMenu();
    }

    for (QAction* punkt : MenuPunkte())
        punkt->setEnabled(ini.ReadBool(kGlobal, punkt->objectName(), true));
    const bool beendenFenster = ini.ReadBool(kGlobal, QStringLiteral("BeendenFenster"), false);
    BeendenButton->setVisible(beendenFenster);
    BeendenBevel->setVisible(beendenFenster);

    const bool ersterStart = ini.ReadBool(kGlobal, QStringLiteral("ErsterStart"), true);
    // An unwritable configuration must not stop the start-up here.
    MerkeStartSchreibFehler([&] { ini.WriteBool(kGlobal, QStringLiteral("ErsterStart"), false); });

    if (ersterStart)
        ErzeugeStandardFenster();
    else
        ErzeugeKonfigurierteFenster();

    DatenLoader->SetAktiv(true);
    MeldeStartSchreibFehler();
}

void THauptFenster::MerkeStartSchreibFehler(const std::function<void()>& Schreiben)
{
    try {
        Schreiben();
    } catch (const std::exception& e) {
        m_startSchreibFehler << FehlerText(e);
    } catch (...) {
        m_startSchreibFehler << QStringLiteral("Unbekannter Fehler");
    }
}

void THauptFenster::MeldeStartSchreibFehler()
{
    if (m_startSchreibFehler.isEmpty())
        return;
    m_startSchreibFehler.removeDuplicates();
    Protokolliere(m_startSchreibFehler);
    // A station computer may run unattended: the box waits until the windows
    // show and the polling runs. A close before then says it on its own.
    QTimer::singleShot(0, this, [this, text = m_startSchreibFehler.join(u'\n')] {
        if (!m_geschlossen)
            ShowExceptionMessage(text);
    });
    m_startSchreibFehler.clear();
}

bool THauptFenster::WaehleDatendatei(const TStartParameter& Start, QString& Datei)
{
    if (!Start.Argumente.isEmpty()) {
        if (QFileInfo(Start.Argumente.first()).isFile()) {
            Datei = Start.Argumente.first();
            return true;
        }
    } else {
        const QString letzte = TIniFile(IniDatei).ReadString(kGlobal, QStringLiteral("LogDatei"), QString());
        if (!letzte.isEmpty() && QFileInfo(letzte).isFile()) {
            Datei = letzte;
            return true;
        }
    }
    QString gewaehlt;
    if (ChooseOpenFile(QStringLiteral("Öffne Log-Datei"), QStringLiteral("Log-Dateien|*.log|Alle Dateien|*.*"),
                       QString(), gewaehlt)
        && QFileInfo(gewaehlt).isFile()) {
        Datei = gewaehlt;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Menu

void THauptFenster::SchreibeGlobal(bool mitMenuPunkten, bool mitAutoSave)
{
    TIniFile ini(IniDatei);
    ini.WriteString(kGlobal, QStringLiteral("Hintergrund"), HintergrundBild);
    ini.WriteInteger(kGlobal, QStringLiteral("Interval"), Interval);
    ini.WriteFloat(kGlobal, QStringLiteral("HalteDauer"), HalteDauer);
    ini.WriteString(kGlobal, QStringLiteral("LogDatei"), DatenLoader ? DatenLoader->Datei : QString());
    ini.WriteBool(kGlobal, QStringLiteral("FensterFest"), m_fensterFest);
    if (mitAutoSave) {
        ini.WriteString(kGlobal, QStringLiteral("AutoSave"), AutoSaveDatei);
        ini.WriteBool(kGlobal, QStringLiteral("TochterAnzeige"), TochterAnzeige);
    }
    if (mitMenuPunkten)
        for (QAction* punkt : MenuPunkte())
            ini.WriteBool(kGlobal, punkt->objectName(), punkt->isEnabled());
}

void THauptFenster::KonfigurationspeichernClick()
{
    for (TGrundFenster* f : Anzeigefenster())
        f->SpeichereKonfiguration(IniDatei);
    SchreibeGlobal(false, true);
}

void THauptFenster::OptimierePositionenClick()
{
    OptimierePositionen();
}

void THauptFenster::LogDateindernClick()
{
    QString gewaehlt;
    const bool gewaehltOk = ChooseOpenFile(QStringLiteral("Öffne Log-Datei"),
                                           QStringLiteral("Log-Dateien|*.log|Alle Dateien|*.*"), QString(), gewaehlt);
    // Closed while the chooser was open (a signal, the session's end): the
    // close ended the chooser, which is no missing file; the files are
    // written already and there is no loader to hand over.
    if (m_geschlossen || !DatenLoader)
        return;
    if (!gewaehltOk || !QFileInfo(gewaehlt).isFile()) {
        ShowMessage(QStringLiteral("Log-Datei existiert nicht!"));
        return;
    }
    const Qt::WindowStates zustand = windowState();
    const bool warAktiv = DatenLoader->Aktiv();
    showMinimized();
    DatenLoader->SetAktiv(false);
    try {
        if (!TochterAnzeige)
            SpeichereSicherung();
        KonfigurationspeichernClick();
    } catch (...) {
        // Nothing was handed over: this instance runs on as it did.
        DatenLoader->SetAktiv(warAktiv);
        setWindowState(zustand);
        throw;
    }
    // From here on the new instance owns the files: this one writes nothing
    // more, and gives the guard back before the new one starts.
    m_uebergeben = true;
    if (InstanzMutex)
        InstanzMutex->Schliesse();
    NeuerProzess()(m_programmDatei, QStringList{gewaehlt});
    close();
}

void THauptFenster::Programm1Click()
{
    TPrgEinstDialog1 dialog(this);
    dialog.EigeneDateien = {IniDatei, m_logDatei};
    if (DatenLoader)
        dialog.EigeneDateien << DatenLoader->Datei;
    dialog.AutoSaveDatei = AutoSaveDatei;
    dialog.TochterAnzeige = TochterAnzeige;
    if (dialog.Ausfuehren()) {
        AutoSaveDatei = dialog.AutoSaveDatei;
        TochterAnzeige = dialog.TochterAnzeige;
        if (DatenLoader)
            DatenLoader->SicherungsDatei = TochterAnzeige ? QString() : AutoSaveDatei;
    }
}

void THauptFenster::InfoClick()
{
    ZeigeInfoDialog(QStringLiteral("Momentanwertanzeige"));
}

void THauptFenster::FensterFClick()
{
    SetFensterFest(!m_fensterFest);
}

void THauptFenster::BeendenClick()
{
    close();
}

// ---------------------------------------------------------------------------
// Settings

void THauptFenster::SetStandardkomma(int Value)
{
    Standardkomma = Value;
}

void THauptFenster::SetHintergrund(const QString& Value)
{
    if (!Value.isEmpty() && QFileInfo(Value).isFile()) {
        // The picture format follows the file's extension.
        QImageReader leser(Value, QFileInfo(Value).suffix().toLower().toLatin1());
        leser.setDecideFormatFromContent(false);
        leser.setAutoDetectImageFormat(false);
        const QImage bild = leser.read();
        if (bild.isNull()) {
            ShowMessage(QStringLiteral("Beim Laden des Bildes ist ein Fehler aufgetreten."));
            return;
        }
        Image1->setPixmap(QPixmap::fromImage(bild));
        HintergrundBild = Value;
    } else if (Value.isEmpty()) {
        QPixmap leer(1, 1);
        leer.fill(ColorToQColor(clBtnFace));
        Image1->setPixmap(leer);
        HintergrundBild.clear();
    }
}

void THauptFenster::SetInterval(int Value)
{
    Interval = Value;
    if (DatenLoader)
        DatenLoader->AendereIntervall(Value);
}

void THauptFenster::SetHalteDauer(double Value)
{
    HalteDauer = Value;
    if (DatenLoader)
        DatenLoader->HalteDauer = Value;
}

void THauptFenster::SetFensterFest(bool Value)
{
    m_fensterFest = Value;
    FensterF->setChecked(Value);
}

// ---------------------------------------------------------------------------
// Loader messages, auto-save, close

void THauptFenster::LoaderMeldung(TDatenLoader* Sender)
{
    if (!Sender || !Protokoll)
        return;
    QStringList zeilen;
    QString letzte;
    for (const QString& m : Sender->Meldungen) {
        if (m != letzte) {
            letzte = m;
            zeilen << m;
        }
    }
    Protokolliere(zeilen);
}

void THauptFenster::Protokolliere(const QStringList& Zeilen)
{
    if (!Protokoll)
        return;
    // A log that can't be written must not stop the polling nor bring up a
    // box at every tick: it is said once, on the console.
    try {
        Protokoll->SchreibeAlle(Zeilen);
    } catch (const std::exception& e) {
        if (!m_logFehlerGemeldet) {
            m_logFehlerGemeldet = true;
            std::fprintf(stderr, "vantorel: %s\n", e.what());
        }
    }
}

bool THauptFenster::SpeichereSicherung()
{
    if (!DatenLoader)
        return true;
    // The save file must never overwrite the data, the configuration or the log.
    if (GleicheDatei(AutoSaveDatei, DatenLoader->Datei) || GleicheDatei(AutoSaveDatei, IniDatei)
        || GleicheDatei(AutoSaveDatei, m_logDatei)) {
        DatenLoader->Meldungen.append(Format("%s kann nicht erzeugt werden!", {AutoSaveDatei}));
        return false;
    }
    // A save file this run has not merged (the start-up skipped it, or the
    // name was changed since) holds records the store lacks: they come in
    // first, and a file of another layout stays as it is.
    if (!GleicheDatei(AutoSaveDatei, m_abgeglichen) && QFileInfo(AutoSaveDatei).isFile()
        && !DatenLoader->LadeSicherung(AutoSaveDatei))
        return true;
    if (!DatenLoader->SpeichereDatei(AutoSaveDatei))
        return false;
    m_abgeglichen = AutoSaveDatei;
    return true;
}

void THauptFenster::MeldeSchreibFehler(const QString& Text)
{
    m_schreibFehler = true;
    std::fprintf(stderr, "vantorel: %s\n", Text.toLocal8Bit().constData());
}

void THauptFenster::Timer1Timer()
{
    if (!TochterAnzeige && DatenLoader)
        SpeichereSicherung();
}

bool THauptFenster::FormClose()
{
    if (m_geschlossen)
        return true;
    if (!m_uebergeben) {
        // A configuration that can't be written must not keep the program
        // from ending: only a kill would end it then, and the history would
        // be lost. Said (in a box when someone may answer it), logged, and
        // the close goes on.
        try {
            SchreibeGlobal(true, false);
        } catch (const std::exception& e) {
            MeldeSchreibFehler(FehlerText(e));
            Protokolliere({FehlerText(e)});
            if (!m_ohneDialog) {
                ShowException(e);
                // A signal while the box was open has closed already.
                if (m_geschlossen)
                    return true;
            }
        }
        // A history that can't be written is said, not lost with the loader;
        // so is a copy the save kept beside it.
        if (!TochterAnzeige && DatenLoader) {
            if (!SpeichereSicherung())
                MeldeSchreibFehler(DatenLoader->Meldungen.isEmpty() ? AutoSaveDatei : DatenLoader->Meldungen.last());
            LoaderMeldung(DatenLoader.get());
            DatenLoader->Meldungen.clear();
        }
    }
    // The loader is stopped and given up here, but freed only with the
    // window: a close that comes while one of its ticks waits in a message
    // box (a signal, the session's end) must not pull it away under it.
    if (DatenLoader) {
        DatenLoader->SetAktiv(false);
        DatenLoader->OnMeldung = nullptr;
        m_abgegebenerLoader = std::move(DatenLoader);
    }
    SetApplicationTitle(ApplicationTitle() + QStringLiteral(": Speichere Konfiguration"));
    showMinimized();
    m_geschlossen = true;
    return true;
}

void THauptFenster::SchliesseOhneDialog()
{
    m_ohneDialog = true;
    if (!m_geschlossen)
        FormClose();
    hide();
    if (OnBeendet)
        OnBeendet();
}

void THauptFenster::closeEvent(QCloseEvent* event)
{
    bool fertig = false;
    Guarded([&] { fertig = FormClose(); });
    if (!fertig) {
        // Stopped by something unforeseen, said by the default handler:
        // the window stays with its loader rather than close half-way.
        event->ignore();
        return;
    }
    event->accept();
    if (OnBeendet)
        OnBeendet();
}

void THauptFenster::BaueAb()
{
    Timer1.reset();
    // Freeing the loader detaches the windows' clients.
    m_abgegebenerLoader.reset();
    Protokoll.reset();
    // Each display window writes its own section, unless a new instance
    // has taken over the files.
    for (QObject* k : m_komponenten.Components()) {
        auto* f = dynamic_cast<TGrundFenster*>(k);
        if (!f)
            continue;
        if (!m_uebergeben)
            f->Abbauen();
        delete f;
    }
    DatenLoader.reset();
}
