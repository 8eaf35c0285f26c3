// A plain array of trivially copyable items that grows by doubling and never shrinks.
// Sample buffers, rings, display arrays and the state chunk all share this growth rule.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

template <typename T>
class GrowableArray {
    static_assert(std::is_trivially_copyable<T>::value, "items are moved with realloc");

public:
    GrowableArray() = default;
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;
    // Movable, so that arrays can live in vectors (the intensity grid's columns, the zoom bands).
    GrowableArray(GrowableArray&& other) noexcept : items(other.items), count(other.count), capacity(other.capacity)
    {
        other.items = nullptr;
        other.count = 0;
        other.capacity = 0;
    }
    GrowableArray& operator=(GrowableArray&& other) noexcept
    {
        if (this != &other) {
            std::free(items);
            items = other.items;
            count = other.count;
            capacity = other.capacity;
            other.items = nullptr;
            other.count = 0;
            other.capacity = 0;
        }
        return *this;
    }
    ~GrowableArray() { std::free(items); }

    // Grows to max(capacity, 64) doubled until n fits, keeping the contents.
    // A failed allocation (or a negative n) leaves the array empty in size, its storage intact.
    bool Resize(int n, bool clear)
    {
        if (n < 0) n = 0;
        if (capacity < n) {
            int64_t newCapacity = capacity > 64 ? capacity : 64;
            while (newCapacity < n) newCapacity *= 2;
            if (newCapacity > INT32_MAX) newCapacity = INT32_MAX;
            void* grown = std::realloc(items, static_cast<size_t>(newCapacity) * sizeof(T));
            if (!grown) {
                count = 0;
                return false;
            }
            items = static_cast<T*>(grown);
            capacity = static_cast<int>(newCapacity);
        }
        count = items ? n : 0;
        if (clear && items) std::memset(static_cast<void*>(items), 0, static_cast<size_t>(capacity) * sizeof(T));
        return count == n;
    }

    int Size() const { return count; }
    int Capacity() const { return capacity; }
    T* Data() { return items; }
    const T* Data() const { return items; }
    T& operator[](int i) { return items[i]; }
    const T& operator[](int i) const { return items[i]; }
    T* AddressOf(int i) { return items + i; }

private:
    T* items = nullptr;
    int count = 0;
    int capacity = 0;
};
