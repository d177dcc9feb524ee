// A vector that keeps its first N elements inside the object and moves to the
// heap only beyond them: the matcher's per-call tables cost no allocation for
// the patterns the system writes, and still have no upper bound. For plain
// records only (trivially copyable); the inline room is not initialised.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace regex_detail {

template <typename T, size_t N>
class SmallVector {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    SmallVector() = default;
    SmallVector(const SmallVector&) = delete;
    SmallVector& operator=(const SmallVector&) = delete;

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T* data() { return m_onHeap ? m_heap.data() : Inline(); }
    const T* data() const { return m_onHeap ? m_heap.data() : Inline(); }
    T& operator[](size_t i) { return data()[i]; }
    const T& operator[](size_t i) const { return data()[i]; }
    T& back() { return data()[m_size - 1]; }
    T* begin() { return data(); }
    T* end() { return data() + m_size; }

    void clear() {
        m_size = 0;
        m_heap.clear();
    }
    void pop_back() {
        --m_size;
        if (m_onHeap) m_heap.pop_back();
    }
    void push_back(const T& value) {
        if (!m_onHeap && m_size == N) MoveToHeap();
        if (m_onHeap) m_heap.push_back(value);
        else new (Inline() + m_size) T(value);
        ++m_size;
    }
    void insert(size_t index, const T& value) {
        T copy = value;
        push_back(copy);
        T* items = data();
        for (size_t i = m_size - 1; i > index; --i) items[i] = items[i - 1];
        items[index] = copy;
    }
    // Room for `count` elements whose values the caller writes; shrink with
    // truncate() afterwards.
    T* resize_for_overwrite(size_t count) {
        clear();
        if (count > N || m_onHeap) {
            m_heap.resize(count);
            m_onHeap = true;
        }
        m_size = count;
        return data();
    }
    void truncate(size_t count) {
        m_size = count;
        if (m_onHeap) m_heap.resize(count);
    }
    void fill(size_t count, const T& value) {
        clear();
        if (count > N || m_onHeap) {
            m_heap.assign(count, value);
            m_onHeap = true;
        } else {
            std::uninitialized_fill_n(Inline(), count, value);
        }
        m_size = count;
    }

private:
    T* Inline() { return std::launder(reinterpret_cast<T*>(m_inline)); }
    const T* Inline() const { return std::launder(reinterpret_cast<const T*>(m_inline)); }

    void MoveToHeap() {
        m_heap.reserve(N * 2);
        m_heap.assign(Inline(), Inline() + m_size);
        m_onHeap = true;
    }

    alignas(T) unsigned char m_inline[sizeof(T) * N];
    std::vector<T> m_heap;
    size_t m_size = 0;
    bool m_onHeap = false;
};

} // namespace regex_detail
