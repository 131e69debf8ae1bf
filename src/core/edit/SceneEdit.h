#pragma once

#include "core/edit/ObjectRecord.h"
#include "core/model/CalcParameters.h"
#include "core/model/SceneLayout.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sonivera {

struct SceneSettings;

// What an edit did, for the undo and redo items' texts.
enum class EditKind {
    AddSource,
    DrawRect,
    MoveObject,
    DeleteObject,
    CutObject,
    PasteObject,
    ObjectProperties,
    SceneSize,
    SceneParameters,
};

// The selection a view takes after an edit was applied or reverted: the object at `index`, no
// selection (the concerned object is gone), or the selection as it was (an edit of the scene's
// settings concerns no object).
struct EditSelection {
    enum class Mode { Keep, Clear, Select };
    Mode mode = Mode::Keep;
    std::size_t index = 0;
};

// The scene record's settings: its size, its grid and its calculation parameters.
struct SettingsRecord : SceneLayout {
    CalcParameters params;
    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

SettingsRecord SettingsOf(const SceneSettings& scene);
void RestoreSettings(SceneSettings& scene, const SettingsRecord& settings);

// One reversible change of a scene. Apply makes the change on a scene in the state before it;
// Revert takes a scene in the state after it back. Objects are named by their position in the
// list, so an edit stays right when the objects were re-created by other undone edits. An edit
// whose position does not exist changes nothing.
class SceneEdit {
public:
    explicit SceneEdit(EditKind kind) : m_kind(kind) {}
    virtual ~SceneEdit() = default;

    EditKind Kind() const { return m_kind; }
    virtual EditSelection Apply(SceneSettings& scene) const = 0;
    virtual EditSelection Revert(SceneSettings& scene) const = 0;

private:
    EditKind m_kind;
};

// An object inserted at `index` (added, drawn, pasted); reverting removes it.
std::unique_ptr<SceneEdit> MakeInsertEdit(EditKind kind, std::size_t index, ObjectRecord object);
// The object at `index` removed (deleted, cut); reverting puts it back at its place.
std::unique_ptr<SceneEdit> MakeRemoveEdit(EditKind kind, std::size_t index, ObjectRecord object);
// The object at `index` changed from `before` to `after` (moved, properties).
std::unique_ptr<SceneEdit> MakeChangeEdit(EditKind kind, std::size_t index, ObjectRecord before,
                                          ObjectRecord after);
// The scene's settings changed (the size and grid, the calculation parameters).
std::unique_ptr<SceneEdit> MakeSettingsEdit(EditKind kind, SettingsRecord before,
                                            SettingsRecord after);

} // namespace sonivera
