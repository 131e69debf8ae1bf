#pragma once

#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace sonivera {

// Answers the modal dialogs a test provokes, in order, without showing them. Each step receives
// the dialog and returns the code ShowModal should return. Message boxes are recorded. A dialog
// that no step expects fails the test and is cancelled; steps left over fail it at the end.
class DialogScript : public wxModalDialogHook {
public:
    using Step = std::function<int(wxDialog&)>;

    struct Message {
        std::string text; // UTF-8
        long style = 0;
    };

    DialogScript() { Register(); }
    ~DialogScript() override { Unregister(); }

    DialogScript& Then(Step step) {
        m_steps.push_back(std::move(step));
        return *this;
    }
    // Expects a message box whose text contains `fragment`; answers with `answer`.
    DialogScript& ThenMessage(const std::string& fragment, int answer = wxID_OK);
    // Expects a file dialog; picks `path` (or cancels when it is empty).
    DialogScript& ThenFile(const std::string& path);

    bool Done() const { return m_steps.empty(); }
    const std::vector<Message>& Messages() const { return m_messages; }
    void Verify() {
        EXPECT_TRUE(m_steps.empty()) << m_steps.size() << " expected dialog(s) never came";
        m_steps.clear();
    }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog*) override {}

private:
    std::deque<Step> m_steps;
    std::vector<Message> m_messages;
};

// What OK does in a dialog with validators, without the modal loop: validates and stores; false
// when a field was refused (the dialog would stay open).
bool PressOk(wxDialog& dialog);
// Puts `text` into the dialog's text field with the given id.
void SetField(wxDialog& dialog, int id, const std::string& text);
// The text of the dialog's text field with the given id.
std::string FieldText(wxDialog& dialog, int id);
// Sets the dialog's check box with the given id.
void SetCheck(wxDialog& dialog, int id, bool checked);

} // namespace sonivera
