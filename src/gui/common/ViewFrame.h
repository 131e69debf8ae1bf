#pragma once

class wxFrame;
class wxString;

namespace sonivera {

struct CommandState;
struct SceneSettings;
class CEffectPane;
class CSceneCanvas;

// What the editor view needs of the window it lives in: the place for its canvas, the status
// panes, the commands' state for the context menu and the "Эффект" pane. The main frame
// implements it, so the view does not depend on the application's shell.
class ViewFrame {
public:
    // The window itself (parent of the canvas, the dialogs and the context menu).
    virtual wxFrame& Window() = 0;

    // The editor view's canvas; the view creates it on first use and the frame keeps it.
    virtual CSceneCanvas* GetSceneCanvas() const = 0;
    virtual void SetSceneCanvas(CSceneCanvas* canvas) = 0;

    // Writes status pane 1 (pointer coordinates) or 2 (zoom).
    virtual void SetStatusPaneText(int pane, const wxString& text) = 0;
    // Writes status pane 0 (messages and prompts), when the frame has a status bar.
    virtual void SetStatusMessage(const wxString& text) = 0;

    // The map's progress in the status bar, with its stop button; and hiding it.
    virtual void ShowMapProgress(int percent, const wxString& label) = 0;
    virtual void HideMapProgress() = 0;

    // The clipboard's content changed (a copy or cut): asks it again whether it holds an object.
    virtual void ClipboardChanged() = 0;

    // A command's state as the command routing (view, document, frame, application) gives it.
    virtual CommandState QueryCommand(int commandId) = 0;

    // The "Эффект" pane, and showing the scene's last effect in it (the pane itself appears when
    // it holds an effect).
    virtual CEffectPane* GetEffectPane() const = 0;
    virtual void ShowEffectOf(const SceneSettings& scene) = 0;

protected:
    ~ViewFrame() = default;
};

} // namespace sonivera
