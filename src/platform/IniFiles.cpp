#include "IniFiles.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "TextFile.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>

namespace {

struct IniEntry {
    QString key;     // as spelled in the file, trimmed
    QString value;   // raw text after the first '='
    int line;
};

struct IniSection {
    QString name;
    int headerLine;
    QList<IniEntry> entries;
};

struct IniContent {
    QStringList lines;
    QList<IniSection> sections;
};

using ContentPtr = std::shared_ptr<const IniContent>;

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

ContentPtr parse(QStringList lines)
{
    auto content = std::make_shared<IniContent>();
    for (int i = 0; i < lines.size(); ++i) {
        const QString t = lines[i].trimmed();
        if (t.startsWith(u'[')) {
            const qsizetype close = t.indexOf(u']');
            const QString name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
            content->sections.append(IniSection{name, i, {}});
            continue;
        }
        if (content->sections.isEmpty() || t.startsWith(u';'))
            continue;
        const qsizetype eq = lines[i].indexOf(u'=');
        if (eq < 0)
            continue;
        content->sections.last().entries.append(
            IniEntry{lines[i].left(eq).trimmed(), lines[i].mid(eq + 1), i});
    }
    content->lines = std::move(lines);
    return content;
}

const IniSection* findSection(const IniContent& c, const QString& name)
{
    const QString n = name.trimmed();
    for (const IniSection& s : c.sections)
        if (sameName(s.name, n))
            return &s;
    return nullptr;
}

const IniEntry* findEntry(const IniSection& s, const QString& key)
{
    const QString k = key.trimmed();
    for (const IniEntry& e : s.entries)
        if (sameName(e.key, k))
            return &e;
    return nullptr;
}

QString readValue(const QString& raw)
{
    QString v = raw.trimmed();
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"'))
        v = v.mid(1, v.size() - 2);
    return v;
}

// Parsed files by path, valid while device, inode, size and both times
// match, so a poll of many keys reads and parses the file once.
struct CacheKey {
    dev_t dev;
    ino_t ino;
    off_t size;
    timespec mtime;
    timespec ctime;
    bool operator==(const CacheKey& o) const
    {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec
            && mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec
            && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

struct CacheSlot {
    CacheKey key;
    ContentPtr content;
};

QMutex cacheMutex;
QHash<QString, CacheSlot> cache;
constexpr int cacheLimit = 16;

enum class LoadState { Ok, Missing, Unreadable };

// File times have the kernel's coarse clock resolution: a rewrite of the
// same size right after the last one can leave every stat field unchanged.
// Content that changed so recently is read again each time.
bool settled(const timespec& changed)
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - changed.tv_sec >= 2;
}

IniStatFunction& statFunction()
{
    static IniStatFunction fn;
    return fn;
}

int statOf(int fd, struct stat* st)
{
    const IniStatFunction& fn = statFunction();
    return fn ? fn(fd, st) : ::fstat(fd, st);
}

ContentPtr emptyContent()
{
    static const ContentPtr empty = parse({});
    return empty;
}

ContentPtr load(const QString& path, LoadState& state)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        state = (errno == ENOENT || errno == ENOTDIR) ? LoadState::Missing : LoadState::Unreadable;
        return emptyContent();
    }
    QFile file;
    struct stat st {};
    if (statOf(fd, &st) != 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        state = LoadState::Unreadable;
        return emptyContent();
    }
    if (!S_ISREG(st.st_mode)) {
        state = LoadState::Unreadable;
        return emptyContent();
    }
    const CacheKey key{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    {
        QMutexLocker lock(&cacheMutex);
        auto it = cache.constFind(path);
        if (it != cache.constEnd() && it->key == key && settled(st.st_mtim) && settled(st.st_ctim)) {
            state = LoadState::Ok;
            return it->content;
        }
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        state = LoadState::Unreadable;
        return emptyContent();
    }
    QString text = DecodeText(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    ContentPtr content = parse(SplitLines(text));
    {
        QMutexLocker lock(&cacheMutex);
        if (cache.size() >= cacheLimit && !cache.contains(path))
            cache.clear();
        cache.insert(path, CacheSlot{key, content});
    }
    state = LoadState::Ok;
    return content;
}

ContentPtr read(const QString& path)
{
    LoadState state;
    return load(path, state);
}

// Temp file beside the target, renamed over it only when every byte got
// there; the file keeps its mode and owner. A file we may not write stays
// as it is, even where its folder would let us replace it.
bool writeAtomic(const QString& path, const QString& text)
{
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), F_OK) == 0 && ::access(native.constData(), W_OK) != 0)
        return false;
    return WriteTextFileAtomic(path, text);
}

[[noreturn]] void raiseWriteError(const QString& path)
{
    throw EIniFileException(QStringLiteral("In %1 kann nicht geschrieben werden").arg(path));
}

// Runs edit on the file's current lines and writes them back when edit
// reports a change. A file that exists but can't be read is never replaced:
// writing would lose its content.
template<class Edit>
void modify(const QString& path, Edit&& edit)
{
    LoadState state;
    const ContentPtr content = load(path, state);
    if (state == LoadState::Unreadable)
        raiseWriteError(path);
    QStringList lines = content->lines;
    if (!edit(*content, lines))
        return;
    {
        QMutexLocker lock(&cacheMutex);
        cache.remove(path);
    }
    const QString text = lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n';
    if (!writeAtomic(path, text))
        raiseWriteError(path);
}

