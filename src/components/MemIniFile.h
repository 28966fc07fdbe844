#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An INI file held in memory: read whole when opened, changed in memory,
// written whole on UpdateFile(). Sections and keys keep the order in which
// they were read or first written; keys a writer does not touch survive;
// section and key names compare without letter case.
//
// Reading detects the encoding by its mark (FF FE UTF-16 LE, FE FF UTF-16 BE,
// EF BB BF UTF-8) and otherwise takes the local 8-bit encoding. Lines are
// trimmed; empty lines, lines starting with ';' and lines before the first
// section are skipped; "key=value" is stored with both sides trimmed. A file
// that does not exist reads as empty and is created by the first UpdateFile().
//
// Writing goes through QSaveFile, so a failure leaves the old file whole; it
// raises "Cannot create file "%s". %s" with the file name and the reason. A
// write whose bytes equal the file's present content leaves the file alone.
class TMemIniFile {
public:
    enum class TEncoding {
        Local8Bit, // project and settings files
        Utf16LE,   // language files: written with the mark FF FE
    };

    explicit TMemIniFile(const QString& fileName, TEncoding writeEncoding = TEncoding::Local8Bit);

    const QString& FileName() const { return m_fileName; }
    // Replaces the content by the text of an INI file.
    void SetText(const QString& text);
    QString Text() const;

    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList Sections() const;
    QStringList SectionKeys(const QString& section) const;
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);
    void Clear();

    // Writes the whole file; sets the given permissions when not -1
    // (QFileDevice::Permissions as int), for files that hold a password.
    void UpdateFile(int permissions = -1) const;

private:
    struct TKeyValue {
        QString Key;
        QString Value;
    };
    struct TSection {
        QString Name;
        QList<TKeyValue> Values;
    };

    const TSection* FindSection(const QString& name) const;
    TSection* FindSection(const QString& name);
    void Load();

    QString m_fileName;
    TEncoding m_writeEncoding;
    QList<TSection> m_sections;
};
