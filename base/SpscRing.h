#pragma once

#include <array>
#include <atomic>
#include <cstddef>

namespace plinka {

// A fixed-capacity queue between one producer thread and one consumer thread: no lock, no
// allocation after construction. Slots are written and read in place so large items (blocks of
// samples) need no copy.
template <typename T, size_t Capacity>
class SpscRing {
    static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0, "capacity: a power of two");

  public:
    // Producer: the slot to fill next, or nullptr when the ring is full.
    T* writeSlot() {
        const size_t write = write_.load(std::memory_order_relaxed);
        if (write - read_.load(std::memory_order_acquire) == Capacity) {
            return nullptr;
        }
        return &slots_[write & (Capacity - 1)];
    }
    // Producer: makes the slot from writeSlot() visible to the consumer.
    void publish() {
        write_.store(write_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }
    // Producer: copies an item in; false (and nothing queued) when full.
    bool tryPush(const T& item) {
        T* slot = writeSlot();
        if (slot == nullptr) {
            return false;
        }
        *slot = item;
        publish();
        return true;
    }

    // Consumer: the oldest item, or nullptr when the ring is empty.
    T* readSlot() {
        const size_t read = read_.load(std::memory_order_relaxed);
        if (read == write_.load(std::memory_order_acquire)) {
            return nullptr;
        }
        return &slots_[read & (Capacity - 1)];
    }
    // Consumer: gives the slot from readSlot() back to the producer.
    void release() {
        read_.store(read_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }

    // Either side: how many items are queued (a snapshot).
    size_t size() const {
        const size_t read = read_.load(std::memory_order_acquire);
        return write_.load(std::memory_order_acquire) - read;
    }
    static constexpr size_t capacity() { return Capacity; }

  private:
    alignas(64) std::atomic<size_t> write_{0};
    alignas(64) std::atomic<size_t> read_{0};
    alignas(64) std::array<T, Capacity> slots_{};
};

}  // namespace plinka
