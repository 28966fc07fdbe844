#include "SyncPlanFile.h"

#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "Console.h"
#include "Exception.h"
#include "SyncPlan.h"

namespace {
bool IsStandardStream(const QString& name)
{
    return name == QLatin1String("-");
}

QString SameFileForm(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}
} // namespace

void SyncPlanFile::Write(const TSyncPlan& plan, const QString& target)
{
    if (IsStandardStream(target)) {
        Console::Out(plan.Text());
        return;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(plan.Text().toLocal8Bit()) < 0 ||
        !file.commit())
        throw Exception(
            QStringLiteral("Cannot create file \"%1\". %2").arg(target, file.errorString()));
}

TSyncPlan SyncPlanFile::Read(const QString& source, const QString& archive)
{
    const bool standard = IsStandardStream(source);
    QFile file(standard ? QString() : source);
    const bool opened =
        standard ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened)
        throw Exception(
            QStringLiteral("Cannot open file \"%1\". %2").arg(source, file.errorString()));
    const TSyncPlan plan = TSyncPlan::Parse(QString::fromLocal8Bit(file.readAll()));
    if (SameFileForm(plan.Archive()) != SameFileForm(archive))
        throw Exception(QStringLiteral("The plan was made for the archive \"%1\", not \"%2\"")
                            .arg(plan.Archive(), archive));
    return plan;
}
