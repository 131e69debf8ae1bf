// The editor's entry point: runs the application object.
#include "app/C3DApp.h"

wxIMPLEMENT_APP(C3DApp);
