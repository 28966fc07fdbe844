// qorzip test ARCHIVE: inflates every entry and checks its CRC on all cores,
// and reports the faults of the archive's structure that reading passes over.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <QCommandLineParser>

#include "Commands.h"
#include "Console.h"
#include "ZipFile.h"
#include "ZipInspector.h"

namespace {
// The error of every entry, empty for a sound one, in archive order.
// Exceptions stay inside the worker that caught them.
std::vector<QString> VerifyEntries(const TZipFile& zip)
{
    std::vector<QString> errors(size_t(zip.Count()));
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < zip.Count(); i = next++) {
            try {
                TZipFile::Verify(zip.Entries.at(i));
            } catch (const Exception& error) {
                errors[size_t(i)] = error.Message();
            } catch (const std::exception& error) {
                errors[size_t(i)] = QString::fromLocal8Bit(error.what());
            }
        }
    };
    const int threads =
        std::clamp(int(std::thread::hardware_concurrency()), 1, std::max(zip.Count(), 1));
    std::vector<std::jthread> workers;
    for (int i = 1; i < threads; ++i)
        workers.emplace_back(work);
    work();
    workers.clear(); // joins before the results leave
    return errors;
}
} // namespace

int RunTest(const QStringList& arguments)
{
    const QString command = QStringLiteral("test");
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("ARCHIVE"), QStringLiteral("The zip archive."));
    if (const int result = Console::Parse(parser, command, arguments); result >= 0)
        return result;
    if (parser.positionalArguments().size() != 1)
        return Console::UsageError(command, QStringLiteral("expected one ARCHIVE"));
    const QString archive = parser.positionalArguments().constFirst();
    TZipFile zip;
    zip.LoadFromFile(archive);
    // The inspector walks the records in order; an archive read through its
    // central directory was not read that way.
    QList<TZipFinding> findings;
    if (!zip.ReadByDirectory())
        findings = TZipInspector::InspectFile(archive);
    if (!zip.ReadCompletely())
        findings.append({0, QStringLiteral("not read completely: %1.").arg(zip.MissingPart())});
    const std::vector<QString> errors = VerifyEntries(zip);

    QString text;
    for (const TZipFinding& finding : findings)
        text += QStringLiteral("archive: %1\n").arg(finding.Text);
    int failed = 0;
    for (int i = 0; i < zip.Count(); ++i) {
        const QString& error = errors.at(size_t(i));
        if (error.isEmpty())
            continue;
        ++failed;
        text +=
            QStringLiteral("FAILED %1: %2\n").arg(QString::fromLocal8Bit(zip.GetName(i)), error);
    }
    if (failed == 0 && findings.isEmpty()) {
        text += QStringLiteral("No errors in %1 (%2 entries).\n").arg(archive).arg(zip.Count());
        Console::Out(text);
        return 0;
    }
    Console::Out(text);
    return Console::Failure(
        QStringLiteral("%1 of %2 entries failed, %3 faults in the structure of %4.")
            .arg(failed)
            .arg(zip.Count())
            .arg(findings.size())
            .arg(archive));
}
