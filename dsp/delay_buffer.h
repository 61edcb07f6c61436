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

    bool allocated() const { return buffer_ != nullptr; }
    int32_t length() const { return length_; }
    int32_t capacity() const { return capacity_; }
    int32_t position() const { return position_; }
    float gain() const { return gain_; }

protected:
    explicit DelayBuffer(float gain) : gain_(gain) {}
    ~DelayBuffer() = default;

    void advance()
    {
        if (++position_ >= length_)
            position_ = 0;
    }

    std::unique_ptr<float[]> buffer_;
    int32_t length_ = 0;
    int32_t capacity_ = 0;
    int32_t position_ = 0;
    float gain_;

    friend class ReverbEngine;  // runs whole blocks on the storage directly
};
