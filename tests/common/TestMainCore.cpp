#include <QCoreApplication>

#include "TestRegistry.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return TestRegistry::RunAll(argc, argv);
}
