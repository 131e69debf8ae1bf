#include "core/tracer/PathKeeper.h"

#include <algorithm>
#include <utility>

namespace sonivera {

namespace {

// Heap order with the weakest path on top.
bool WeakerOnTop(const EchoPath& a, const EchoPath& b) {
    return RanksBefore(a, b);
}

} // namespace

PathKeeper::PathKeeper(std::size_t perSource, std::size_t sourceCount)
    : m_perSource(perSource), m_heaps(sourceCount) {}

void PathKeeper::Keep(EchoPath& path) {
    Heap& heap = m_heaps[static_cast<std::size_t>(path.source)];
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
    for (Heap& heap : other.m_heaps) {
        for (EchoPath& path : heap) {
            if (Wants(path.source, path.amplitude, path.ray, path.order)) {
                Keep(path);
            }
        }
        heap.clear();
    }
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
