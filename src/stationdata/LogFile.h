#pragma once

#include <QString>
#include <QStringList>

// Message log: one time-stamped line per message, trimmed to at most
// MaxZeilen lines (0 or less: no limit). The file is opened only for the
// moment of each write, so others can read it at any time.
class TLogFile {
public:
    // Anhaengen false empties an existing file. Never raises: a file that
    // can't be created or opened leaves Offen() false.
    TLogFile(QString DateiName, int MaxZeilen, bool Anhaengen);

    // Appends one line. Raises Exception "Error Writing Log-File ..." when
    // the file was unusable at creation, and EInOutError when the line
    // could not be written; the file stays whole then.
    void Schreibe(const QString& Text);
    // Same file content as Schreibe for each text in turn, with one read
    // and one write.
    void SchreibeAlle(const QStringList& Texte);

    bool Offen() const { return m_offen; }

    // A message longer than this is cut; control characters become '?'.
    static constexpr int kMaxZeichen = 500;
    const QString& DateiName() const { return m_dateiName; }

private:
    [[noreturn]] void schreibFehler() const;

    QString m_dateiName;
    int m_maxZeilen;
    bool m_offen = false;
};
