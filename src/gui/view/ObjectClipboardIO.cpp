#include "gui/view/ObjectClipboardIO.h"

#include "gui/app/Strings.h"
#include "core/edit/ObjectClipboard.h"

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
    if (!lock || !wxTheClipboard->IsSupported(ObjectFormat())) {
        return std::nullopt;
    }
    wxCustomDataObject data(ObjectFormat());
    if (!wxTheClipboard->GetData(data)) {
        return std::nullopt;
    }
    const auto* begin = static_cast<const std::uint8_t*>(data.GetData());
    return DecodeClipboardObject(std::span<const std::uint8_t>(begin, data.GetSize()));
}

} // namespace sonivera
