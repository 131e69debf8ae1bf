#include "gui/app/InformationalOptions.h"

#include "core/version/ProgramVersion.h"

#include <string_view>

namespace sonivera {

std::optional<int> AnswerInformationalOption(int argc, const char* const* argv, std::ostream& out) {
    if (argc < 2) {
        return std::nullopt;
    }
    const std::string_view option = argv[1];
    if (option == "--version") {
        out << "sonivera " << kProgramVersion << '\n';
        return 0;
    }
    if (option == "--help" || option == "-h") {
        out << "Sonivera, the editor of two-dimensional acoustic scenes.\n"
               "Usage: sonivera [SCENE.3d]\n"
               "\n"
               "Opens the scene file given, else a new scene; further files open in editors of\n"
               "their own.\n"
               "  -h, --help     Print this help and exit\n"
               "  --version      Print the program's version and exit\n"
               "The command-line tool is sonivera-cli (sonivera-cli --help, man sonivera-cli).\n";
        return 0;
    }
    return std::nullopt;
}

} // namespace sonivera
