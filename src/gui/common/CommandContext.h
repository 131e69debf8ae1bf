#pragma once

#include <wx/string.h>

#include <cstdint>

namespace sonivera {

class CSceneObject;

// What the enable, check and label rules of the commands read: a snapshot of the application's,
// the main frame's, the document's and the view's state, taken each time a command's state is
// asked for. Plain values, so a rule is a small function of them.
struct CommandContext {
    // The application: the number of entries in the recent-file list.
    int recentFileCount = 0;

    // The main frame: which bars and panes are visible (floating or docked).
    bool mainBarShown = false;
    bool sceneBarShown = false;
    bool statusBarShown = false;
    bool effectPaneShown = false;

    // Whether a view serves commands; the document and view fields below mean nothing without.
    bool hasView = false;
    // The document holds a scene record.
    bool documentHasScene = false;

    // The view: the scene it shows, its selection, zoom, tool and whether a button is held.
    bool viewShowsScene = false;
    const CSceneObject* selected = nullptr;
    std::int32_t pixelsPerMetre = 0;
    std::int32_t tool = 0;
    bool buttonDown = false;
    // The document's undo stack as the view sees it: whether undo and redo are possible and the
    // edit each would act on (an EditKind, or -1 when it is not a scene edit).
    bool canUndo = false;
    bool canRedo = false;
    int undoEditKind = -1;
    int redoEditKind = -1;
    // The echo paths on the plan.
    bool pathsAvailable = false;
    bool pathsShown = false;
    // Whether the clipboard held an object when last asked (a menu opening, the window gaining
    // focus, a copy or cut).
    bool clipboardHasObject = false;
    // The acoustic map on the plan.
    bool mapAvailable = false;
    bool mapShown = false;
    bool mapRunning = false;
};

// The enabled and checked state of a command as its rules give it.
struct CommandState {
    bool enabled = false;
    bool checked = false;
    // The item's label when a rule sets one (the undo and redo items name their edit).
    wxString text;
};

} // namespace sonivera
