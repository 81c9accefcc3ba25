// Fails a test that hangs: unless disarmed (or destroyed) within the limit, it names what hung
// and aborts the test program, instead of leaving it to CTest's timeout.
#pragma once

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace testsupport {

class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, QByteArray what) {
        m_thread = std::thread([this, limit, what = std::move(what)] {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait_for(lock, limit, [this] { return m_disarmed; })) {
                std::fprintf(stderr, "FAIL! hang: %s (not done within %lld ms)\n", what.constData(),
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::abort();
            }
        });
    }
    ~Watchdog() {
        disarm();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void disarm() {
        {
            const std::lock_guard lock(m_mutex);
            m_disarmed = true;
        }
        m_wake.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_disarmed = false;
    std::thread m_thread;
};

} // namespace testsupport
