#pragma once

#include "Chart.h"
#include "DatenLoaderUnit.h"

#include <QDialog>
#include <memory>

class QPushButton;

// The frame of the two chart dialogs: the chart above a panel with
// "Schliessen", a tool window that stays above the display windows, and a
// loader client through which the chart follows new data while it is open.
//
// A chart is built and filled by its constructor; ZeigeModal then runs it
// modal and frees it once it is closed. Tests and benchmarks build it
// without the modal loop.
class TDiagrammDialog : public QDialog {
public:
    ~TDiagrammDialog() override;

    // The chart's new-data handler.
    virtual void Aktualisiere(TDatenLoader* Sender) = 0;
    void Button1Click();

    // Runs the dialog modal; it is freed when it closes.
    static void ZeigeModal(TDiagrammDialog* Dialog);

    TChart* Diagramm = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;
    std::unique_ptr<TLoaderClient> LoaderClient;

protected:
    // Client area 607 x 353, fixed: the chart 607 x 328, the panel 25 high.
    TDiagrammDialog(QWidget* AOwner, const QString& Name);

    // From now on the loader's notifications reach Aktualisiere.
    void Registriere(TDatenLoader* Loader);
    // The client goes first: a closed chart takes no more notifications.
    void done(int Ergebnis) override;
};
