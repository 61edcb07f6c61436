// Hands the newest value from the control side to the audio thread without locks.
// Two slots and a mailbox: the control side posts into the slot the audio thread is not
// using; the audio thread takes whatever is in the mailbox. A post that finds its
// predecessor still untaken withdraws it and folds it into the new one, so nothing posted
// is lost even when the audio thread sees only the last of several posts.
#pragma once

#include <atomic>
#include <cstdint>

template <class T>
class Handover {
public:
    // Control side, one thread at a time. fold(newer, withdrawn) merges an untaken value.
    template <class Fold>
    void post(T value, Fold fold)
    {
        const int32_t withdrawn = mailbox_.exchange(kEmpty, std::memory_order_acq_rel);
        if (withdrawn != kEmpty)
            fold(value, slots_[withdrawn]);
        else if (lastPosted_ != kEmpty)
            audioSlot_ = lastPosted_;  // taken, so the audio thread is done with the older slot
        const int32_t slot = audioSlot_ == 0 ? 1 : 0;
        slots_[slot] = value;
        lastPosted_ = slot;
        mailbox_.store(slot, std::memory_order_release);
    }

    // Audio side: the newly posted value, or null when nothing new arrived. It stays valid
    // until the next take.
    const T* take()
    {
        if (mailbox_.load(std::memory_order_relaxed) == kEmpty)
            return nullptr;
        const int32_t slot = mailbox_.exchange(kEmpty, std::memory_order_acq_rel);
        return slot == kEmpty ? nullptr : &slots_[slot];
    }

private:
    static constexpr int32_t kEmpty = -1;

    T slots_[2] = {};
    std::atomic<int32_t> mailbox_{kEmpty};
    int32_t lastPosted_ = kEmpty;  // control side's own bookkeeping
    int32_t audioSlot_ = kEmpty;
};
