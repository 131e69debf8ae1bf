#include "gui/view/ObjectClipboardIO.h"

#include "core/edit/ObjectClipboard.h"
#include "gui/common/Strings.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include <cstdint>
#include <vector>

namespace sonivera {

namespace {

wxDataFormat ObjectFormat() {
    return wxDataFormat(kObjectClipboardFormat);
}

} // namespace

bool PutObjectOnClipboard(const CSceneObject& object) {
    const std::vector<std::uint8_t> bytes = EncodeClipboardObject(RecordOf(object));
    auto* custom = new wxCustomDataObject(ObjectFormat());
    custom->SetData(bytes.size(), bytes.data());
    auto* both = new wxDataObjectComposite;
    both->Add(custom, true);
    both->Add(new wxTextDataObject(Ui(ObjectJsonText(object))));
    wxClipboardLocker lock;
    if (!lock) {
        delete both;
        return false;
    }
    return wxTheClipboard->SetData(both);
}

std::optional<ObjectRecord> ObjectFromClipboard() {
    wxClipboardLocker lock;
    if (!lock) {
        return std::nullopt;
    }
    if (wxTheClipboard->IsSupported(ObjectFormat())) {
        wxCustomDataObject data(ObjectFormat());
        if (wxTheClipboard->GetData(data)) {
            const auto* begin = static_cast<const std::uint8_t*>(data.GetData());
            if (auto record =
                    DecodeClipboardObject(std::span<const std::uint8_t>(begin, data.GetSize()))) {
                return record;
            }
        }
    }
    if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT)) {
        wxTextDataObject text;
        if (wxTheClipboard->GetData(text)) {
            return ObjectFromJsonText(text.GetText().utf8_string());
        }
    }
    return std::nullopt;
}

bool ClipboardHoldsObject() {
    return ObjectFromClipboard().has_value();
}

} // namespace sonivera
