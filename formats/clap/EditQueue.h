// The editor's edits on their way to the host. The editor's thread puts them in; whichever
// thread runs process or flush (never two at once) takes them out into the host's output
// events. One writer, one reader and a fixed ring, so neither side ever waits or allocates.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

struct ParamEdit {
    enum Kind : uint8_t { kBegin, kValue, kEnd };
    Kind kind = kValue;
    uint32_t param = 0;
    double value = 0.0;  // plain; only for kValue
};

class EditQueue {
public:
    static constexpr size_t kCapacity = 1024;  // a power of two

    // Writer: false when the ring is full (the edit is dropped).
    bool Push(const ParamEdit& edit)
    {
        const size_t tail = writeAt.load(std::memory_order_relaxed);
        if (tail - readAt.load(std::memory_order_acquire) >= kCapacity) return false;
        ring[tail & (kCapacity - 1)] = edit;
        writeAt.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Reader: the oldest edit, left in place until Pop (the host may refuse to take it).
    bool Peek(ParamEdit& edit) const
    {
        const size_t head = readAt.load(std::memory_order_relaxed);
        if (head == writeAt.load(std::memory_order_acquire)) return false;
        edit = ring[head & (kCapacity - 1)];
        return true;
    }

    void Pop()
    {
        const size_t head = readAt.load(std::memory_order_relaxed);
        if (head != writeAt.load(std::memory_order_acquire)) readAt.store(head + 1, std::memory_order_release);
    }

private:
    ParamEdit ring[kCapacity];
    std::atomic<size_t> writeAt{0};
    std::atomic<size_t> readAt{0};
};
