#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One queued frame: where its bytes lie in the packet buffer.
struct PayloadSpan {
    int32_t offset;
    int32_t length;
};

// First-in first-out queue of the frames of the current packet. It is only
// refilled once empty, so it is a vector read from a head index: refilling
// reuses the storage, and once it has grown to the largest packet's frame
// count, queuing and taking frames allocate nothing.
class CFrameQueue {
public:
    bool Empty() const noexcept { return m_head == m_spans.size(); }
    size_t Size() const noexcept { return m_spans.size() - m_head; }

    // Forgets every queued span and keeps the storage.
    void Clear() noexcept {
        m_spans.clear();
        m_head = 0;
    }

    // Forgets every queued span and frees the storage.
    void Release() noexcept {
        std::vector<PayloadSpan>().swap(m_spans);
        m_head = 0;
    }

    void Push(PayloadSpan span) { m_spans.push_back(span); }

    // Takes the front span; the queue must not be empty.
    PayloadSpan Pop() noexcept { return m_spans[m_head++]; }

private:
    std::vector<PayloadSpan> m_spans;
    size_t m_head = 0;
};
