#pragma once

#include <QFlags>
#include <QString>

// The buttons of a question and the answer the user gave.
enum class TMsgButton {
    None = 0,
    Ok = 0x01,
    Cancel = 0x02,
    Yes = 0x04,
    No = 0x08,
    YesToAll = 0x10,
};
Q_DECLARE_FLAGS(TMsgButtons, TMsgButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgButtons)

// What a file or directory request shows and how it behaves.
struct TFileRequest {
    enum Flag {
        NoFlags = 0x00,
        OverwritePrompt = 0x01,   // save: ask before replacing an existing file
        FileMustExist = 0x02,     // open: only existing files may be chosen
        CreateDirectories = 0x04, // directory: the user may create new ones
    };
    Q_DECLARE_FLAGS(Flags, Flag)

    QString Title;
    // Pairs of a caption and its masks, separated by "|": "Zip Files(*.zip)|*.zip|All Files |*.*".
    // Every operation uses this one form; DialogFilter converts it for Qt's dialogs.
    QString Filter;
    QString Preset;     // the file or directory shown first
    QString DefaultExt; // appended to a name typed without extension
    Flags Options = NoFlags;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TFileRequest::Flags)

// The filter of a file request in the form of Qt's file dialogs: each caption with its masks
// ("Zip Files(*.zip) (*.zip);;All Files  (*.*)"); an empty filter stays empty, a lone mask list
// ("*.*") becomes one entry, and masks separated by ";" become blanks.
QString DialogFilter(const QString& filter);

// Everything an operation below the windows needs from the person using the
// program. Operations never open a dialog themselves: the main window
// implements this with Qt dialogs and the progress window, the command line
// with flags and the terminal, and the tests with a scripted fake.
class TUserInterface {
public:
    virtual ~TUserInterface() = default;

    // Questions.
    virtual TMsgButton Confirm(const QString& text, TMsgButtons buttons) = 0;
    virtual void ShowMessage(const QString& text) = 0;

    // Choices; an empty result means the user cancelled.
    virtual QString SaveFileName(const TFileRequest& request) = 0;
    virtual QString OpenFileName(const TFileRequest& request) = 0;
    virtual QString DirectoryName(const TFileRequest& request) = 0;
    // A line of text; value holds the preset on entry and the answer on
    // return. False when the user cancelled.
    virtual bool InputText(const QString& title, const QString& prompt, QString& value) = 0;

    // The report memo of the main window.
    virtual void ReportLine(const QString& text) = 0;
    virtual void ClearReport() = 0;

    // Progress of a long operation.
    virtual void SetProgressTitle(const QString& title) = 0;
    virtual void SetProgressText(const QString& text) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual int ProgressMaximum() const = 0;
    virtual int ProgressPosition() const = 0;
    virtual void ShowProgress() = 0; // clears the cancel request
    virtual void CloseProgress() = 0;
    virtual bool Cancelled() const = 0;
    // Lets pending window messages run; long loops call it once per file.
    virtual void ProcessEvents() = 0;
};
