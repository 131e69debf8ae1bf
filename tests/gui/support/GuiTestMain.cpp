// Runs the GUI tests inside an initialised wxWidgets application object (C3DApp) without its
// message loop; each test starts and shuts down the application's state itself.
#include "gui/app/C3DApp.h"

#include <gtest/gtest.h>

#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace sonivera;

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    if (C3DApp::IsCommandIdRangeAssertion(msg)) {
        return;
    }
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func.utf8_string() << ": "
                                          << cond.utf8_string() << " " << msg.utf8_string();
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            return RUN_ALL_TESTS(); // listing needs no display
        }
    }
    wxLog::SetActiveTarget(new wxLogStderr); // start-up problems go to stderr, not a window
    wxApp::SetInstance(new C3DApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv)) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "cannot initialise wxWidgets on display %s\n",
                     display ? display : "-");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
