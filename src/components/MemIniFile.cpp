#include "MemIniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "Exception.h"

namespace {
QString DecodeByMark(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE)(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    return QString::fromLocal8Bit(bytes);
}

QByteArray Encode(const QString& text, TMemIniFile::TEncoding encoding)
{
    if (encoding == TMemIniFile::TEncoding::Local8Bit)
        return text.toLocal8Bit();
    QByteArray bytes("\xFF\xFE", 2);
    bytes += QStringEncoder(QStringEncoder::Utf16LE)(text);
    return bytes;
}

// Trims characters of code 32 or less at both ends, as the INI format does.
QString TrimControl(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin).toString();
}

// The lines of a text ending in CR LF, CR or LF. Split by hand: a regular
// expression finds nothing in a text holding an unpaired surrogate, and the
// whole file would read as one line.
QList<QStringView> Lines(const QString& text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(QStringView(text).mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(QStringView(text).mid(start));
    return lines;
}

[[noreturn]] void ThrowCreateError(const QString& fileName, const QString& reason)
{
    throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
}
} // namespace

TMemIniFile::TMemIniFile(const QString& fileName, TEncoding writeEncoding)
    : m_fileName(fileName), m_writeEncoding(writeEncoding)
{
    Load();
}

void TMemIniFile::Load()
{
    QFile file(m_fileName);
    if (m_fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return; // a file that cannot be read reads as empty
    SetText(DecodeByMark(file.readAll()));
}

void TMemIniFile::SetText(const QString& text)
{
    m_sections.clear();
    TSection* current = nullptr;
    for (const QStringView rawLine : Lines(text)) {
        const QString line = TrimControl(rawLine);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = TrimControl(QStringView(line).mid(1, line.size() - 2));
            current = FindSection(name);
            if (!current) {
                m_sections.append({name, {}});
                current = &m_sections.last();
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!current || equals <= 0)
            continue; // lines before the first section and lines without a key
        current->Values.append({TrimControl(QStringView(line).left(equals)),
                                TrimControl(QStringView(line).mid(equals + 1))});
    }
}

QString TMemIniFile::Text() const
{
    QString text;
    for (const TSection& section : m_sections) {
        text += QLatin1Char('[') + section.Name + QLatin1String("]\r\n");
        for (const TKeyValue& value : section.Values)
            text += value.Key + QLatin1Char('=') + value.Value + QLatin1String("\r\n");
        text += QLatin1String("\r\n");
    }
    return text;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const QString& name) const
{
    for (const TSection& section : m_sections)
        if (section.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(const QString& name)
{
    return const_cast<TSection*>(std::as_const(*this).FindSection(name));
}

QString TMemIniFile::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    if (const TSection* found = FindSection(section))
        for (const TKeyValue& value : found->Values)
            if (value.Key.compare(key, Qt::CaseInsensitive) == 0)
                return value.Value;
    return defaultValue;
}

int TMemIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    const QString text = ReadString(section, key, QString()).trimmed();
    bool ok = false;
    int value = text.toInt(&ok);
    if (!ok && text.startsWith(QLatin1Char('$')))
        value = text.mid(1).toInt(&ok, 16);
    else if (!ok && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toInt(&ok, 16);
    return ok ? value : defaultValue;
}

bool TMemIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    TSection* found = FindSection(section);
    if (!found) {
        m_sections.append({section, {}});
        found = &m_sections.last();
    }
    for (TKeyValue& existing : found->Values) {
        if (existing.Key.compare(key, Qt::CaseInsensitive) == 0) {
            existing.Value = value;
            return;
        }
    }
    found->Values.append({key, value});
}

void TMemIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TMemIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TMemIniFile::SectionExists(const QString& section) const
{
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const QString& section, const QString& key) const
{
    if (const TSection* found = FindSection(section))
        for (const TKeyValue& value : found->Values)
            if (value.Key.compare(key, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

QStringList TMemIniFile::Sections() const
{
    QStringList names;
    for (const TSection& section : m_sections)
        names.append(section.Name);
    return names;
}

QStringList TMemIniFile::SectionKeys(const QString& section) const
{
    QStringList keys;
    if (const TSection* found = FindSection(section))
        for (const TKeyValue& value : found->Values)
            keys.append(value.Key);
    return keys;
}

void TMemIniFile::DeleteKey(const QString& section, const QString& key)
{
    if (TSection* found = FindSection(section))
        found->Values.removeIf([&key](const TKeyValue& value) {
            return value.Key.compare(key, Qt::CaseInsensitive) == 0;
        });
}

void TMemIniFile::EraseSection(const QString& section)
{
    m_sections.removeIf([&section](const TSection& existing) {
        return existing.Name.compare(section, Qt::CaseInsensitive) == 0;
    });
}

void TMemIniFile::Clear()
{
    m_sections.clear();
}

void TMemIniFile::UpdateFile(int permissions) const
{
    const QByteArray bytes = Encode(Text(), m_writeEncoding);
    QFile present(m_fileName);
    if (present.open(QIODevice::ReadOnly) && present.size() == bytes.size() &&
        present.readAll() == bytes) {
        // Unchanged content keeps its file and its modification time.
        if (permissions != -1)
            present.setPermissions(QFileDevice::Permissions(permissions));
        return;
    }
    present.close();
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        ThrowCreateError(m_fileName, file.errorString());
    if (permissions != -1)
        file.setPermissions(QFileDevice::Permissions(permissions));
    if (file.write(bytes) != bytes.size() || !file.commit())
        ThrowCreateError(m_fileName, file.errorString());
}
