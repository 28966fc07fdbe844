#include "UserInterface.h"

#include <QStringList>

QString DialogFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() == 1)
        return filter.trimmed().isEmpty() ? QString() : parts[0];
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString caption = parts[i].trimmed();
        const QString masks =
            parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const QString group = QStringLiteral("(%1)").arg(masks.trimmed());
        // A caption that already ends in its masks is shown as it is.
        entries.append(caption.endsWith(group) ? caption
                                               : QStringLiteral("%1 %2").arg(caption, group));
    }
    return entries.join(QStringLiteral(";;"));
}
