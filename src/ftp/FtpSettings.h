#pragma once

#include <QByteArray>
#include <QString>

// The FTP settings of a project, kept in the section "FTP" of its project
// file. A key the file lacks keeps the value the field has: at first the
// placeholder texts of the transfer window's fields.
struct TFtpSettings {
    static constexpr const char* Section = "FTP";

    QString File = QStringLiteral("File");
    QString Hostname = QStringLiteral("edServername");
    QString Username = QStringLiteral("Edit1");
    QString Password = QStringLiteral("Edit1");
    QString TargetPath = QStringLiteral("edTargetDir");

    // Reads the five keys in the order File, Hostname, Username, Password,
    // TargetPath, each with the present value as default.
    void Load(const QString& projectFile);
    // Writes the five keys into the project file; keys and sections that
    // are not these stay. A file that holds a password is made readable by
    // its owner only.
    void Save(const QString& projectFile) const;

    // Hostname may carry a port as "host:port"; without one the port is 21.
    QByteArray Host() const;
    int Port() const;
};
