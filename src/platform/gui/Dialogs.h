#pragma once

#include "ColorTypes.h"

#include <QString>
#include <functional>
#include <initializer_list>

// Message boxes, the open-file chooser and the colour dialog. Each goes through a hook that
// tests replace; without one the real Qt dialog shows, modal.

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll };

class TMsgDlgButtons {
public:
    TMsgDlgButtons() = default;
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn b : buttons)
            m_bits |= 1u << b;
    }
    bool contains(TMsgDlgBtn b) const { return m_bits & (1u << b); }
    bool operator==(const TMsgDlgButtons&) const = default;

private:
    unsigned m_bits = 0;
};

// Modal results; the message box's ID values are the same numbers.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
              mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// Message box flags: one button set plus one icon.
constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
              MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5;
constexpr int MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30,
              MB_ICONINFORMATION = 0x40;

// What every message box asks, as the hook sees it.
struct MessageRequest {
    QString Text;
    QString Caption;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons;
    int HelpCtx = 0;
};
using MessageHook = std::function<int(const MessageRequest&)>;
void SetMessageHook(MessageHook hook);   // empty restores the real boxes

// Caption by type: "Warnung", "Fehler", "Information", "Bestätigen", or the
// application title for mtCustom.
int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
// The text with an OK button under the application title.
void ShowMessage(const QString& text);
// Returns an ID value.
int MessageBox(const QString& text, const QString& caption, int flags);

// Shown on message boxes; until set, the program file's base name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// Filter in the form "Name|*.a;*.b|Name|*.*". fileName carries the chosen
// file out (and a preselection in). False when cancelled.
bool ChooseOpenFile(const QString& title, const QString& filter, const QString& initialDir, QString& fileName);
using OpenFileHook = std::function<bool(const QString& title, const QString& filter, const QString& initialDir,
                                        QString& fileName)>;
void SetOpenFileHook(OpenFileHook hook);   // empty restores the real dialog

// "Name|*.a;*.b" to Qt's "Name (*.a *.b)"; "*.*" becomes "*".
QString QtFileFilter(const QString& filter);

// The colour dialog, opened on `color`; the chosen colour is carried out.
// False when cancelled.
bool ChooseColor(TColor& color);
using ColorHook = std::function<bool(TColor& color)>;
void SetColorHook(ColorHook hook);   // empty restores the real dialog
