#include "DiagrammDialog.h"

#include "AppErrors.h"
#include "Graphics.h"
#include "WindowHints.h"

#include <QPushButton>
#include <QVBoxLayout>

TDiagrammDialog::TDiagrammDialog(QWidget* AOwner, const QString& Name)
    : QDialog(AOwner, Qt::WindowStaysOnTopHint)
{
    SetDialogBorder(this, TDialogBorder::ToolWindow);
    setObjectName(Name);
    setFont(ToQFont(TFontDesc{}));
    // A tool window's border: not resizable.
    setFixedSize(607, 353);

    auto* spalten = new QVBoxLayout(this);
    spalten->setContentsMargins(0, 0, 0, 0);
    spalten->setSpacing(0);
    Diagramm = new TChart(this);
    Diagramm->setMinimumSize(100, 80);
    Diagramm->SetBackWallColor(clWhite);
    Diagramm->SetBackWallTransparent(true);
    spalten->addWidget(Diagramm, 1);

    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(25);
    spalten->addWidget(Panel1);
    Button1 = new QPushButton(QStringLiteral("Schliessen"), Panel1);
    Button1->setGeometry(8, 5, 75, 17);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([&] { Button1Click(); }); });
}

TDiagrammDialog::~TDiagrammDialog() = default;

void TDiagrammDialog::Registriere(TDatenLoader* Loader)
{
    if (!Loader)
        return;
    LoaderClient = std::make_unique<TLoaderClient>(Loader);
    LoaderClient->OnNeueDaten = [this](TDatenLoader* Sender) { Guarded([&] { Aktualisiere(Sender); }); };
}

void TDiagrammDialog::Button1Click()
{
    close();
}

void TDiagrammDialog::done(int Ergebnis)
{
    LoaderClient.reset();
    QDialog::done(Ergebnis);
}

void TDiagrammDialog::ZeigeModal(TDiagrammDialog* Dialog)
{
    if (!Dialog)
        return;
    Dialog->setAttribute(Qt::WA_DeleteOnClose);
    Dialog->exec();
}
