#pragma once

#include <functional>

#include <QApplication>

// The program's application object. Every event Qt delivers passes through
// notify(), so an error that escapes a handler (a click, a shortcut, a timer)
// is caught here, shown in the standard error box and the program goes on
// with the state the handler left.
class TQorApplication : public QApplication {
    Q_OBJECT

public:
    using TErrorHandler = std::function<void(const QString& message)>;

    TQorApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the error box (tests record the message instead); an empty
    // handler restores the box.
    static void SetErrorHandler(TErrorHandler handler);
    // Shows the message the way an escaped error is shown.
    static void ShowError(const QString& message);
};
