#include "cli/json/SceneJsonParser.h"
#include "core/model/SceneFile.h"
#include "cli/json/SceneJson.h"
#include "core/text/ShownText.h"

#include <gtest/gtest.h>

namespace sonivera {

namespace {

std::string DefaultText() {
    return SceneToJsonText(*MakeDefaultScene());
}

// The text with `insert` put right after the opening brace of the scene.
std::string WithFirstMember(const std::string& insert) {
    std::string text = DefaultText();
    return text.insert(text.find('{') + 1, insert);
}

// The message the text is refused with ("accepted" when it is not).
std::string Refusal(std::string_view text) {
    try {
        SceneFromJsonText(text);
        return "accepted";
    } catch (const SceneJsonError& e) {
        return e.what();
    }
}

// The text with the value of "width" replaced.
std::string WithWidth(const std::string& value) {
    std::string text = DefaultText();
    const std::string width = "\"width\": 100.0";
    return text.replace(text.find(width), width.size(), "\"width\": " + value);
}

bool HasControlBytes(const std::string& text) {
    for (const unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            return true;
        }
    }
    return text.find("\xC2\x9B") != std::string::npos;
}

} // namespace

TEST(SceneJsonParser, NestingIsBoundedWhileReading) {
    const std::string deep = std::string(50000, '[') + std::string(50000, ']');
    const std::string tooDeep = "nested deeper than 64 levels of arrays and objects";
    EXPECT_EQ(Refusal(deep), tooDeep);
    EXPECT_EQ(Refusal(WithWidth(deep)), tooDeep);
    std::string objects;
    for (int i = 0; i < 100; ++i) {
        objects += "{\"a\": ";
    }
    EXPECT_EQ(Refusal(WithWidth(objects)), tooDeep);
    // 64 levels are read; the value is then refused for its type.
    const std::string levels63 = std::string(63, '[') + std::string(63, ']');
    EXPECT_EQ(Refusal(WithWidth(levels63)), "width: expected a number, got an array");
    EXPECT_EQ(Refusal(WithWidth("[" + levels63 + "]")), tooDeep);
}

TEST(SceneJsonParser, DuplicateAndUnknownMembersAreRefusedWhereTheyStand) {
    EXPECT_EQ(Refusal(WithFirstMember("\"width\": 7,")), "width: duplicate field");
    std::string text = DefaultText();
    text.insert(text.find("\"kind\""), "\"m_y\": 1, ");
    EXPECT_EQ(Refusal(text), "objects[0].m_y: duplicate field");
    // Refused as soon as the name is read, before anything after it (here, broken text).
    EXPECT_EQ(Refusal("{\"width\": 100, \"widht\": 5, oops"), "widht: unknown field");
    text = DefaultText();
    text.insert(text.find("\"kind\""), "\"colour\": {\"a\": [1]}, ");
    EXPECT_EQ(Refusal(text), "objects[0].colour: unknown field");
    // Inside a value of the wrong type nothing is kept or checked; the type is named.
    std::string keys;
    for (int i = 0; i < 1000; ++i) {
        keys += "\"k" + std::to_string(i) + "\": " + std::to_string(i) + ", \"k\": 0,";
    }
    keys.pop_back();
    EXPECT_EQ(Refusal(WithWidth("{" + keys + "}")), "width: expected a number, got an object");
    text = DefaultText();
    text.replace(text.find("\"objects\": ["), 12,
                 "\"objects\": {\"a\": [[1]], \"b\": 2}, \"x\": [");
    EXPECT_EQ(Refusal(text), "x: unknown field");
}

TEST(SceneJsonParser, NulBytesAreRefused) {
    std::string text = DefaultText();
    text += std::string(1, '\0') + "{\"anything\": ";
    EXPECT_EQ(Refusal(text),
              "not valid JSON: a NUL byte at offset " + std::to_string(DefaultText().size()));
}

TEST(SceneJsonParser, ControlCharactersInNamesAreEscaped) {
    const std::string message = Refusal(WithFirstMember("\"\\u001b[2J\\u009b1m\\u0007\": 1,"));
    EXPECT_EQ(message, "\\u001b[2J\\u009b1m\\u0007: unknown field");
    EXPECT_FALSE(HasControlBytes(message));

    EXPECT_EQ(EscapeForTerminal("Объект\t\x7f"), "Объект\\u0009\\u007f");
    // Bytes that are not UTF-8: a lone continuation, an overlong form, a surrogate, a cut sequence.
    EXPECT_EQ(EscapeForTerminal("a\x80\xC0\xAF\xED\xA0\x80\xD0"),
              "a\\x80\\xc0\\xaf\\xed\\xa0\\x80\\xd0");
    EXPECT_EQ(EscapeForTerminal("\xF0\x9F\x8E\xB5 \xC2\xA0"), "\xF0\x9F\x8E\xB5 \xC2\xA0");
}

} // namespace sonivera
