#include "Commands.h"

#include "Console.h"

const QList<TCommand>& Commands()
{
    static const QList<TCommand> commands{};
    return commands;
}

const TCommand* FindCommand(const QString& name)
{
    for (const TCommand& command : Commands())
        if (name == QLatin1String(command.Name))
            return &command;
    return nullptr;
}

void PrintOverview()
{
    QString text = QStringLiteral("Usage: qorzip [PROJECT.qrz]\n"
                                  "       qorzip SUBCOMMAND [ARGUMENTS] (--help for each)\n\n"
                                  "Subcommands:\n");
    for (const TCommand& command : Commands())
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(command.Name), -16)
                    .arg(QLatin1String(command.Summary));
    Console::Out(text);
}
