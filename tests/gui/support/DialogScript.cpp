#include "support/DialogScript.h"

#include "gui/app/FileDialogs.h"

#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

namespace sonivera {

DialogScript& DialogScript::ThenMessage(const std::string& fragment, int answer) {
    return Then([fragment, answer](wxDialog& dialog) {
        auto* box = dynamic_cast<wxMessageDialogBase*>(&dialog);
        EXPECT_NE(box, nullptr) << "expected a message box, got "
                                << dialog.GetTitle().utf8_string();
        if (box) {
            EXPECT_NE(box->GetMessage().utf8_string().find(fragment), std::string::npos)
                << "message: " << box->GetMessage().utf8_string();
        }
        return answer;
    });
}

DialogScript& DialogScript::ThenFile(const std::string& path) {
    return Then([path](wxDialog& dialog) {
        auto* files = dynamic_cast<CSceneFileDialog*>(&dialog);
        EXPECT_NE(files, nullptr) << "expected a file dialog";
        if (!files || path.empty()) {
            return int(wxID_CANCEL);
        }
        files->SetChosenPath(wxString::FromUTF8(path));
        return int(wxID_OK);
    });
}

int DialogScript::Enter(wxDialog* dialog) {
    if (auto* box = dynamic_cast<wxMessageDialogBase*>(dialog)) {
        m_messages.push_back({box->GetMessage().utf8_string(), box->GetMessageDialogStyle()});
    }
    if (m_steps.empty()) {
        ADD_FAILURE() << "unexpected dialog: " << dialog->GetTitle().utf8_string();
        return wxID_CANCEL;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    return step(*dialog);
}

bool PressOk(wxDialog& dialog) {
    return dialog.Validate() && dialog.TransferDataFromWindow();
}

void SetField(wxDialog& dialog, int id, const std::string& text) {
    auto* field = wxDynamicCast(dialog.FindWindow(id), wxTextCtrl);
    ASSERT_NE(field, nullptr) << "no text field " << id;
    field->ChangeValue(wxString::FromUTF8(text));
}

std::string FieldText(wxDialog& dialog, int id) {
    auto* field = wxDynamicCast(dialog.FindWindow(id), wxTextCtrl);
    return field ? field->GetValue().utf8_string() : "<no field>";
}

void SetCheck(wxDialog& dialog, int id, bool checked) {
    auto* box = wxDynamicCast(dialog.FindWindow(id), wxCheckBox);
    ASSERT_NE(box, nullptr) << "no check box " << id;
    box->SetValue(checked);
}

} // namespace sonivera
