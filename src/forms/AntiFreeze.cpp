#include "AntiFreeze.h"

#include <QCoreApplication>
#include <QThread>

bool TAntiFreeze::DoIdle() const
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!m_active || app == nullptr || QThread::currentThread() != app->thread())
        return false;
    QCoreApplication::processEvents();
    return true;
}

std::function<void()> TAntiFreeze::IdleHook() const
{
    return [this] {
        DoIdle();
    };
}
