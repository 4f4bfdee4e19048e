#pragma once

#include "GrundFensterUnit.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include "ComponentNames.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class TDatenLoader;
class TIniFile;
class TInstanzGuard;
class TLogFile;
class TTimer;

// How the program was started: its own file and the command line after it.
struct TStartParameter {
    QString ProgrammDatei;
    QStringList Argumente;
};

// The full-screen main window: owns the loader, the log file and every
// display window, and runs the start-up and the shutdown.
class THauptFenster : public QWidget, public TFensterOwner {
public:
    explicit THauptFenster(const TStartParameter& Start);
    ~THauptFenster() override;

    // The data file choice was cancelled: nothing was created or written,
    // and the program ends.
    bool StartAbgebrochen() const { return m_abgebrochen; }

    // --- TFensterOwner ------------------------------------------------------
    bool FensterFest() const override { return m_fensterFest; }
    TComponentOwner& Komponenten() override { return m_komponenten; }
    // The display windows belong to the main window, so a window manager
    // keeps them above it.
    QWidget* FensterParent() override { return this; }

    // --- Settings -------------------------------------------------------------
    void SetStandardkomma(int Value);
    void SetHintergrund(const QString& Value);
    void SetInterval(int Value);
    void SetHalteDauer(double Value);
    void SetFensterFest(bool Value);

    // --- Loader messages, auto-save, close --------------------------------
    void LoaderMeldung(TDatenLoader* Sender);
    void Timer1Timer();
    // Runs the close handler. A configuration that can't be written is said
    // in a box (on stderr without dialogs) and in the log, and the close
    // goes on; SchreibFehler() then holds.
    bool FormClose();
    // The close for a signal or the session's end: no box waits for anyone;
    // what can't be written is said on stderr, and the history is tried
    // whatever failed before it.
    void SchliesseOhneDialog();
    // Something could not be written at the close (said on stderr): the
    // program ends with a failure.
    bool SchreibFehler() const { return m_schreibFehler; }

    // --- Menu commands ----------------------------------------------------------
    void HauptPopUpPopup();
    void FensterTypClick(QAction* Sender);
    void UhrzeitFensterClick(QAction* Sender);
    void KonfigurationspeichernClick();
    void OptimierePositionenClick();
    void LogDateindernClick();
    void Programm1Click();
    void InfoClick();
    void FensterFClick();
    void BeendenClick();
    void OptimierePositionen();

    // Creates the window of a type for a column; nullptr for a type that
    // has no window class here. Raises what the window's constructor raises.
    TGrundFenster* ErzeugeFenster(int FensterID, const QString& Beschriftung, const QString& Einheit,
                                  const QString& Spalte, int Nachkommastellen);
    // The display windows in ownership order.
    QList<TGrundFenster*> Anzeigefenster() const;

    // --- Fields -------------------------------------------------------------
    int Standardkomma = 1;
    QString HintergrundBild;
    int Interval = 2000;
    double HalteDauer = 1.0;
    std::unique_ptr<TDatenLoader> DatenLoader;
    QString IniDatei;
    std::unique_ptr<TLogFile> Protokoll;
    QString AutoSaveDatei;
    bool TochterAnzeige = false;
    // The single-instance guard, handed over by the entry (not owned).
    TInstanzGuard* InstanzMutex = nullptr;

    QMenu* HauptPopUp = nullptr;
    QMenu* FensterMenu = nullptr;   // children of the item "Fenster"
    QAction* Fenster = nullptr;
    QAction* Konfigurationspeichern = nullptr;
    QAction* OptimierePositionenItem = nullptr;
    QAction* LogDateindern = nullptr;
    QAction* Programm1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Beenden = nullptr;
    QAction* Info = nullptr;
    QAction* N2 = nullptr;
    QAction* FensterF = nullptr;
    QLabel* Image1 = nullptr;
    QProgressBar* OptimierungStatus = nullptr;
    QFrame* BeendenBevel = nullptr;
    QPushButton* BeendenButton = nullptr;
    std::unique_ptr<TTimer> Timer1;

    // The top-level menu items in menu order, with their component names.
    QList<QAction*> MenuPunkte() const;

    // Test seams: starting the new instance after a data file change, and
    // what happens once the close is done (the entry quits the application).
    static std::function<bool(const QString& Programm, const QStringList& Argumente)>& NeuerProzess();
    std::function<void()> OnBeendet;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BaueForm();
    void FormCreate(const TStartParameter& Start);
    bool WaehleDatendatei(const TStartParameter& Start, QString& Datei);
    void BaueFensterMenu();
    // A new header may move, add or drop columns: the menu's entries are
    // made anew, so each names the column it makes a window for.
    void BaueFensterMenuNeu();
    void ErzeugeKonfigurierteFenster();
    // One box for the sections whose windows could not be made; each in the log.
    void MeldeNichtErzeugt(const QList<std::pair<QString, QString>>& Sektionen);
    void ErzeugeStandardFenster();
    // What the start-up can't write to the configuration is said once, in
    // the log and in one box after the start, not in a box of its own.
    void MerkeStartSchreibFehler(const std::function<void()>& Schreiben);
    void MeldeStartSchreibFehler();
    int KommaFuer(const QString& Spalte) const;
    void SchreibeGlobal(bool mitMenuPunkten, bool mitAutoSave);
    bool SpeichereSicherung();
    void MeldeSchreibFehler(const QString& Text);
    void Protokolliere(const QStringList& Zeilen);
    void BaueAb();
    QAction* NeuerPunkt(const QString& Name, const QString& Text, std::function<void()> Handler);

    QString m_programmDatei;
    QString m_logDatei;
    bool m_fensterFest = false;
    bool m_abgebrochen = false;
    bool m_uebergeben = false;   // a new instance has taken over
    bool m_geschlossen = false;
    bool m_logFehlerGemeldet = false;
    bool m_ohneDialog = false;
    bool m_schreibFehler = false;
    QStringList m_startSchreibFehler;
    QString m_abgeglichen;   // the save file whose records the store holds
    std::unique_ptr<TDatenLoader> m_abgegebenerLoader;   // after the close
    TComponentOwner m_komponenten;
};
