// Circular storage shared by the allpass and the damped delay: allocated once, then only
// the active length changes.
#pragma once

#include <cstdint>
#include <memory>

class DelayBuffer {
public:
    // One-time set-up. False when the storage could not be had; the block then stays empty.
    // On a block that has storage already only the length (capped) and the gain change.
    bool allocate(int32_t length, int32_t capacity, float gain);

    // Clears from the current length to the end, then caps n at the capacity. The position
    // stays where it is, so a line shrunk below it finishes that one slot before wrapping.
    void setLength(int32_t n);

    // Takes a new length and gain as a whole set arrives, first clearing from clearFrom:
    // the lowest length the line passed through since the last set. Only the slots that
    // may hold something are cleared.
    void adopt(int32_t length, float gain, int32_t clearFrom);

    bool allocated() const { return buffer_ != nullptr; }
    int32_t length() const { return length_; }
    int32_t capacity() const { return capacity_; }
    int32_t position() const { return position_; }
    float gain() const { return gain_; }

    // For running several frames on the slots directly: the slots from index on, and the
    // steps a position there can take before it wraps (the last of them wraps).
    float* slots(int32_t index) { return buffer_.get() + index; }
    int32_t stepsToWrap(int32_t index) const { return length_ - index > 1 ? length_ - index : 1; }

    // Where the position goes on the next step.
    int32_t nextPosition() const { return position_ + 1 >= length_ ? 0 : position_ + 1; }

    // n steps at most up to the wrap: at the end of the length the position goes back to 0.
    // When the caller knows that no step reaches the end, mayWrap false skips the test.
    void advance(int32_t n = 1, bool mayWrap = true) {
        position_ += n;
        if (mayWrap && position_ >= length_) position_ = 0;
    }

protected:
    explicit DelayBuffer(float gain) : gain_(gain) {}
    ~DelayBuffer() = default;

    std::unique_ptr<float[]> buffer_;
    int32_t length_ = 0;
    int32_t capacity_ = 0;
    int32_t position_ = 0;
    float gain_;
    int32_t silentFrom_ = 0;  // every slot from here to the capacity holds 0
};
