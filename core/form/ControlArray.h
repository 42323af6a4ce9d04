#pragma once
#include <array>
#include <cassert>
#include <cstddef>

namespace pr {

// A control array with a fixed index range First..Last, as the form declares it. Some
// arrays do not start at 0 (the extra point labels run 1..4), so indexing is by the
// control's own index, never by position.
template <typename T, int First, int Last>
class ControlArray {
    static_assert(First <= Last);

public:
    static constexpr int first = First;
    static constexpr int last = Last;
    static constexpr std::size_t size = std::size_t(Last - First + 1);

    static constexpr bool contains(int index) { return index >= First && index <= Last; }

    T &operator[](int index)
    {
        assert(contains(index));
        return items_[std::size_t(index - First)];
    }
    const T &operator[](int index) const
    {
        assert(contains(index));
        return items_[std::size_t(index - First)];
    }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    bool operator==(const ControlArray &) const = default;

private:
    std::array<T, size> items_{};
};

} // namespace pr
