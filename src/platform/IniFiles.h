#pragma once

#include <QString>
#include <QStringList>

#include <functional>

struct stat;

// INI file with private-profile semantics: section and key names are matched
// without regard to case (and without surrounding blanks), their order is
// kept, a new key goes to the end of its section and a new section to the end
// of the file. Every read looks at the file as it is now and every write
// replaces the file at once (temp file beside it, then rename), so several
// objects on one file, or an editor, never see stale content.
// A missing file reads as empty. A failed write raises EIniFileException.
class TIniFile {
public:
    explicit TIniFile(QString fileName);

    const QString& FileName() const { return m_fileName; }

    // The value trimmed of surrounding blanks, one pair of enclosing double
    // quotes removed; the default only when the key is missing.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Line breaks in the value are written as blanks.
    void WriteString(const QString& section, const QString& key, const QString& value);

    // Decimal, "0x" or "$" hex; empty or bad text gives the default.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    void WriteInteger(const QString& section, const QString& key, int value);
    // ReadInteger of prefix + "0" up to prefix + last (the index in decimal,
    // without sign or leading zero), in index order; an index without a key
    // is left out. Looks only at the keys present, so last may be anything.
    QList<int> ReadNumberedIntegers(const QString& section, const QString& prefix, int last, int def) const;
    // An integer; anything but 0 is true.
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    void WriteBool(const QString& section, const QString& key, bool value);
    // Regional number form on both ways.
    double ReadFloat(const QString& section, const QString& key, double def) const;
    void WriteFloat(const QString& section, const QString& key, double value);

    // Each clears the list first.
    void ReadSection(const QString& section, QStringList& keys) const;
    void ReadSections(QStringList& sections) const;
    void ReadSectionValues(const QString& section, QStringList& values) const;   // "key=value"

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;

    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);

private:
    QString m_fileName;
};

// The status of an open file as the INI cache sees it, as the system's fstat
// gives it: a seam for tests that make a rewrite look like no change. Empty
// restores fstat.
using IniStatFunction = std::function<int(int fd, struct stat* st)>;
void SetIniStatFunction(IniStatFunction fn);
