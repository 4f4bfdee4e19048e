#include "PrgEinstDlg.h"

#include "AppErrors.h"
#include "Dialogs.h"
#include "SysUtils.h"
#include "WindowHints.h"

#include <QDir>

#include <QFileInfo>

bool GleicheDatei(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo fa(a), fb(b);
    const QString ca = fa.exists() ? fa.canonicalFilePath() : QDir::cleanPath(fa.absoluteFilePath());
    const QString cb = fb.exists() ? fb.canonicalFilePath() : QDir::cleanPath(fb.absoluteFilePath());
    return ca == cb;
}

TDateinameEdit::TDateinameEdit(QWidget* parent, int left, int top, int width, int height) : QWidget(parent)
{
    setGeometry(left, top, width, height);
    Edit = new QLineEdit(this);
    Edit->setGeometry(0, 0, width - height - 2, height);
    Button = new QToolButton(this);
    Button->setText(QStringLiteral("..."));
    Button->setGeometry(width - height, 0, height, height);
    Button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(Edit);
    connect(Button, &QToolButton::clicked, this, [this] { Guarded([this] { Durchsuchen(); }); });
}

void TDateinameEdit::Durchsuchen()
{
    QString name = FileName();
    const QString ordner = name.isEmpty() ? QString() : QFileInfo(name).absolutePath();
    if (ChooseOpenFile(DialogTitle, Filter, ordner, name))
        SetFileName(name);
}

TPrgEinstDialog1::TPrgEinstDialog1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PrgEinstDialog1"));
    setWindowTitle(QStringLiteral("Programmeinstellungen"));
    setFixedSize(370, 122);
    // Display windows stay on top; the dialog must not hide behind them.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    SetDialogBorder(this, TDialogBorder::Dialog);

    Label1 = new QLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setText(QStringLiteral("&AutoSave-Datei:"));
    Label1->setGeometry(8, 12, 354, 16);

    AutoSaveDateiJFE1 = new TDateinameEdit(this, 8, 30, 354, 22);
    AutoSaveDateiJFE1->DialogTitle = QStringLiteral("AutoSave-Datei");
    Label1->setBuddy(AutoSaveDateiJFE1->Edit);

    TochterAnzeigeCB1 = new QCheckBox(QStringLiteral("&Tochteranzeige"), this);
    TochterAnzeigeCB1->setGeometry(8, 60, 200, 20);

    OKButton1 = new QPushButton(QStringLiteral("OK"), this);
    OKButton1->setGeometry(196, 90, 80, 25);
    OKButton1->setDefault(true);
    AbbrechenButton1 = new QPushButton(QStringLiteral("Abbrechen"), this);
    AbbrechenButton1->setGeometry(282, 90, 80, 25);
    connect(OKButton1, &QPushButton::clicked, this, [this] { Guarded([this] { OKButton1Click(); }); });
    // Escape and the close box reject as well.
    connect(AbbrechenButton1, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrgEinstDialog1::OKButton1Click()
{
    const QString name = AutoSaveDateiJFE1->FileName();
    for (const QString& eigene : EigeneDateien) {
        if (GleicheDatei(name, eigene)) {
            ShowMessage(Format("%s kann nicht erzeugt werden!", {name}));
            AutoSaveDateiJFE1->Edit->setFocus();
            return;
        }
    }
    accept();
}

bool TPrgEinstDialog1::Ausfuehren()
{
    AutoSaveDateiJFE1->SetFileName(AutoSaveDatei);
    TochterAnzeigeCB1->setChecked(TochterAnzeige);
    if (exec() != QDialog::Accepted)
        return false;
    AutoSaveDatei = AutoSaveDateiJFE1->FileName();
    TochterAnzeige = TochterAnzeigeCB1->isChecked();
    return true;
}
