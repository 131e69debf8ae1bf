#include "core/model/SceneSettings.h"

#include "core/model/Listener.h"

namespace sonivera {

std::unique_ptr<SceneSettings> MakeDefaultScene() {
    auto scene = std::make_unique<SceneSettings>();
    CListener* listener = scene->Add<CListener>();
    listener->m_x = 50.0;
    listener->m_y = 50.0;
    return scene;
}

} // namespace sonivera
