#pragma once

#include <QString>
#include <QStringList>

class QObject;
class QWidget;
class TMemIniFile;

// Reads the texts of one component of a form from a language file section,
// or writes them there, by the component's class (the table is in
// LangManager.h). The form is the root whose components the manager walks.
class TLangManagerTexts {
public:
    TLangManagerTexts(TMemIniFile& file, QString section, QString stopName, const QWidget* form);

    void Read(QObject* component) const;
    void Build(QObject* component) const;

    // A line break as the file stores it ("/r/n") and as widgets show it.
    static QString EncodeBreaks(const QString& text);
    static QString DecodeBreaks(const QString& text);
    // The value without its enclosing double quotes, a doubled quote inside
    // standing for one; a value that is not quoted comes back unchanged.
    static QString DequotedText(const QString& value);
    static QString ListKey(const QString& path, int index);
    static QString MenuKey(const QString& path, int index);
    // False for an empty objectName and for Qt's own "qt_" children.
    static bool HasName(const QObject* object);

    // The row of the class table a component belongs to.
    enum class TKind;

private:
    TKind KindOf(const QObject* component) const;
    QString PathOf(const QObject* component) const;

    void ReadPair(QObject* component, TKind kind, const QString& path) const;
    void ReadHint(QObject* component, const QString& path) const;
    void ReadWideList(QObject* component, TKind kind, const QString& path) const;
    void ReadNarrowList(QObject* component, TKind kind, const QString& path) const;
    void ReadPanelButton(QObject* component, const QString& path) const;
    void ReadMenuCaptions(QObject* component, const QString& path) const;
    void ReadPlainTextEdit(QObject* component, const QString& path) const;
    QString SingleText(const QString& key, const QString& current) const;

    void WritePair(const QObject* component, TKind kind, const QString& path) const;
    void WriteHint(const QObject* component, TKind kind, const QString& path) const;
    void WriteSingle(const QString& key, const QString& text) const;
    void WriteList(const QObject* component, TKind kind, const QString& path) const;
    void WriteQuoted(const QString& key, const QString& value) const;

    TMemIniFile& m_file;
    QString m_section;
    QString m_stopName;
    const QWidget* m_form;
};
