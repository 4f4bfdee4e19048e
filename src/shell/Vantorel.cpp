// The program's entry: one instance per user, the main window, the loop.
#include "AppErrors.h"
#include "Dialogs.h"
#include "HauptFensterUnit.h"
#include "InfoDlgs.h"
#include "InstanzGuard.h"
#include "SignalFang.h"
#include "Timer.h"
#include "Uebersetzung.h"
#include "WindowHints.h"

#include <QGuiApplication>
#include <QTimer>

#include <cstdio>

namespace {

// Boxes that came up after a close without dialogs, said on stderr instead.
int g_fehlerOhneDialog = 0;

// From a close by signal or by the session's end on, nobody may be there to
// answer: every box still to come is a line on stderr and a failure.
void KeineDialogeMehr()
{
    SetMessageHook([](const MessageRequest& r) {
        ++g_fehlerOhneDialog;
        std::fprintf(stderr, "vantorel: %s\n", r.Text.toLocal8Bit().constData());
        return IDOK;
    });
}

} // namespace

int main(int argc, char** argv)
{
    // Windows place themselves, which needs X11 (XWayland on Wayland).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    TInstanzErgebnis ergebnis = TInstanzErgebnis::Fehler;
    std::unique_ptr<TInstanzGuard> guard = TInstanzGuard::Erwerbe(QStringLiteral("VANTOREL"), &ergebnis);

    TApplication app(argc, argv);
    if (ergebnis == TInstanzErgebnis::LaeuftBereits) {
        MessageBox(QStringLiteral("Anwendung läuft bereits!"), ApplicationTitle(), MB_OK);
        return 0;
    }
    app.SetTitle(QStringLiteral("VANTORel"));
    InstalliereQtUebersetzung();
    // Whatever a timer's handler raises reaches the default handler.
    // The loader runs on while a box is open: one box at a time, so a
    // fault repeated at every tick doesn't pile them up.
    TTimer::SetExceptionHandler([](const std::exception* e) {
        static bool offen = false;
        if (offen)
            return;
        offen = true;
        if (e)
            ShowException(*e);
        else
            ShowExceptionMessage(QStringLiteral("Unbekannter Fehler"));
        offen = false;
    });
    app.setQuitOnLastWindowClosed(false);
    KeepModalDialogsShown(&app);

    TStartParameter start;
    start.ProgrammDatei = QCoreApplication::applicationFilePath();
    start.Argumente = QCoreApplication::arguments().mid(1);

    // A signal during the start-up ends a data file choice as cancelled, or
    // closes the program as soon as its main window is there.
    THauptFenster* hf = nullptr;
    bool beenden = false;
    const auto schliesseOhneDialog = [&hf, &beenden] {
        KeineDialogeMehr();
        beenden = true;
        if (hf)
            hf->SchliesseOhneDialog();
        else
            QCoreApplication::exit(0);
    };
    // Installed before anything slow.
    const TSignalFang signale(&app, schliesseOhneDialog);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, schliesseOhneDialog);

    std::unique_ptr<THauptFenster> hauptFenster;
    Guarded([&] { hauptFenster = std::make_unique<THauptFenster>(start); });
    if (!hauptFenster || hauptFenster->StartAbgebrochen()) {
        hauptFenster.reset();
        return 0;
    }
    hauptFenster->InstanzMutex = guard.get();
    hauptFenster->OnBeendet = [] { QCoreApplication::quit(); };
    // Owned by the main window, hidden; the Info command shows its own.
    new TInfoDialog1(hauptFenster.get());

    // A signal during the start-up that no loop has seen yet closes now:
    // nothing the start queued (its box) may show first.
    signale.Pruefe();
    hf = hauptFenster.get();
    if (beenden) {
        hf->SchliesseOhneDialog();
    } else {
        hauptFenster->showMaximized();
        // Without a window manager the last window mapped is on top.
        for (TGrundFenster* f : hauptFenster->Anzeigefenster())
            f->raise();
        app.exec();
    }

    // The windows write their sections before the guard goes, so a new
    // instance never reads a half-written configuration.
    const bool schreibFehler = hauptFenster->SchreibFehler();
    // The configuration can't be written, and one box has said so: the
    // windows' sections that fail with it are not a box each.
    if (schreibFehler)
        KeineDialogeMehr();
    hauptFenster.reset();
    hf = nullptr;
    if (guard)
        guard->Schliesse();
    return schreibFehler || g_fehlerOhneDialog > 0 ? 1 : 0;
}
