#include "cli/json/SceneJson.h"
#include "core/model/Listener.h"
#include "core/model/RectObject.h"
#include "core/model/SceneFile.h"
#include "core/model/SoundSource.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>

namespace sonivera {

using Json = nlohmann::ordered_json;

namespace {

// A scene with every setting and object field away from its default, including values whose
// text is easy to get wrong: -0, the smallest subnormal, the largest double, thirds.
std::unique_ptr<SceneSettings> UnusualScene() {
    auto scene = MakeDefaultScene();
    scene->width = 1000.0 / 3.0;
    scene->height = 0.1;
    scene->gridX = 5e-324;
    scene->gridY = 99999.99999999999;
    scene->snapToGrid = false;
    scene->params.passAbsorptionLimit = std::numeric_limits<double>::max();
    scene->params.stopAmplitude = -0.0;
    scene->params.groupTime = 0.30000000000000004;
    scene->params.noTransmission = true;
    scene->params.noReflection = true;
    scene->params.normalize = false;
    scene->params.rayCount = std::numeric_limits<std::int32_t>::min();
    scene->params.mediumAbsorption = 1e-300;
    scene->params.stopTime = -1.5;
    scene->FirstObject()->m_x = -0.0;
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 2.0 / 3.0;
    rect->m_y = -7.25;
    rect->m_width = 0.0;
    rect->m_height = 1e16 + 2;
    rect->m_reflection = 0.75;
    auto* source = scene->Add<CSoundSource>();
    source->m_x = std::numeric_limits<double>::denorm_min() * 3;
    source->m_power = 0.1 + 0.2;
    return scene;
}

std::unique_ptr<SceneSettings> ThroughText(const SceneSettings& scene) {
    return SceneFromJsonText(SceneToJsonText(scene));
}

// Expects building the JSON to fail with a message that begins with the field's name.
void ExpectRefused(const Json& json, const std::string& field, const std::string& text = {}) {
    try {
        SceneFromJson(json);
        ADD_FAILURE() << "accepted; expected a complaint about " << field;
    } catch (const SceneJsonError& e) {
        EXPECT_EQ(e.field(), field) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind(field + ": ", 0), 0u) << e.what();
        if (!text.empty()) {
            EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        }
    }
}

Json DefaultJson() {
    return SceneToJson(*MakeDefaultScene());
}

} // namespace

TEST(SceneJson, FieldNamesFollowTheRecordInOrder) {
    const Json json = SceneToJson(*UnusualScene());
    std::vector<std::string> keys;
    for (const auto& item : json.items()) {
        keys.push_back(item.key());
    }
    const std::vector<std::string> expected = {"width",
                                               "height",
                                               "gridX",
                                               "gridY",
                                               "snapToGrid",
                                               "passAbsorptionLimit",
                                               "stopAmplitude",
                                               "groupTime",
                                               "noTransmission",
                                               "noReflection",
                                               "normalize",
                                               "rayCount",
                                               "mediumAbsorption",
                                               "stopTime",
                                               "objects"};
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(json["objects"][0].dump(), R"({"kind":"listener","m_x":-0.0,"m_y":50.0})");
    EXPECT_EQ(json["objects"][1]["kind"], "rect");
    EXPECT_EQ(json["objects"][2]["kind"], "source");
    EXPECT_EQ(json["objects"][2].size(), 4u);
    EXPECT_EQ(json["objects"][1].size(), 7u);
}

TEST(SceneJson, UnusualValuesSurviveTheRoundTripToTheByte) {
    const auto scene = UnusualScene();
    EXPECT_EQ(SaveSceneToBytes(*ThroughText(*scene)), SaveSceneToBytes(*scene));
}

TEST(SceneJson, RandomScenesSurviveTheRoundTripToTheByte) {
    std::mt19937_64 rng(20261207);
    std::uniform_int_distribution<int> count(0, 8);
    std::uniform_int_distribution<int> kind(2, 3);
    // Any finite double: random bit patterns with the infinities and NaNs thrown away.
    auto anyDouble = [&] {
        for (;;) {
            const double d = std::bit_cast<double>(rng());
            if (std::isfinite(d)) {
                return d;
            }
        }
    };
    std::uniform_real_distribution<double> side(1e-9, 100000.0);
    for (int round = 0; round < 300; ++round) {
        auto scene = MakeDefaultScene();
        scene->width = side(rng);
        scene->height = side(rng);
        scene->gridX = std::fabs(anyDouble()) + 5e-324;
        scene->gridY = side(rng);
        scene->snapToGrid = (rng() & 1) != 0;
        scene->params.passAbsorptionLimit = anyDouble();
        scene->params.stopAmplitude = anyDouble();
        scene->params.groupTime = anyDouble();
        scene->params.normalize = (rng() & 1) != 0;
        scene->params.rayCount = static_cast<std::int32_t>(rng());
        scene->params.mediumAbsorption = anyDouble();
        scene->params.stopTime = anyDouble();
        scene->FirstObject()->m_x = anyDouble();
        for (int i = count(rng); i > 0; --i) {
            if (kind(rng) == 2) {
                auto* r = scene->Add<CRectObject>();
                r->m_x = anyDouble();
                r->m_y = anyDouble();
                r->m_width = anyDouble();
                r->m_height = anyDouble();
                r->m_absorption = anyDouble();
                r->m_reflection = anyDouble();
            } else {
                auto* s = scene->Add<CSoundSource>();
                s->m_x = anyDouble();
                s->m_y = anyDouble();
                s->m_power = anyDouble();
            }
        }
        const auto bytes = SaveSceneToBytes(*scene);
        ASSERT_EQ(SaveSceneToBytes(*ThroughText(*scene)), bytes) << SceneToJsonText(*scene);
    }
}

