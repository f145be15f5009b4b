#include "shell/IniFile.h"

#include "data/TextLines.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <vector>

namespace brisden {

namespace {

// The longest value a read returns (the reader's buffer holds 2048 characters
// with the terminating zero).
constexpr int MaxValueLength = 2047;

// One line of the file as it is on the disk: its text and its own line end
// ("\r\n", "\n", or nothing on a last line without one), so that a rewrite can
// give every untouched line back byte for byte.
struct RawLine {
    QByteArray text;
    QByteArray end;
};

std::vector<RawLine> SplitLines(const QByteArray& data)
{
    std::vector<RawLine> lines;
    TextLines reader(data);
    QByteArrayView text;
    while (reader.next(text))
        lines.push_back({text.toByteArray(), reader.end().toByteArray()});
    return lines;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView TrimBlanks(QByteArrayView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.sliced(from, to - from);
}

QByteArray TrimBlanks(const QByteArray& text)
{
    return TrimBlanks(QByteArrayView(text)).toByteArray();
}

// A section header "[name]" gives the name; anything else gives false.
bool SectionName(const QByteArray& line, QByteArray* name)
{
    const QByteArray trimmed = TrimBlanks(line);
    if (!trimmed.startsWith('['))
        return false;
    qsizetype close = trimmed.indexOf(']', 1);
    if (close < 0)
        close = trimmed.size();
    *name = TrimBlanks(trimmed.mid(1, close - 1));
    return true;
}

// A "key=value" line gives its key and raw value; comment lines (";") and
// lines without "=" give false.
bool KeyLine(const QByteArray& line, QByteArray* key, QByteArray* value)
{
    const QByteArray trimmed = TrimBlanks(line);
    if (trimmed.isEmpty() || trimmed.startsWith(';'))
        return false;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals < 0)
        return false;
    *key = TrimBlanks(trimmed.left(equals));
    if (value)
        *value = TrimBlanks(trimmed.mid(equals + 1));
    return true;
}


// Reads the whole file; false when it exists but cannot be read.
bool ReadFile(const QString& path, QByteArray* data, bool* exists)
{
    data->clear();
    QFile file(path);
    *exists = file.exists();
    if (!*exists)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *data = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// A value is one line: anything from a line break on is dropped.
QByteArray OneLine(const QString& text)
{
    QByteArray bytes = text.toLatin1();
    const qsizetype cut = bytes.indexOf('\n');
    if (cut >= 0)
        bytes.truncate(cut);
    const qsizetype cr = bytes.indexOf('\r');
    if (cr >= 0)
        bytes.truncate(cr);
    return bytes;
}

// The reader looks at the file's bytes in place: a start-up reads some
// eighty keys.
bool SameName(QByteArrayView fileName, QStringView wanted)
{
    return QLatin1String(fileName.data(), fileName.size())
               .compare(wanted, Qt::CaseInsensitive) == 0;
}

}  // namespace

IniSnapshot::IniSnapshot(const QString& path)
{
    bool exists = false;
    m_present = !path.isEmpty() && ReadFile(path, &m_data, &exists) && exists;
}

QString ReadINI(const QString& section, const QString& key, const QString& defaultValue,
                const QString& path)
{
    return IniSnapshot(path).read(section, key, defaultValue);
}

QString IniSnapshot::read(const QString& section, const QString& key,
                          const QString& defaultValue) const
{
    if (!m_present)
        return defaultValue;

    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    bool sectionSeen = false;
    TextLines lines(m_data);
    QByteArrayView line;
    while (lines.next(line)) {
        const QByteArrayView trimmed = TrimBlanks(line);
        if (trimmed.startsWith('[')) {
            // A section header "[name]".
            qsizetype close = trimmed.indexOf(']', 1);
            if (close < 0)
                close = trimmed.size();
            const QByteArrayView name = TrimBlanks(trimmed.sliced(1, close - 1));
            // The first section of a name is the one that counts.
            if (sectionSeen && inSection)
                break;
            inSection = !sectionSeen && SameName(name, wantedSection);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection || trimmed.isEmpty() || trimmed.startsWith(';'))
            continue;
        const qsizetype equals = trimmed.indexOf('=');
        if (equals < 0 || !SameName(TrimBlanks(trimmed.first(equals)), wantedKey))
            continue;
        QByteArrayView value = TrimBlanks(trimmed.sliced(equals + 1));
        // A value written in matching quotes is read without them.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.sliced(1, value.size() - 2);
        return QString::fromLatin1(value.first(std::min<qsizetype>(value.size(), MaxValueLength)));
    }
    return defaultValue;
}

void WriteINI(const QString& section, const QString& key, const QString& value, const QString& path)
{
    if (path.isEmpty() || section.trimmed().isEmpty() || key.trimmed().isEmpty())
        return;
    QByteArray data;
    bool exists = false;
    // A file that is there but cannot be read is left alone rather than
    // replaced by a file holding only this key.
    if (!ReadFile(path, &data, &exists))
        return;

    std::vector<RawLine> lines = SplitLines(data);
    QByteArray eol = QByteArrayLiteral("\r\n");
    for (const RawLine& line : lines) {
        if (!line.end.isEmpty()) {
            eol = line.end;  // new lines follow the file's own line ends
            break;
        }
    }
    const QByteArray newLine = key.trimmed().toLatin1() + '=' + OneLine(value);

    // The first section of that name; the key's first line in it, or the
    // section's last key line, after which a new key goes.
    qsizetype sectionAt = -1;
    qsizetype keyAt = -1;
    qsizetype lastContent = -1;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        QByteArray name;
        if (SectionName(lines[size_t(i)].text, &name)) {
            if (sectionAt >= 0)
                break;
            if (SameName(name, section.trimmed())) {
                sectionAt = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        QByteArray lineKey;
        if (KeyLine(lines[size_t(i)].text, &lineKey, nullptr)) {
            lastContent = i;
            if (SameName(lineKey, key.trimmed())) {
                keyAt = i;
                break;
            }
        }
    }

    if (keyAt >= 0) {
        lines[size_t(keyAt)].text = newLine;
    } else if (sectionAt >= 0) {
        // A line that ends without a line feed (the file's last line, or one
        // ended by a carriage return alone) gets one, or the new line would
        // read as part of it.
        RawLine& before = lines[size_t(lastContent)];
        if (!before.end.endsWith('\n'))
            before.end = eol;
        lines.insert(lines.begin() + lastContent + 1, RawLine{newLine, eol});
    } else {
        if (!lines.empty() && !lines.back().end.endsWith('\n'))
            lines.back().end = eol;
        lines.push_back(RawLine{'[' + section.trimmed().toLatin1() + ']', eol});
        lines.push_back(RawLine{newLine, eol});
    }

    QByteArray out;
    out.reserve(data.size() + newLine.size() + section.size() + 8);
    for (const RawLine& line : lines)
        out += line.text + line.end;

    // The new contents go to a temporary file in the same folder that then
    // replaces the old file, so a crash never leaves half a settings file.
    // Any failure leaves the old file as it was and is not reported.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (file.write(out) != out.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

}  // namespace brisden
