#pragma once

class wxWindow;

namespace sonivera {

struct SceneSettings;

// The scene check with its message boxes, owned by `owner` (the view's window): the first
// geometric error of the scene is shown in an "Ошибка" box and the answer is false; a clean scene
// answers true and, only when `reportSuccess` is set, is confirmed with "Сцена не содержит
// ошибок" under the application title. Changes nothing in the scene.
bool CheckSceneAndReport(wxWindow* owner, const SceneSettings& scene, bool reportSuccess);

} // namespace sonivera
