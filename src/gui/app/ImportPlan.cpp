// "Импорт плана...": a new scene from a DXF drawing, shown with its report before it replaces
// the scene in the editor.
#include "gui/app/C3DApp.h"

#include "core/files/FileError.h"
#include "core/files/InputFile.h"
#include "core/plan/DxfError.h"
#include "core/plan/PlanImport.h"
#include "gui/app/MainFrame.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/FileNames.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/Strings.h"
#include "gui/model/C3DDoc.h"
#include "gui/model/ImportPlanDlg.h"

#include <wx/filename.h>
#include <wx/progdlg.h>

#include <memory>

namespace sonivera {

namespace {

// Drawings up to this size are read without a progress window (well under a second).
constexpr std::size_t kQuietDrawingBytes = 4u << 20;

} // namespace

void C3DApp::OnImportPlan(wxCommandEvent&) {
    C3DDoc* doc = GetSceneDocument();
    if (!doc) {
        return;
    }
    const wxString path = AskOpenDrawingPath(m_pFrame.get());
    if (path.empty()) {
        return;
    }
    const auto fail = [&](const std::string& reason) {
        ShowExclamation(m_pFrame.get(), wxString::Format(Ui(text::kImportPlanFailed), path,
                                                         wxString::FromUTF8(reason)));
    };
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWholeFile(ToFileSystem(path));
    } catch (const FileError& e) {
        ShowExclamation(m_pFrame.get(), FromFileSystem(e.what()));
        return;
    }
    PlanImportOptions options;
    std::unique_ptr<wxProgressDialog> progress;
    if (bytes.size() > kQuietDrawingBytes) {
        progress = std::make_unique<wxProgressDialog>(
            Ui(text::kImportPlanTitle), Ui(text::kImportPlanProgress), 100, m_pFrame.get(),
            wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_AUTO_HIDE);
        options.progress = [&](double fraction) {
            return progress->Update(static_cast<int>(fraction * 100.0));
        };
    }
    PlanImportResult result;
    try {
        result = ImportPlan(bytes, options);
    } catch (const DxfCancelled&) {
        return;
    } catch (const DxfError& e) {
        progress.reset();
        fail(e.what());
        return;
    }
    progress.reset();
    CImportPlanDlg preview(m_pFrame.get(), *result.scene, result.report);
    if (preview.ShowModal() != wxID_OK || !doc->OnSaveModified()) {
        return;
    }
    doc->TakeImportedScene(std::move(result.scene), wxFileName(path).GetName());
}

} // namespace sonivera
