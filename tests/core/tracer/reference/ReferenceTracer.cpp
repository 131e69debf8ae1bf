#include "ReferenceTracer.h"

#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <cmath>
#include <pthread.h>
#include <stdexcept>

namespace sonivera {

namespace reference {

namespace {

constexpr double kNoHit = 1.7e308;
constexpr int kMaxLegs = 10000;

Vec2 PointAt(SceneRay r, double t) {
    return {t * r.dx + r.x0, t * r.dy + r.y0};
}
Vec2 Negate(Vec2 v) {
    return {-v.x, -v.y};
}
double Dot(Vec2 a, Vec2 b) {
    return a.y * b.y + a.x * b.x;
}

Vec2 SideNormal(const CRectObject& q, Vec2 p) {
    if (p.x == q.m_x) {
        return {-1.0, 0.0};
    }
    if (p.x == q.m_x + q.m_width) {
        return {1.0, 0.0};
    }
    if (p.y == q.m_y) {
        return {0.0, -1.0};
    }
    if (p.y == q.m_y + q.m_height) {
        return {0.0, 1.0};
    }
    return {0.0, 0.0};
}

Vec2 Reflect(Vec2 d, Vec2 n) {
    const double k = 2.0 * (n.y * d.y + d.x * n.x);
    return {d.x - k * n.x, d.y - k * n.y};
}

class ReferenceTracer {
public:
    ReferenceTracer(const SceneSettings& settings, std::vector<double>& bins,
                    std::vector<int>& progress, std::vector<LoggedEcho>* log)
        : m_objects(settings.objects), m_bins(bins), m_settings(settings), m_progress(progress),
          m_log(log), m_stopDistance(settings.params.stopTime * 0.3),
          m_stopAmplitude(settings.params.stopAmplitude),
          m_binCount(static_cast<int>(bins.size())) {}

    ~ReferenceTracer() { ClearEchoes(); }

    void TraceFan(Vec2 listener) {
        const int n = m_settings.params.rayCount;
        const double step = 2.0 * 3.141592653589793 / n;
        PathNode root;
        root.pathLength = 0.0;
        root.amplitude = 1.0;
        ++nodes;
        root.contributions = CollectSourceContributions(&root, listener);
        CollectEchoes(&root);
        HandOver(-1);
        for (int i = 0; i < n; ++i) {
            const double theta = i * step;
            const SceneRay ray{listener.x, listener.y, std::cos(theta), std::sin(theta)};
            double d1 = 0.0;
            double f = 0.0;
            const CSceneObject* h = FindNearestHit(ray, nullptr, &d1, &f);
            if (h != nullptr) {
                auto* node = new PathNode;
                root.reflectionChild = node;
                root.reflectionLegLength = d1;
                root.amplitude = 1.0;
                root.reflectionLegFactor = f;
                node->parent = &root;
                TracePath(ray, static_cast<const CRectObject*>(h), node, 1);
                CollectEchoes(node);
                HandOver(i);
                delete node;
                root.reflectionChild = nullptr;
            }
            m_progress.push_back((100 * i) / n);
        }
    }

    unsigned long long nodes = 0;

private:
    const CSceneObject* FindNearestHit(SceneRay ray, const CSceneObject* leftOut, double* dist,
                                       double* factor) const {
        *dist = kNoHit;
        const CSceneObject* result = nullptr;
        for (const auto& object : m_objects) {
            if (object == nullptr) {
                break;
            }
            if (object.get() == leftOut) {
                continue;
            }
            double t;
            if (object->IntersectRay(ray, &t) && t < *dist) {
                *dist = t;
                result = object.get();
            }
        }
        *factor = std::exp(-(m_settings.params.mediumAbsorption * *dist));
        return result;
    }

    const CSceneObject* PassThrough(SceneRay ray, const CRectObject* q, double* legLength,
                                    double* legFactor) const {
        const Vec2 o = PointAt(ray, 0.001);
        double exitT = kNoHit;
        q->IntersectRay(SceneRay{o.x, o.y, ray.dx, ray.dy}, &exitT);
        const Vec2 e = PointAt(SceneRay{o.x, o.y, ray.dx, ray.dy}, exitT);
        double d2 = 0.0;
        double f = 0.0;
        SceneRay search{e.x, e.y, ray.dx, ray.dy};
        const CSceneObject* h = FindNearestHit(search, q, &d2, &f);
        double s = d2;
        while (h != nullptr && d2 < 0.001) {
            const Vec2 next = PointAt(search, d2 + 0.001);
            if (next.x == search.x0 && next.y == search.y0) {
                return nullptr; // no progress: the search would repeat for ever
            }
            search.x0 = next.x;
            search.y0 = next.y;
            h = FindNearestHit(search, q, &d2, &f);
            s = s + d2 + 0.001;
        }
        *legLength = 0.001 + exitT + s;
        *legFactor = f * std::exp(-(q->m_absorption * exitT));
        return h;
    }

