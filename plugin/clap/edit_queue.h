// Edits made inside the plug-in (the panel), on their way to the host as parameter events:
// one thread pushes, the thread that next processes or flushes takes them off. Fixed
// capacity, no lock, no allocation; a full queue refuses the push.
#pragma once

#include <atomic>
#include <cstdint>

namespace clapplug {

struct Edit {
    enum Kind : std::uint8_t { kBegin, kValue, kEnd };
    Kind kind;
    std::uint32_t index;
    double value;  // plain, for kValue
};

template <std::uint32_t Capacity>
class EditQueue {
    static_assert((Capacity & (Capacity - 1)) == 0, "a power of two, so the counters may wrap");

public:
    // Producer.
    bool push(const Edit& edit) {
        const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == Capacity) return false;
        slots_[tail % Capacity] = edit;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer: the oldest edit, left in place until pop, so one the host could not take
    // waits for the next call. Null when empty.
    const Edit* front() const {
        const std::uint32_t head = head_.load(std::memory_order_relaxed);
        return head == tail_.load(std::memory_order_acquire) ? nullptr : &slots_[head % Capacity];
    }
    void pop() { head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

private:
    alignas(64) std::atomic<std::uint32_t> head_{0};
    alignas(64) std::atomic<std::uint32_t> tail_{0};
    Edit slots_[Capacity];
};

}  // namespace clapplug
