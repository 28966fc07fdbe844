#include "TestRegistry.h"

#include <vector>

#include <QStandardPaths>
#include <QStringList>
#include <QTest>

namespace {
struct Entry {
    const char* Name;
    TestRegistry::Factory Make;
};

std::vector<Entry>& Entries()
{
    static std::vector<Entry> entries;
    return entries;
}
} // namespace

namespace {
TestRegistry::AppFactory& StoredAppFactory()
{
    static TestRegistry::AppFactory factory;
    return factory;
}
} // namespace

bool TestRegistry::SetApplicationFactory(AppFactory factory)
{
    StoredAppFactory() = std::move(factory);
    return true;
}

const TestRegistry::AppFactory& TestRegistry::ApplicationFactory()
{
    return StoredAppFactory();
}

bool TestRegistry::Register(const char* name, Factory factory)
{
    Entries().push_back({name, std::move(factory)});
    return true;
}

int TestRegistry::RunAll(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QStringList only;
    std::vector<char*> passOn{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "-class" && i + 1 < argc)
            only.append(QString::fromLocal8Bit(argv[++i]));
        else
            passOn.push_back(argv[i]);
    }
    int failedClasses = 0;
    for (const Entry& entry : Entries()) {
        if (!only.isEmpty() && !only.contains(QLatin1String(entry.Name)))
            continue;
        std::unique_ptr<QObject> test = entry.Make();
        if (QTest::qExec(test.get(), int(passOn.size()), passOn.data()) != 0)
            ++failedClasses;
    }
    return failedClasses;
}
