#include "AppErrors.h"

#include "Dialogs.h"

void ShowExceptionMessage(const QString& message)
{
    MessageBox(message, ApplicationTitle(), MB_OK | MB_ICONSTOP);
}

void ShowException(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        ShowExceptionMessage(own->Message());
    else
        ShowExceptionMessage(QString::fromUtf8(e.what()));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = true;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

QString TApplication::Title() const
{
    return ApplicationTitle();
}

void TApplication::SetTitle(const QString& title)
{
    SetApplicationTitle(title);
}
