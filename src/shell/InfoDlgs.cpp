#include "InfoDlgs.h"

#include "Dialogs.h"
#include "SysUtils.h"
#include "WindowHints.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <memory>

// An empty component of the project's version counts as 0.
#define VT_VERSIONSTEIL(x) (x + 0)
#ifndef VANTOREL_VERSION_MAJOR
#define VANTOREL_VERSION_MAJOR 0
#endif
#ifndef VANTOREL_VERSION_MINOR
#define VANTOREL_VERSION_MINOR 0
#endif
#ifndef VANTOREL_VERSION_PATCH
#define VANTOREL_VERSION_PATCH 0
#endif
#ifndef VANTOREL_VERSION_TWEAK
#define VANTOREL_VERSION_TWEAK 0
#endif

namespace {

QLabel* TextLabel(QWidget* parent, int left, int top, int width, int height, const QString& text)
{
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setGeometry(left, top, width, height);
    return l;
}

TFontDesc Arial(int pixel)
{
    TFontDesc f;
    f.Name = QStringLiteral("Arial");
    f.Height = -pixel;
    return f;
}

} // namespace

QPixmap InfoBild()
{
    return QPixmap(QStringLiteral(":/bilder/InfoBild.png"));
}

QString AnschriftText()
{
    return QStringLiteral("Anzeige der Momentanwerte\neiner Wetterstation\n\nEin Programm der Vantorel-Entwickler");
}

TSchattenLabel::TSchattenLabel(QWidget* parent, int left, int top, int width, int height, const TFontDesc& font,
                               int schatten)
    : QLabel(parent), m_schatten(schatten)
{
    setTextFormat(Qt::PlainText);
    setFont(ToQFont(font));
    setGeometry(left, top, width, height);
}

void TSchattenLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    const QRect r = contentsRect().adjusted(0, 0, -m_schatten, -m_schatten);
    const int flags = static_cast<int>(alignment()) | Qt::TextSingleLine;
    p.setPen(ColorToQColor(clBtnShadow));
    p.drawText(r.translated(m_schatten, m_schatten), flags, text());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, flags, text());
}

TInfoDialog1::TInfoDialog1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("InfoDialog1"));
    setWindowTitle(QStringLiteral("Info über VANTORel"));
    setFixedSize(472, 287);
    // Display windows stay on top; the dialog must not hide behind them.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    SetDialogBorder(this, TDialogBorder::Dialog);

    Image1 = new QLabel(this);
    const QPixmap bild = InfoBild();
    Image1->setPixmap(bild);
    Image1->setGeometry(8, 8, bild.isNull() ? 180 : bild.width(), bild.isNull() ? 180 : bild.height());

    KorvasilRxLabel1 = new TSchattenLabel(this, 200, 16, 264, 34, Arial(25));
    ModulNameRxLabel1 = new TSchattenLabel(this, 200, 56, 264, 30, Arial(21));
    AnschriftLabel1 = TextLabel(this, 200, 100, 264, 84, AnschriftText());
    AnschriftLabel1->setFont(ToQFont(Arial(13)));
    AnschriftLabel1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(8, 198, 456, 2);

    ErstelltLabel1 = TextLabel(this, 8, 210, 360, 18, QString());
    BuildLabel1 = TextLabel(this, 8, 232, 360, 18, QString());

    OKButton1 = new QPushButton(QStringLiteral("OK"), this);
    OKButton1->setGeometry(384, 252, 80, 25);
    OKButton1->setDefault(true);
    OKButton1->setAutoDefault(true);
    // Escape and the close box reject, which closes the box all the same.
    connect(OKButton1, &QPushButton::clicked, this, &QDialog::accept);
}

void TInfoDialog1::Beschrifte(const QString& ModulName)
{
    KorvasilRxLabel1->setText(ApplicationTitle() + u' ' + QString::fromUtf8(Versionstext));
    ModulNameRxLabel1->setText(ModulName);

    const QFileInfo programm(QCoreApplication::applicationFilePath());
    const QDateTime geaendert = programm.exists() ? programm.lastModified() : QDateTime();
    QString erstellt = QStringLiteral("-");
    if (geaendert.isValid()) {
        const TDateTime dt = DateTimeFromQDateTime(geaendert);
        erstellt = DateToStr(dt) + u' ' + TimeToStr(dt);
    }
    ErstelltLabel1->setText(QStringLiteral("Erstellt am: ") + erstellt);

    std::uint16_t v1 = 0, v2 = 0, v3 = 0, v4 = 0;
    LiesVersionsnummer(v1, v2, v3, v4);
    BuildLabel1->setText(QStringLiteral("Build-Nr.: %1.%2.%3.%4").arg(v1).arg(v2).arg(v3).arg(v4));
}

void TInfoDialog1::LiesVersionsnummer(std::uint16_t& V1, std::uint16_t& V2, std::uint16_t& V3, std::uint16_t& V4)
{
    V1 = static_cast<std::uint16_t>(VT_VERSIONSTEIL(VANTOREL_VERSION_MAJOR));
    V2 = static_cast<std::uint16_t>(VT_VERSIONSTEIL(VANTOREL_VERSION_MINOR));
    V3 = static_cast<std::uint16_t>(VT_VERSIONSTEIL(VANTOREL_VERSION_PATCH));
    V4 = static_cast<std::uint16_t>(VT_VERSIONSTEIL(VANTOREL_VERSION_TWEAK));
}

int TInfoDialog1::ZeigeModal() { return exec(); }

void ZeigeInfoDialog(const QString& ModulName)
{
    auto dialog = std::make_unique<TInfoDialog1>();
    dialog->Beschrifte(ModulName);
    dialog->ZeigeModal();
}
