// SampleRing: the last Capacity values pushed, in a fixed array: pushing never
// allocates, and once full each push drops the oldest value.
//
// Shortcoming: values are copied in and out; meant for small ones (floats, pairs).
#pragma once

#include <array>
#include <cstddef>

namespace torvane {

template <typename Value, std::size_t Capacity>
class SampleRing {
public:
    void push(Value value)
    {
        values[next] = value;
        next = (next + 1) % Capacity;
        count = count < Capacity ? count + 1 : Capacity;
    }
    std::size_t size() const { return count; }
    static constexpr std::size_t capacity() { return Capacity; }
    // The index-th value from the oldest kept (0) to the newest (size() - 1).
    Value at(std::size_t index) const { return values[(next + Capacity - count + index) % Capacity]; }
    void clear()
    {
        count = 0;
        next = 0;
    }

private:
    std::array<Value, Capacity> values{};
    std::size_t next = 0;  // where the next value goes
    std::size_t count = 0;
};

} // namespace torvane