QString oneLine(const QString& value)
{
    QString v = value;
    v.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    return v;
}

} // namespace

void SetIniStatFunction(IniStatFunction fn)
{
    statFunction() = std::move(fn);
}

TIniFile::TIniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const ContentPtr c = read(m_fileName);
    if (const IniSection* s = findSection(*c, section))
        if (const IniEntry* e = findEntry(*s, key))
            return readValue(e->value);
    return def;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    const QString text = oneLine(value);
    modify(m_fileName, [&](const IniContent& c, QStringList& lines) {
        const IniSection* s = findSection(c, sectionName);
        if (!s) {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines.append(QString());
            lines.append(u'[' + sectionName + u']');
            lines.append(keyName + u'=' + text);
            return true;
        }
        if (const IniEntry* e = findEntry(*s, keyName)) {
            // A value it reads as already leaves the file as it is, however
            // it is spelled there: a read-only file is no error then.
            if (readValue(e->value) == readValue(text))
                return false;
            lines[e->line] = e->key + u'=' + text;
            return true;
        }
        const int after = s->entries.isEmpty() ? s->headerLine : s->entries.last().line;
        lines.insert(after + 1, keyName + u'=' + text);
        return true;
    });
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    return StrToIntDef(ReadString(section, key, QString()), def);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

QList<int> TIniFile::ReadNumberedIntegers(const QString& section, const QString& prefix, int last, int def) const
{
    QList<int> values;
    const ContentPtr c = read(m_fileName);
    const IniSection* s = findSection(*c, section);
    if (!s || last < 0)
        return values;
    // A key that a read of prefix + j finds ends in j's digits: each of its
    // trailing digit runs without a leading zero is a candidate, checked as
    // that read would check it. The first key found for an index counts.
    std::map<int, const IniEntry*> found;
    for (const IniEntry& e : s->entries) {
        qsizetype digits = e.key.size();
        while (digits > 0 && e.key.at(digits - 1) >= u'0' && e.key.at(digits - 1) <= u'9')
            --digits;
        for (qsizetype i = qMax(digits, e.key.size() - 10); i < e.key.size(); ++i) {
            if (e.key.at(i) == u'0' && i + 1 < e.key.size())
                continue;
            const qint64 j = QStringView(e.key).mid(i).toLongLong();
            if (j > last || found.count(int(j)))
                continue;
            const QString name = (prefix + QString::number(j)).trimmed();
            if (sameName(e.key, name))
                found.emplace(int(j), &e);
        }
    }
    for (const auto& index : found)
        values.append(StrToIntDef(readValue(index.second->value), def));
    return values;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TIniFile::ReadFloat(const QString& section, const QString& key, double def) const
{
    const QString text = ReadString(section, key, QString());
    double value = 0;
    if (!text.isEmpty() && TryStrToFloat(text, value))
        return value;
    return def;
}

void TIniFile::WriteFloat(const QString& section, const QString& key, double value)
{
    WriteString(section, key, FloatToStr(value));
}

void TIniFile::ReadSection(const QString& section, QStringList& keys) const
{
    keys.clear();
    const ContentPtr c = read(m_fileName);
    if (const IniSection* s = findSection(*c, section))
        for (const IniEntry& e : s->entries)
            keys.append(e.key);
}

void TIniFile::ReadSections(QStringList& sections) const
{
    sections.clear();
    const ContentPtr c = read(m_fileName);
    for (const IniSection& s : c->sections)
        if (!sections.contains(s.name, Qt::CaseInsensitive))
            sections.append(s.name);
}

void TIniFile::ReadSectionValues(const QString& section, QStringList& values) const
{
    values.clear();
    const ContentPtr c = read(m_fileName);
    if (const IniSection* s = findSection(*c, section))
        for (const IniEntry& e : s->entries)
            values.append(e.key + u'=' + readValue(e.value));
}

bool TIniFile::SectionExists(const QString& section) const
{
    return findSection(*read(m_fileName), section) != nullptr;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const
{
    const ContentPtr c = read(m_fileName);
    const IniSection* s = findSection(*c, section);
    return s && findEntry(*s, key);
}

void TIniFile::EraseSection(const QString& section)
{
    modify(m_fileName, [&](const IniContent& c, QStringList& lines) {
        // Back to front, so earlier line numbers stay valid.
        bool changed = false;
        for (qsizetype i = c.sections.size() - 1; i >= 0; --i) {
            const IniSection& s = c.sections[i];
            if (!sameName(s.name, section.trimmed()))
                continue;
            const int end = i + 1 < c.sections.size() ? c.sections[i + 1].headerLine : int(lines.size());
            lines.remove(s.headerLine, end - s.headerLine);
            changed = true;
        }
        return changed;
    });
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    modify(m_fileName, [&](const IniContent& c, QStringList& lines) {
        const IniSection* s = findSection(c, section);
        if (!s)
            return false;
        bool changed = false;
        for (qsizetype i = s->entries.size() - 1; i >= 0; --i) {
            if (sameName(s->entries[i].key, key.trimmed())) {
                lines.removeAt(s->entries[i].line);
                changed = true;
            }
        }
        return changed;
    });
}
