#pragma once

#include <cstddef>
#include <vector>

// Memory a thread keeps between calls for work it repeats over many files, such as a photo's
// bytes and its entropy data: taking fresh memory for each file faults every page of it in again,
// which cost a camera photo a tenth of its whole decode. The owner keeps the buffer in a
// thread_local and holds a Trim while it uses it; a buffer that grew past kKeptBytes for a rare
// large file is given back when the Trim ends, so it does not stay for the life of the thread.
namespace ThreadScratch {

constexpr size_t kKeptBytes = size_t(32) << 20;

template <typename T> class Trim {
public:
    explicit Trim(std::vector<T>& buffer) : m_buffer(buffer) {}
    ~Trim() {
        if (m_buffer.capacity() * sizeof(T) > kKeptBytes)
            std::vector<T>().swap(m_buffer);
    }
    Trim(const Trim&) = delete;
    Trim& operator=(const Trim&) = delete;

private:
    std::vector<T>& m_buffer;
};

} // namespace ThreadScratch
