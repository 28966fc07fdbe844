#pragma once

#include <functional>
#include <memory>

#include <QObject>

class QCoreApplication;

// Test classes register themselves, so one executable per layer runs every
// test class of that layer's folder without a hand-kept list.
namespace TestRegistry {
using Factory = std::function<std::unique_ptr<QObject>()>;

bool Register(const char* name, Factory factory);
// The application object the GUI test main creates; a test folder whose
// windows need the program's own application class registers it.
using AppFactory = std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)>;
bool SetApplicationFactory(AppFactory factory);
const AppFactory& ApplicationFactory();
// Runs every registered class (or only those named on the command line as
// "-class Name"); returns the number of failed classes.
int RunAll(int argc, char** argv);
} // namespace TestRegistry

#define QZ_REGISTER_TEST(Class)                                                                    \
    static const bool Class##Registered =                                                          \
        TestRegistry::Register(#Class, [] { return std::unique_ptr<QObject>(new Class); })
