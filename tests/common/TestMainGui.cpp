#include <QApplication>

#include "TestRegistry.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    const std::unique_ptr<QCoreApplication> app =
        TestRegistry::ApplicationFactory() ? TestRegistry::ApplicationFactory()(argc, argv)
                                           : std::make_unique<QApplication>(argc, argv);
    return TestRegistry::RunAll(argc, argv);
}
