#pragma once

#include <functional>

class wxWindow;

namespace sonivera {

struct SceneSettings;
struct SceneCheckFinding;

// The scene check with its message boxes, owned by `owner` (the view's window): the first
// geometric error of the scene is shown in an "Ошибка" box and the answer is false; a clean scene
// answers true and, only when `reportSuccess` is set, is confirmed with "Сцена не содержит
// ошибок" under the application title. Changes nothing in the scene.
// `onFinding`, when given, is told the finding after its box closed (the view selects the
// objects it means).
bool CheckSceneAndReport(wxWindow* owner, const SceneSettings& scene, bool reportSuccess,
                         const std::function<void(const SceneCheckFinding&)>& onFinding = {});

} // namespace sonivera
