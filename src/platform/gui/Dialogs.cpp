#include "Dialogs.h"

#include "Graphics.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <utility>

namespace {

MessageHook messageHook;
OpenFileHook openFileHook;
ColorHook colorHook;
QString applicationTitle;
bool titleSet = false;

struct ButtonInfo {
    TMsgDlgBtn button;
    const char* text;
    QMessageBox::ButtonRole role;
    int result;
};

// In the order the buttons stand in the box.
const ButtonInfo buttonInfos[] = {
    {mbYes, "&Ja", QMessageBox::YesRole, mrYes},
    {mbNo, "&Nein", QMessageBox::NoRole, mrNo},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
    {mbCancel, "Abbrechen", QMessageBox::RejectRole, mrCancel},
    {mbAbort, "&Abbrechen", QMessageBox::RejectRole, mrAbort},
    {mbRetry, "&Wiederholen", QMessageBox::AcceptRole, mrRetry},
    {mbIgnore, "&Ignorieren", QMessageBox::AcceptRole, mrIgnore},
    {mbAll, "&Alle", QMessageBox::YesRole, mrAll},
    {mbNoToAll, "&Alle Nein", QMessageBox::NoRole, mrNoToAll},
    {mbYesToAll, "A&lle Ja", QMessageBox::YesRole, mrYesToAll},
};

QMessageBox::Icon iconFor(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

int showReal(const MessageRequest& request)
{
    QMessageBox box(QApplication::activeWindow());
    // Display windows stay on top; the box must not hide behind them.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowTitle(request.Caption);
    box.setText(request.Text);
    box.setIcon(iconFor(request.Type));
    QList<std::pair<QAbstractButton*, int>> results;
    QAbstractButton* escape = nullptr;
    for (const ButtonInfo& info : buttonInfos) {
        if (!request.Buttons.contains(info.button))
            continue;
        QPushButton* b = box.addButton(QString::fromUtf8(info.text), info.role);
        results.append({b, info.result});
        if (results.size() == 1)
            box.setDefaultButton(b);
        if (info.result == mrCancel || info.result == mrNo || (!escape && info.result == mrOk))
            escape = b;
    }
    if (results.isEmpty()) {
        QPushButton* b = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        results.append({b, mrOk});
        escape = b;
    }
    if (escape)
        box.setEscapeButton(escape);
    box.exec();
    for (const auto& [button, result] : results)
        if (box.clickedButton() == button)
            return result;
    return mrCancel;
}

int ask(const MessageRequest& request)
{
    if (messageHook)
        return messageHook(request);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return mrNone;
    return showReal(request);
}

} // namespace

void SetMessageHook(MessageHook hook)
{
    messageHook = std::move(hook);
}

QString ApplicationTitle()
{
    if (titleSet)
        return applicationTitle;
    return QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
}

void SetApplicationTitle(const QString& title)
{
    applicationTitle = title;
    titleSet = true;
}

int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx)
{
    QString caption;
    switch (type) {
    case mtWarning: caption = QStringLiteral("Warnung"); break;
    case mtError: caption = QStringLiteral("Fehler"); break;
    case mtInformation: caption = QStringLiteral("Information"); break;
    case mtConfirmation: caption = QStringLiteral("Bestätigen"); break;
    case mtCustom: caption = ApplicationTitle(); break;
    }
    return ask(MessageRequest{text, caption, type, buttons, helpCtx});
}

void ShowMessage(const QString& text)
{
    ask(MessageRequest{text, ApplicationTitle(), mtCustom, {mbOK}, 0});
}

int MessageBox(const QString& text, const QString& caption, int flags)
{
    TMsgDlgButtons buttons;
    switch (flags & 0xF) {
    case MB_OKCANCEL: buttons = {mbOK, mbCancel}; break;
    case MB_ABORTRETRYIGNORE: buttons = {mbAbort, mbRetry, mbIgnore}; break;
    case MB_YESNOCANCEL: buttons = {mbYes, mbNo, mbCancel}; break;
    case MB_YESNO: buttons = {mbYes, mbNo}; break;
    case MB_RETRYCANCEL: buttons = {mbRetry, mbCancel}; break;
    default: buttons = {mbOK}; break;
    }
    TMsgDlgType type = mtCustom;
    switch (flags & 0xF0) {
    case MB_ICONSTOP: type = mtError; break;
    case MB_ICONQUESTION: type = mtConfirmation; break;
    case MB_ICONWARNING: type = mtWarning; break;
    case MB_ICONINFORMATION: type = mtInformation; break;
    default: break;
    }
    return ask(MessageRequest{text, caption, type, buttons, 0});
}

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        }
        result.append(parts[i].trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result.join(QStringLiteral(";;"));
}

void SetOpenFileHook(OpenFileHook hook)
{
    openFileHook = std::move(hook);
}

bool ChooseOpenFile(const QString& title, const QString& filter, const QString& initialDir, QString& fileName)
{
    if (openFileHook)
        return openFileHook(title, filter, initialDir, fileName);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    QString start = initialDir;
    if (!fileName.isEmpty())
        start = QFileInfo(fileName).isAbsolute() || initialDir.isEmpty() ? fileName
                                                                         : QDir(initialDir).filePath(fileName);
    QFileDialog dialog(QApplication::activeWindow(), title, start, QtFileFilter(filter));
    // Only an existing file can be confirmed.
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Display windows stay on top; the chooser must not open beneath them,
    // which a desktop's own chooser can't be told.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().constFirst();
    return true;
}

void SetColorHook(ColorHook hook)
{
    colorHook = std::move(hook);
}

bool ChooseColor(TColor& color)
{
    if (colorHook)
        return colorHook(color);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    QColor start = ColorToQColor(color);
    if (start.alpha() == 0)
        start = Qt::white;
    const QColor chosen = QColorDialog::getColor(start, QApplication::activeWindow());
    if (!chosen.isValid())
        return false;
    color = QColorToColor(chosen);
    return true;
}
