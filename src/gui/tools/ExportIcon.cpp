// Writes the program's icon as sonivera-SIZE.png at the icon theme's standard sizes into the
// folder given as the only argument, for installing with the program.
#include "gui/app/AppIcon.h"

#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>

using namespace sonivera;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    wxInitializer initializer;
    if (!initializer.IsOk()) {
        std::fprintf(stderr, "cannot initialise wxWidgets\n");
        return 1;
    }
    wxImage::AddHandler(new wxPNGHandler);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const wxString path = wxString::Format("%s/sonivera-%d.png", argv[1], size);
        if (!AppIconImage(size).SaveFile(path, wxBITMAP_TYPE_PNG)) {
            std::fprintf(stderr, "cannot write %s\n", static_cast<const char*>(path.utf8_str()));
            return 1;
        }
    }
    return 0;
}
