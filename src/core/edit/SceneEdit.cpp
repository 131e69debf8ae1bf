#include "core/edit/SceneEdit.h"

#include "core/model/SceneSettings.h"

#include <iterator>
#include <utility>

namespace sonivera {

namespace {

EditSelection Select(std::size_t index) {
    return {EditSelection::Mode::Select, index};
}

EditSelection Clear() {
    return {EditSelection::Mode::Clear, 0};
}

bool Insert(SceneSettings& scene, std::size_t index, const ObjectRecord& record) {
    if (index > scene.objects.size()) {
        return false;
    }
    auto object = MakeObject(record, &scene);
    if (!object) {
        return false;
    }
    scene.objects.insert(std::next(scene.objects.begin(), static_cast<std::ptrdiff_t>(index)),
                         std::move(object));
    return true;
}

bool Remove(SceneSettings& scene, std::size_t index) {
    if (index >= scene.objects.size()) {
        return false;
    }
    scene.objects.erase(std::next(scene.objects.begin(), static_cast<std::ptrdiff_t>(index)));
    return true;
}

EditSelection Restore(SceneSettings& scene, std::size_t index, const ObjectRecord& record) {
    CSceneObject* object = ObjectAt(scene, index);
    if (object == nullptr || !RestoreObject(*object, record)) {
        return {};
    }
    return Select(index);
}

class InsertEdit : public SceneEdit {
public:
    InsertEdit(EditKind kind, std::size_t index, ObjectRecord object)
        : SceneEdit(kind), m_index(index), m_object(std::move(object)) {}

    EditSelection Apply(SceneSettings& scene) const override {
        return Insert(scene, m_index, m_object) ? Select(m_index) : EditSelection{};
    }
    EditSelection Revert(SceneSettings& scene) const override {
        return Remove(scene, m_index) ? Clear() : EditSelection{};
    }

private:
    std::size_t m_index;
    ObjectRecord m_object;
};

class RemoveEdit : public SceneEdit {
public:
    RemoveEdit(EditKind kind, std::size_t index, ObjectRecord object)
        : SceneEdit(kind), m_index(index), m_object(std::move(object)) {}

    EditSelection Apply(SceneSettings& scene) const override {
        return Remove(scene, m_index) ? Clear() : EditSelection{};
    }
    EditSelection Revert(SceneSettings& scene) const override {
        return Insert(scene, m_index, m_object) ? Select(m_index) : EditSelection{};
    }

private:
    std::size_t m_index;
    ObjectRecord m_object;
};

class ChangeEdit : public SceneEdit {
public:
    ChangeEdit(EditKind kind, std::size_t index, ObjectRecord before, ObjectRecord after)
        : SceneEdit(kind), m_index(index), m_before(std::move(before)), m_after(std::move(after)) {}

    EditSelection Apply(SceneSettings& scene) const override {
        return Restore(scene, m_index, m_after);
    }
    EditSelection Revert(SceneSettings& scene) const override {
        return Restore(scene, m_index, m_before);
    }

private:
    std::size_t m_index;
    ObjectRecord m_before;
    ObjectRecord m_after;
};

class SettingsEdit : public SceneEdit {
public:
    SettingsEdit(EditKind kind, SettingsRecord before, SettingsRecord after)
        : SceneEdit(kind), m_before(before), m_after(after) {}

    EditSelection Apply(SceneSettings& scene) const override {
        RestoreSettings(scene, m_after);
        return {};
    }
    EditSelection Revert(SceneSettings& scene) const override {
        RestoreSettings(scene, m_before);
        return {};
    }

private:
    SettingsRecord m_before;
    SettingsRecord m_after;
};

} // namespace

SettingsRecord SettingsOf(const SceneSettings& s) {
    return {static_cast<const SceneLayout&>(s), s.params};
}

void RestoreSettings(SceneSettings& s, const SettingsRecord& r) {
    static_cast<SceneLayout&>(s) = r;
    s.params = r.params;
}

std::unique_ptr<SceneEdit> MakeInsertEdit(EditKind kind, std::size_t index, ObjectRecord object) {
    return std::make_unique<InsertEdit>(kind, index, std::move(object));
}

std::unique_ptr<SceneEdit> MakeRemoveEdit(EditKind kind, std::size_t index, ObjectRecord object) {
    return std::make_unique<RemoveEdit>(kind, index, std::move(object));
}

std::unique_ptr<SceneEdit> MakeChangeEdit(EditKind kind, std::size_t index, ObjectRecord before,
                                          ObjectRecord after) {
    return std::make_unique<ChangeEdit>(kind, index, std::move(before), std::move(after));
}

std::unique_ptr<SceneEdit> MakeSettingsEdit(EditKind kind, SettingsRecord before,
                                            SettingsRecord after) {
    return std::make_unique<SettingsEdit>(kind, before, after);
}

} // namespace sonivera
