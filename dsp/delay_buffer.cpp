#include "dsp/delay_buffer.h"

#include <algorithm>
#include <new>

bool DelayBuffer::allocate(int32_t length, int32_t capacity, float gain) {
    if (buffer_) {
        length_ = std::min(length, capacity_);
    } else {
        if (capacity < 1) return false;
        buffer_.reset(new (std::nothrow) float[capacity]());
        if (!buffer_) return false;
        length_ = length;
        capacity_ = capacity;
    }
    gain_ = gain;
    return true;
}

void DelayBuffer::setLength(int32_t n) {
    if (buffer_ && length_ < capacity_) std::fill(buffer_.get() + length_, buffer_.get() + capacity_, 0.0f);
    length_ = std::min(n, capacity_);
}

void DelayBuffer::adopt(int32_t length, float gain, int32_t clearFrom) {
    if (clearFrom < silentFrom_) {
        std::fill(buffer_.get() + clearFrom, buffer_.get() + silentFrom_, 0.0f);
        silentFrom_ = clearFrom;
    }
    length_ = length;
    gain_ = gain;
    // Until the next set arrives, frames write only below the length, or once at a
    // position left beyond it.
    silentFrom_ = std::max({silentFrom_, length_, position_ + 1});
}
