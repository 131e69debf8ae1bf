#include "core/tracer/PathKeeper.h"

#include "core/tracer/MemoryBudget.h"

#include <algorithm>
#include <utility>

namespace sonivera {

namespace {

// Heap order with the weakest path on top.
bool WeakerOnTop(const EchoPath& a, const EchoPath& b) {
    return RanksBefore(a, b);
}

} // namespace

PathKeeper::PathKeeper(std::size_t perSource, std::size_t sourceCount, std::uint64_t byteLimit)
    : m_perSource(perSource), m_heaps(sourceCount), m_byteLimit(byteLimit) {}

void PathKeeper::Keep(EchoPath& path) {
    Heap& heap = m_heaps[static_cast<std::size_t>(path.source)];
    const std::uint64_t bytes = KeptPathBytes(path.points.capacity());
    const std::uint64_t dropped =
        heap.size() >= m_perSource && !heap.empty() ? KeptPathBytes(heap.front().points.capacity()) : 0;
    if (m_bytes - dropped + bytes > m_byteLimit) {
        m_overLimit = true;
        return;
    }
    m_bytes = m_bytes - dropped + bytes;
    if (heap.size() >= m_perSource) {
        std::pop_heap(heap.begin(), heap.end(), WeakerOnTop);
        std::swap(heap.back(), path);
    } else {
        heap.push_back(std::move(path));
        path = EchoPath{};
    }
    std::push_heap(heap.begin(), heap.end(), WeakerOnTop);
}

void PathKeeper::MergeFrom(PathKeeper&& other) {
    m_overLimit = m_overLimit || other.m_overLimit;
    for (Heap& heap : other.m_heaps) {
        for (EchoPath& path : heap) {
            if (Wants(path.source, path.amplitude, path.ray, path.order)) {
                Keep(path);
            }
        }
        heap.clear();
    }
    other.m_bytes = 0;
}

std::vector<EchoPath> PathKeeper::Take() {
    std::vector<EchoPath> all;
    all.reserve(Size());
    for (Heap& heap : m_heaps) {
        std::sort_heap(heap.begin(), heap.end(), WeakerOnTop);
        for (EchoPath& path : heap) {
            all.push_back(std::move(path));
        }
        heap.clear();
    }
    m_bytes = 0;
    return all;
}

std::size_t PathKeeper::Size() const {
    std::size_t n = 0;
    for (const Heap& heap : m_heaps) {
        n += heap.size();
    }
    return n;
}

} // namespace sonivera
