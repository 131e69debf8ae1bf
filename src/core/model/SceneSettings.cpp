#include "SceneSettings.h"

#include "Listener.h"

std::unique_ptr<SceneSettings> MakeDefaultScene() {
    auto scene = std::make_unique<SceneSettings>();
    CListener* listener = scene->Add<CListener>();
    listener->m_x = 50.0;
    listener->m_y = 50.0;
    return scene;
}