    SourceContribution* CollectSourceContributions(PathNode* node, Vec2 p) const {
        (void)node;
        SourceContribution* first = nullptr;
        SourceContribution* last = nullptr;
        int sourceRank = -1;
        for (const auto& object : m_objects) {
            if (object == nullptr) {
                break;
            }
            if (object->GetKind() != OBJ_SOURCE) {
                continue;
            }
            ++sourceRank;
            const auto& source = static_cast<const CSoundSource&>(*object);
            const double sx = source.m_x;
            const double sy = source.m_y;
            const double dist = std::sqrt((p.x - sx) * (p.x - sx) + (p.y - sy) * (p.y - sy));
            const Vec2 v{(p.x - sx) / dist, (p.y - sy) / dist};
            double hd = 0.0;
            double unused = 0.0;
            const CSceneObject* h =
                FindNearestHit(SceneRay{sx, sy, v.x, v.y}, nullptr, &hd, &unused);
            if (!(h == nullptr || std::fabs(hd - dist) < 0.001)) {
                continue;
            }
            double amplitude = source.m_power;
            if (h != nullptr) {
                const auto& rect = static_cast<const CRectObject&>(*h);
                const double c = Dot(Negate(v), SideNormal(rect, p));
                amplitude = source.m_power * c * rect.m_reflection;
            }
            amplitude = amplitude * std::exp(-(m_settings.params.mediumAbsorption * dist));
            auto* contribution = new SourceContribution{dist, amplitude, nullptr, sourceRank};
            if (last == nullptr) {
                first = contribution;
            } else {
                last->next = contribution;
            }
            last = contribution;
        }
        return first;
    }

    void TracePath(SceneRay ray, const CRectObject* q, PathNode* node, int legs) {
        ++nodes;
        PathNode* parent = node->parent;
        double l;
        double f;
        if (parent->reflectionChild == node) {
            l = parent->reflectionLegLength;
            f = parent->reflectionLegFactor;
        } else {
            l = parent->passageLegLength;
            f = parent->passageLegFactor;
        }
        node->pathLength = parent->pathLength + l;
        node->amplitude = parent->amplitude * f;
        const Vec2 p = PointAt(ray, l);
        if (!m_settings.params.noReflection) {
            node->contributions = CollectSourceContributions(node, p);
        }
        if (node->pathLength > m_stopDistance || node->amplitude < m_stopAmplitude ||
            legs >= kMaxLegs) {
            return;
        }
        const Vec2 n = SideNormal(*q, p);
        if (q->m_absorption < m_settings.params.passAbsorptionLimit &&
            !m_settings.params.noTransmission) {
            double l2 = 0.0;
            double f2 = 0.0;
            const CSceneObject* h = PassThrough(SceneRay{p.x, p.y, ray.dx, ray.dy}, q, &l2, &f2);
            if (h != nullptr) {
                node->passageLegLength = l2;
                node->passageLegFactor = f2;
                auto* child = new PathNode;
                child->parent = node;
                node->passageChild = child;
                TracePath(SceneRay{p.x, p.y, ray.dx, ray.dy}, static_cast<const CRectObject*>(h),
                          child, legs + 1);
            }
        }
        const Vec2 r = Reflect(Vec2{ray.dx, ray.dy}, n);
        if (q->m_reflection != 0.0 && !m_settings.params.noReflection) {
            double l1 = 0.0;
            double f1 = 0.0;
            const SceneRay reflected{p.x, p.y, r.x, r.y};
            const CSceneObject* h = FindNearestHit(reflected, q, &l1, &f1);
            if (h == nullptr) {
                return;
            }
            const Vec2 q1 = PointAt(reflected, l1);
            const Vec2 n1 = SideNormal(static_cast<const CRectObject&>(*h), q1);
            if (Dot(Negate(r), n1) >= 0.999) {
                return;
            }
            node->reflectionLegLength = l1;
            node->reflectionLegFactor = q->m_reflection * f1;
            auto* child = new PathNode;
            child->parent = node;
            node->reflectionChild = child;
            TracePath(reflected, static_cast<const CRectObject*>(h), child, legs + 1);
        }
    }

