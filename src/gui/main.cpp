// The editor's entry point: runs the application object.
#include "gui/app/C3DApp.h"
#include "gui/app/InformationalOptions.h"

#include <wx/utils.h>

#include <iostream>

using namespace sonivera;

wxIMPLEMENT_APP_NO_MAIN(C3DApp);

int main(int argc, char** argv) {
    if (const auto status = AnswerInformationalOption(argc, argv, std::cout)) {
        std::cout.flush();
        return std::cout ? *status : 3;
    }
    // GTK 3 hides scroll bars until the pointer comes near them; the editor's view shows its
    // scroll bars as permanent controls, so the user sees at once that the scene goes on. A
    // setting of the user's own wins.
    wxString overlay;
    if (!wxGetEnv("GTK_OVERLAY_SCROLLING", &overlay)) {
        wxSetEnv("GTK_OVERLAY_SCROLLING", "0");
    }
    return wxEntry(argc, argv);
}
