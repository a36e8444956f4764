#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <utility>

// Shared between a long computation on worker threads and whoever watches
// it: the computation counts its steps up to total, and a cancel makes it
// stop at its next step. Every member but setObserver is safe from any
// thread.
class WorkControl
{
public:
    // Called on the computing thread after every step, with the steps done
    // so far; set it before the computation starts.
    using Observer = std::function<void(WorkControl &control, qint64 done)>;
    void setObserver(Observer observer) { m_observer = std::move(observer); }

    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    // Called by the computation.
    void start(qint64 total)
    {
        m_total.store(total, std::memory_order_relaxed);
        m_done.store(0, std::memory_order_relaxed);
    }
    // Returns false when the computation should stop.
    bool advance(qint64 steps)
    {
        const qint64 done = m_done.fetch_add(steps, std::memory_order_relaxed) + steps;
        if (m_observer)
            m_observer(*this, done);
        return !isCancelled();
    }

    qint64 done() const { return m_done.load(std::memory_order_relaxed); }
    qint64 total() const { return m_total.load(std::memory_order_relaxed); }

private:
    Observer m_observer;
    std::atomic<bool> m_cancelled{false};
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_total{0};
};
