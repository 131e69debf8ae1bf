#include "core/edit/ObjectClipboard.h"

#include "core/files/BinaryArchive.h"
#include "core/model/ObjectKind.h"
#include "core/model/ObjectKindTable.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>

namespace sonivera {

namespace {

constexpr const char* kClipboardTag = "SoniveraObject";

std::string NumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".eE") == std::string::npos) {
        text += ".0"; // stays a JSON number with a fraction, as the tool writes them
    }
    return text;
}

} // namespace

bool CanCopyObject(const CSceneObject* object) {
    return object != nullptr && KindOf(*object).copyable;
}

std::vector<std::uint8_t> EncodeClipboardObject(const ObjectRecord& record) {
    ArchiveWriter ar;
    ar.WriteString(kClipboardTag);
    ar.WriteInt32(record.kind);
    std::vector<std::uint8_t> bytes = ar.TakeBytes();
    bytes.insert(bytes.end(), record.fields.begin(), record.fields.end());
    return bytes;
}

std::optional<ObjectRecord> DecodeClipboardObject(std::span<const std::uint8_t> bytes) {
    ObjectRecord record;
    try {
        ArchiveReader ar(bytes);
        if (ar.ReadString() != kClipboardTag) {
            return std::nullopt;
        }
        record.kind = ar.ReadInt32();
        record.fields.assign(bytes.begin() + static_cast<std::ptrdiff_t>(ar.Position()),
                             bytes.end());
    } catch (const ArchiveFormatError&) {
        return std::nullopt;
    }
    const ObjectKindInfo* kind = KindOfCode(record.kind);
    if (kind == nullptr || !kind->copyable) {
        return std::nullopt;
    }
    SceneSettings scratch;
    const auto object = MakeObject(record, &scratch);
    // Only what the editor itself could have made: a file's checks (finite fields) and the
    // ranges of the properties dialogs (power and reflection 0–100 %, absorption not below 0,
    // sides above 0).
    if (!object || !ObjectFieldsInRange(*object)) {
        return std::nullopt;
    }
    return record;
}

std::string ObjectJsonText(const CSceneObject& object) {
    const ObjectKindInfo& kind = KindOf(object);
    std::string text = std::string("{ \"kind\": \"") + kind.name + "\"";
    for (const ObjectField& field : kind.fields) {
        text += std::string(", \"") + field.name + "\": " + NumberText(field.get(object));
    }
    return text + " }";
}

namespace {

// A small reader for the flat object text: { "name": value, ... } with string or number values.
class FlatJsonReader {
public:
    explicit FlatJsonReader(std::string_view text) : m_text(text) {}

    bool Read(std::vector<std::pair<std::string, std::string>>& members) {
        Skip();
        if (!Take('{')) {
            return false;
        }
        Skip();
        if (Take('}')) {
            return AtEnd();
        }
        while (true) {
            std::string name, value;
            Skip();
            if (!String(name)) {
                return false;
            }
            Skip();
            if (!Take(':')) {
                return false;
            }
            Skip();
            if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                if (!String(value)) {
                    return false;
                }
                value = "\"" + value; // marks a string value
            } else if (!Number(value)) {
                return false;
            }
            members.emplace_back(std::move(name), std::move(value));
            Skip();
            if (Take('}')) {
                return AtEnd();
            }
            if (!Take(',')) {
                return false;
            }
        }
    }

private:
    void Skip() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos]))) {
            ++m_pos;
        }
    }
    bool Take(char c) {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        Skip();
        return m_pos == m_text.size();
    }
    bool String(std::string& out) {
        if (!Take('"')) {
            return false;
        }
        while (m_pos < m_text.size() && m_text[m_pos] != '"') {
            if (m_text[m_pos] == '\\' || static_cast<unsigned char>(m_text[m_pos]) < 0x20) {
                return false; // the names and kinds of this form need no escapes
            }
            out += m_text[m_pos++];
        }
        return Take('"');
    }
    bool Number(std::string& out) {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() &&
               (std::isdigit(static_cast<unsigned char>(m_text[m_pos])) ||
                std::string_view("+-.eE").find(m_text[m_pos]) != std::string_view::npos)) {
            ++m_pos;
        }
        out = std::string(m_text.substr(start, m_pos - start));
        return !out.empty();
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

std::optional<double> ParseNumber(const std::string& text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<ObjectRecord> ObjectFromJsonText(std::string_view text) {
    constexpr std::size_t kMaxText = 4096; // one object's text is a few hundred bytes
    std::vector<std::pair<std::string, std::string>> members;
    if (text.size() > kMaxText || !FlatJsonReader(text).Read(members)) {
        return std::nullopt;
    }
    std::map<std::string, std::string> fields;
    for (auto& [name, value] : members) {
        if (!fields.emplace(name, value).second) {
            return std::nullopt; // a name given twice
        }
    }
    const auto kind = fields.find("kind");
    if (kind == fields.end()) {
        return std::nullopt;
    }
    const ObjectKindInfo* found = nullptr;
    for (const ObjectKindInfo& k : ObjectKinds()) {
        if (kind->second == "\"" + std::string(k.name) || kind->second == std::to_string(k.code)) {
            found = &k;
        }
    }
    if (found == nullptr || !found->copyable || fields.size() != found->fields.size() + 1) {
        return std::nullopt;
    }
    ArchiveWriter fieldsOut;
    for (const ObjectField& wanted : found->fields) {
        const auto field = fields.find(wanted.name);
        if (field == fields.end() || field->second.starts_with('"')) {
            return std::nullopt;
        }
        const auto value = ParseNumber(field->second);
        if (!value) {
            return std::nullopt;
        }
        fieldsOut.WriteDouble(*value); // the fields' order is the record's
    }
    const std::int32_t code = found->code;
    // Through the private format's reader, so the text gets exactly its checks.
    return DecodeClipboardObject(EncodeClipboardObject(ObjectRecord{code, fieldsOut.Bytes()}));
}

ObjectRecord PlacePastedObject(const ObjectRecord& copied, SceneSettings& scene, int steps) {
    auto object = MakeObject(copied, &scene);
    if (!object) {
        return copied;
    }
    double x = object->m_x + scene.gridX * steps;
    double y = object->m_y + scene.gridY * steps;
    if (auto* rect = dynamic_cast<CRectObject*>(object.get())) {
        // A rectangle larger than the scene is cut to the scene's size, then placed like the
        // others: wholly inside.
        rect->m_width = std::min(rect->m_width, scene.width);
        rect->m_height = std::min(rect->m_height, scene.height);
        x = std::max(std::min(x, scene.width - rect->m_width), 0.0);
        y = std::max(std::min(y, scene.height - rect->m_height), 0.0);
    } else {
        object->ClampPoint(&x, &y);
    }
    object->m_x = x;
    object->m_y = y;
    return RecordOf(*object);
}

} // namespace sonivera
