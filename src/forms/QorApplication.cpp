#include "QorApplication.h"

#include <QMessageBox>

#include "Exception.h"

namespace {
TQorApplication::TErrorHandler& ErrorHandler()
{
    static TQorApplication::TErrorHandler handler;
    return handler;
}
} // namespace

TQorApplication::TQorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("QorZip"));
    setApplicationDisplayName(QStringLiteral("Qor Zip"));
}

bool TQorApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Exception& error) {
        ShowError(error.Message());
    } catch (const std::exception& error) {
        ShowError(QString::fromLocal8Bit(error.what()));
    }
    return true;
}

void TQorApplication::SetErrorHandler(TErrorHandler handler)
{
    ErrorHandler() = std::move(handler);
}

void TQorApplication::ShowError(const QString& message)
{
    if (ErrorHandler()) {
        ErrorHandler()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          message);
}
