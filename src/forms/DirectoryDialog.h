#pragma once

#include <QFileDialog>

#include "UserInterface.h"

// The directory chooser of the window: Qt's own (not the platform's) folder
// dialog, preset to the request's folder. A typed folder that does not exist
// is created after the user confirmed it, when the request allows creation;
// the dialog's own "New Folder" button is hidden, so no folder is created
// without that question.
class TDirectoryDialog : public QFileDialog {
    Q_OBJECT

public:
    TDirectoryDialog(QWidget* owner, const TFileRequest& request, TUserInterface& ui);

    // The chosen folder in native form; empty when the user cancelled.
    QString Choose();

    static QString CreateQuestion()
    {
        return QStringLiteral("The specified directory does not exist. Create it?");
    }

public slots:
    void accept() override;

private:
    bool m_mayCreate;
    TUserInterface& m_ui;
};
