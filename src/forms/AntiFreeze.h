#pragma once

#include <functional>

// Keeps the windows alive while the main thread waits in a blocking call: the
// FTP client calls the idle hook after every slice of IdleTimeOut() ms that it
// waited, and the hook lets pending window events run. Other threads waiting
// are left alone.
class TAntiFreeze {
public:
    bool Active() const { return m_active; }
    void SetActive(bool active) { m_active = active; }
    // Recorded for the waiting code; events are processed on every slice.
    bool OnlyWhenIdle() const { return m_onlyWhenIdle; }
    void SetOnlyWhenIdle(bool onlyWhenIdle) { m_onlyWhenIdle = onlyWhenIdle; }
    int IdleTimeOut() const { return m_idleTimeOut; }
    void SetIdleTimeOut(int milliseconds) { m_idleTimeOut = milliseconds; }

    // Processes pending events when active and called on the main thread;
    // returns whether it did.
    bool DoIdle() const;
    // The hook to hand to a waiting client; it stays valid as long as this.
    std::function<void()> IdleHook() const;

private:
    bool m_active = true;
    bool m_onlyWhenIdle = false;
    int m_idleTimeOut = 250;
};