    void CollectEchoes(const PathNode* node) {
        while (node != nullptr) {
            for (const SourceContribution* c = node->contributions; c != nullptr; c = c->next) {
                const double length = node->pathLength + c->distance;
                const double amplitude = c->amplitude * node->amplitude;
                if (length < m_stopDistance && amplitude > m_stopAmplitude) {
                    AddEcho(length, amplitude, c->source);
                }
            }
            CollectEchoes(node->reflectionChild);
            node = node->passageChild;
        }
    }

    void AddEcho(double length, double amplitude, int source) {
        auto* echo = new Echo{length * 0.0033333333333333335, amplitude, nullptr, source};
        if (m_lastEcho == nullptr) {
            m_firstEcho = echo;
        } else {
            m_lastEcho->next = echo;
        }
        m_lastEcho = echo;
    }

    void HandOver(int ray) {
        unsigned order = 0;
        for (const Echo* e = m_firstEcho; e != nullptr; e = e->next) {
            const double index = std::floor((e->delay / m_settings.params.groupTime) * 1000);
            int bin = index >= m_binCount ? m_binCount - 1 : static_cast<int>(index);
            m_bins[static_cast<std::size_t>(bin)] += e->amplitude;
            if (m_log != nullptr) {
                m_log->push_back({ray, order++, e->source, e->delay, e->amplitude, bin});
            }
        }
        ClearEchoes();
    }

    void ClearEchoes() {
        while (m_firstEcho != nullptr) {
            Echo* next = m_firstEcho->next;
            delete m_firstEcho;
            m_firstEcho = next;
        }
        m_lastEcho = nullptr;
    }

    const ObjectList& m_objects;
    Echo* m_firstEcho = nullptr;
    Echo* m_lastEcho = nullptr;
    std::vector<double>& m_bins;
    const SceneSettings& m_settings;
    std::vector<int>& m_progress;
    std::vector<LoggedEcho>* m_log;
    double m_stopDistance;
    double m_stopAmplitude;
    int m_binCount;
};

} // namespace

void FreeContributions(SourceContribution* list) {
    while (list != nullptr) {
        SourceContribution* next = list->next;
        delete list;
        list = next;
    }
}

PathNode::~PathNode() {
    FreeContributions(contributions);
    delete reflectionChild;
    delete passageChild;
}

ReferenceResult ComputeReferenceEffect(const SceneSettings& scene, bool logEchoes) {
    ReferenceResult result;
    const double count = std::ceil(scene.params.stopTime / scene.params.groupTime);
    result.bins.assign(static_cast<std::size_t>(count), 0.0);
    const CSceneObject* listener = scene.FirstObject();
    if (listener != nullptr) {
        ReferenceTracer tracer(scene, result.bins, result.progress,
                               logEchoes ? &result.echoes : nullptr);
        tracer.TraceFan(Vec2{listener->m_x, listener->m_y});
        result.nodes = tracer.nodes;
    }
    if (scene.params.normalize) {
        double m = 0.0;
        for (double b : result.bins) {
            if (b > m) {
                m = b;
            }
        }
        if (m > 1.0) {
            for (double& b : result.bins) {
                b = b / m;
            }
        }
    }
    return result;
}

void RunOnLargeStack(void (*fn)(void*), void* arg) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, std::size_t{256} << 20);
    struct Call {
        void (*fn)(void*);
        void* arg;
    } call{fn, arg};
    pthread_t thread;
    const int rc = pthread_create(
        &thread, &attr,
        [](void* p) -> void* {
            auto* c = static_cast<Call*>(p);
            c->fn(c->arg);
            return nullptr;
        },
        &call);
    pthread_attr_destroy(&attr);
    if (rc != 0) {
        throw std::runtime_error("cannot start a thread for the reference tracer");
    }
    pthread_join(thread, nullptr);
}

ReferenceResult ComputeReferenceEffectOnLargeStack(const SceneSettings& scene, bool logEchoes) {
    struct Job {
        const SceneSettings* scene;
        bool log;
        ReferenceResult result;
    } job{&scene, logEchoes, {}};
    RunOnLargeStack(
        [](void* p) {
            auto* j = static_cast<Job*>(p);
            j->result = ComputeReferenceEffect(*j->scene, j->log);
        },
        &job);
    return job.result;
}

} // namespace reference

} // namespace sonivera