TEST(SceneJson, IntegersAndKindCodesAreAccepted) {
    Json json = DefaultJson();
    json["width"] = 250;            // an integer where a double is stored
    json["objects"][0]["kind"] = 1; // the scene file's kind code
    json["objects"].push_back(Json{{"kind", 3}, {"m_x", 1}, {"m_y", 2}, {"m_power", 1}});
    const auto scene = SceneFromJson(json);
    EXPECT_EQ(scene->width, 250.0);
    ASSERT_EQ(scene->objects.size(), 2u);
    EXPECT_NE(dynamic_cast<const CSoundSource*>(scene->objects.back().get()), nullptr);
}

TEST(SceneJson, MissingUnknownAndMistypedFieldsAreNamed) {
    Json json = DefaultJson();
    json.erase("stopTime");
    ExpectRefused(json, "stopTime", "missing");

    json = DefaultJson();
    json["widht"] = 5.0;
    ExpectRefused(json, "widht", "unknown field");

    json = DefaultJson();
    json["snapToGrid"] = 1;
    ExpectRefused(json, "snapToGrid", "expected true or false");

    json = DefaultJson();
    json["height"] = "100";
    ExpectRefused(json, "height", "expected a number, got string");

    json = DefaultJson();
    json["rayCount"] = 100.5;
    ExpectRefused(json, "rayCount", "expected an integer");

    json = DefaultJson();
    json["rayCount"] = 2147483648LL;
    ExpectRefused(json, "rayCount", "32 bits");

    json = DefaultJson();
    json["objects"].push_back(Json{{"kind", "rect"}, {"m_x", 1.0}, {"m_y", 2.0}});
    ExpectRefused(json, "objects[1].m_width", "missing");

    json = DefaultJson();
    json["objects"].push_back(
        Json{{"kind", "source"}, {"m_x", 1.0}, {"m_y", 2.0}, {"m_power", 1.0}, {"m_width", 1}});
    ExpectRefused(json, "objects[1].m_width", "unknown field");

    json = DefaultJson();
    json["objects"].push_back(Json{{"kind", "speaker"}});
    ExpectRefused(json, "objects[1].kind");

    json = DefaultJson();
    json["objects"].push_back(Json::array());
    ExpectRefused(json, "objects[1]", "expected an object");

    json = DefaultJson();
    json["objects"] = Json::object();
    ExpectRefused(json, "objects", "expected an array");
}

TEST(SceneJson, ScenesTheReaderRefusesAreRefused) {
    Json json = DefaultJson();
    json["objects"] = Json::array();
    ExpectRefused(json, "objects", "at least the listener");

    json = DefaultJson();
    json["objects"].insert(json["objects"].begin(),
                           Json{{"kind", "source"}, {"m_x", 1.0}, {"m_y", 2.0}, {"m_power", 1.0}});
    ExpectRefused(json, "objects[0].kind", "listener");

    for (const double bad : {0.0, -1.0, 100000.5}) {
        json = DefaultJson();
        json["width"] = bad;
        try {
            SceneFromJson(json);
            ADD_FAILURE() << bad;
        } catch (const SceneJsonError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("width", 0), 0u) << e.what();
        }
    }
    json = DefaultJson();
    json["gridY"] = 0.0;
    EXPECT_THROW(SceneFromJson(json), SceneJsonError);
    // A number beyond the range of a double.
    try {
        SceneFromJsonText(R"({"width": 1e400})");
        ADD_FAILURE();
    } catch (const SceneJsonError& e) {
        EXPECT_NE(std::string(e.what()).find("overflow"), std::string::npos) << e.what();
    }
}

TEST(SceneJson, TextThatIsNotJsonSaysWhere) {
    try {
        SceneFromJsonText("{\n  \"width\": 100.0,\n  oops\n}");
        FAIL();
    } catch (const SceneJsonError& e) {
        const std::string what = e.what();
        EXPECT_EQ(what.rfind("not valid JSON: ", 0), 0u) << what;
        EXPECT_NE(what.find("line 3"), std::string::npos) << what;
        EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
    EXPECT_THROW(SceneFromJsonText(""), SceneJsonError);
    EXPECT_THROW(SceneFromJsonText("[]"), SceneJsonError);
}

} // namespace sonivera
