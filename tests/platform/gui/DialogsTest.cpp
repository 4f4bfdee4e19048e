#include "AppErrors.h"
#include "Dialogs.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetApplicationTitle(QStringLiteral("VANTORel"));
        SetMessageHook([this](const MessageRequest& r) {
            requests.append(r);
            return answer;
        });
    }
    void TearDown() override
    {
        SetMessageHook({});
        SetOpenFileHook({});
    }

    QList<MessageRequest> requests;
    int answer = mrOk;
};

} // namespace

TEST_F(DialogsTest, BoxesReachTheHookWithCaptionTypeAndButtons)
{
    ShowMessage(QStringLiteral("Log-Datei existiert nicht!"));
    answer = mrNo;
    EXPECT_EQ(MessageDlg(QStringLiteral("Wirklich?"), mtConfirmation, {mbYes, mbNo}), mrNo);
    answer = IDCANCEL;
    EXPECT_EQ(MessageBox(QStringLiteral("Text"), QStringLiteral("Titel"), MB_OKCANCEL | MB_ICONWARNING), IDCANCEL);
    MessageBox(QStringLiteral("Halt"), QStringLiteral("T"), MB_ICONSTOP);

    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].Text, "Log-Datei existiert nicht!");
    EXPECT_EQ(requests[0].Caption, "VANTORel");
    EXPECT_EQ(requests[0].Type, mtCustom);
    EXPECT_TRUE(requests[0].Buttons == TMsgDlgButtons({mbOK}));
    EXPECT_EQ(requests[1].Caption, "Bestätigen");
    EXPECT_TRUE(requests[1].Buttons == TMsgDlgButtons({mbYes, mbNo}));
    EXPECT_EQ(requests[2].Caption, "Titel");
    EXPECT_EQ(requests[2].Type, mtWarning);
    EXPECT_TRUE(requests[2].Buttons == TMsgDlgButtons({mbOK, mbCancel}));
    EXPECT_EQ(requests[3].Type, mtError);
    EXPECT_TRUE(requests[3].Buttons == TMsgDlgButtons({mbOK}));
}

TEST_F(DialogsTest, DefaultHandlerShowsEveryKindOfErrorAndReturns)
{
    bool after = false;
    Guarded([] { throw EConvertError(QStringLiteral("'x' ist kein gültiger Integerwert")); });
    Guarded([] { throw std::runtime_error("kaputt"); });
    Guarded([] { throw 42; });
    Guarded([&] { after = true; });
    EXPECT_TRUE(after);

    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[0].Text, "'x' ist kein gültiger Integerwert");
    EXPECT_EQ(requests[1].Text, "kaputt");
    EXPECT_EQ(requests[2].Text, "Unbekannter Fehler");
    for (const MessageRequest& r : requests) {
        EXPECT_EQ(r.Type, mtError);   // the stop icon
        EXPECT_EQ(r.Caption, "VANTORel");
        EXPECT_TRUE(r.Buttons == TMsgDlgButtons({mbOK}));
    }
}

TEST_F(DialogsTest, OpenFileChooserGoesThroughTheHook)
{
    EXPECT_EQ(QtFileFilter(QStringLiteral("Log-Dateien|*.log|Alle Dateien|*.*")),
              "Log-Dateien (*.log);;Alle Dateien (*)");
    EXPECT_EQ(QtFileFilter(QStringLiteral("Grafikdateien|*.gif;*.jpg;*.bmp")), "Grafikdateien (*.gif *.jpg *.bmp)");

    QString seenTitle;
    SetOpenFileHook([&](const QString& title, const QString&, const QString&, QString& fileName) {
        seenTitle = title;
        fileName = QStringLiteral("/daten/wetter.log");
        return true;
    });
    QString chosen;
    EXPECT_TRUE(ChooseOpenFile(QStringLiteral("Öffne Log-Datei"), QString(), QString(), chosen));
    EXPECT_EQ(chosen, "/daten/wetter.log");
    EXPECT_EQ(seenTitle, "Öffne Log-Datei");

    SetOpenFileHook([](const QString&, const QString&, const QString&, QString&) { return false; });
    chosen = QStringLiteral("vorher");
    EXPECT_FALSE(ChooseOpenFile(QString(), QString(), QString(), chosen));
    EXPECT_EQ(chosen, "vorher");
}
