#pragma once

#include <functional>
#include <memory>

#include <QObject>

// Test classes register themselves, so one executable per layer runs every
// test class of that layer's folder without a hand-kept list.
namespace TestRegistry {
using Factory = std::function<std::unique_ptr<QObject>()>;

bool Register(const char* name, Factory factory);
// Runs every registered class (or only those named on the command line as
// "-class Name"); returns the number of failed classes.
int RunAll(int argc, char** argv);
} // namespace TestRegistry

#define QZ_REGISTER_TEST(Class)                                                                    \
    static const bool Class##Registered =                                                          \
        TestRegistry::Register(#Class, [] { return std::unique_ptr<QObject>(new Class); })
