#include "core/edit/ObjectClipboard.h"

#include "core/model/Listener.h"
#include "core/model/ObjectKind.h"
#include "core/model/RectObject.h"
#include "core/model/SceneSettings.h"
#include "core/model/SoundSource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace sonivera {

TEST(ObjectClipboardTest, RoundTripsRectanglesAndSourcesAndRefusesEverythingElse) {
    auto scene = MakeDefaultScene();
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 1.5;
    rect->m_y = 2.25;
    rect->m_width = 3.0;
    rect->m_height = 0.1;
    rect->m_absorption = 1.7e308;
    rect->m_reflection = 0.3;
    auto* source = scene->Add<CSoundSource>();
    source->m_power = 0.125;
    for (CSceneObject* object :
         {static_cast<CSceneObject*>(rect), static_cast<CSceneObject*>(source)}) {
        ASSERT_TRUE(CanCopyObject(object));
        const auto bytes = EncodeClipboardObject(RecordOf(*object));
        const auto decoded = DecodeClipboardObject(bytes);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, RecordOf(*object));
        // Cut short or lengthened, it is refused.
        EXPECT_FALSE(DecodeClipboardObject(std::span(bytes).first(bytes.size() - 1)));
        auto longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(DecodeClipboardObject(longer));
    }
    // The documented layout: tag, kind, the scene file's fields.
    const auto bytes = EncodeClipboardObject(RecordOf(*source));
    ASSERT_EQ(bytes.size(), 1u + 14 + 4 + 3 * 8);
    EXPECT_EQ(bytes[0], 14);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 15), "SoniveraObject");
    EXPECT_EQ(bytes[15], OBJ_SOURCE);

    EXPECT_FALSE(CanCopyObject(scene->FirstObject()));
    EXPECT_FALSE(CanCopyObject(nullptr));
    EXPECT_FALSE(DecodeClipboardObject(EncodeClipboardObject(RecordOf(*scene->FirstObject()))));
    EXPECT_FALSE(DecodeClipboardObject({}));
    rect->m_width = -1.0;
    EXPECT_FALSE(DecodeClipboardObject(EncodeClipboardObject(RecordOf(*rect))));
    rect->m_width = 1.0;
    rect->m_y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(DecodeClipboardObject(EncodeClipboardObject(RecordOf(*rect))));
    auto record = RecordOf(*source);
    record.kind = 7;
    EXPECT_FALSE(DecodeClipboardObject(EncodeClipboardObject(record)));
}

TEST(ObjectClipboardTest, JsonTextUsesTheToolsFieldNamesAndExactNumbers) {
    auto scene = MakeDefaultScene();
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 10.0;
    rect->m_y = 0.1;
    rect->m_width = 5.0;
    rect->m_height = 7.0;
    rect->m_absorption = 0.5;
    rect->m_reflection = 0.25;
    EXPECT_EQ(ObjectJsonText(*rect),
              "{ \"kind\": \"rect\", \"m_x\": 10.0, \"m_y\": 0.1, \"m_width\": 5.0, "
              "\"m_height\": 7.0, \"m_absorption\": 0.5, \"m_reflection\": 0.25 }");
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 1e300;
    EXPECT_EQ(ObjectJsonText(*source),
              "{ \"kind\": \"source\", \"m_x\": 1e+300, \"m_y\": 0.0, \"m_power\": 1.0 }");
}

TEST(ObjectClipboardTest, PastedObjectsMoveOneGridStepAndStayInsideTheScene) {
    auto scene = MakeDefaultScene();
    scene->gridX = 2.0;
    scene->gridY = 5.0;
    CSoundSource source(scene.get());
    source.m_x = 10.0;
    source.m_y = 98.0;
    auto placed = MakeObject(PlacePastedObject(RecordOf(source), *scene), scene.get());
    EXPECT_EQ(placed->m_x, 12.0);
    EXPECT_EQ(placed->m_y, 100.0);

    CRectObject rect(scene.get());
    rect.m_x = 50.0;
    rect.m_y = 0.0;
    rect.m_width = 150.0; // wider than the scene: cut to its width, at the left border
    rect.m_height = 94.0;
    placed = MakeObject(PlacePastedObject(RecordOf(rect), *scene), scene.get());
    EXPECT_EQ(placed->m_x, 0.0);
    EXPECT_EQ(placed->m_y, 5.0);
    EXPECT_EQ(dynamic_cast<CRectObject&>(*placed).m_width, 100.0);
    EXPECT_EQ(dynamic_cast<CRectObject&>(*placed).m_height, 94.0);
    rect.m_height = 500.0; // a 500 m rectangle in a 100 m scene: the scene's size
    placed = MakeObject(PlacePastedObject(RecordOf(rect), *scene), scene.get());
    EXPECT_EQ(dynamic_cast<CRectObject&>(*placed).m_height, 100.0);
    EXPECT_EQ(placed->m_y, 0.0);
}

TEST(ObjectClipboard, TheObjectsJsonTextReadsBackAsTheSameObjectAndNothingElseDoes) {
    auto scene = MakeDefaultScene();
    auto* rect = scene->Add<CRectObject>();
    rect->m_x = 1.5;
    rect->m_y = 0.1;
    rect->m_width = 3.0;
    rect->m_height = 7.25;
    rect->m_absorption = 1.7e308;
    rect->m_reflection = 0.3;
    auto* source = scene->Add<CSoundSource>();
    source->m_x = 60.0;
    source->m_y = 50.0;
    source->m_power = 0.5;
    for (const CSceneObject* object :
         {static_cast<CSceneObject*>(rect), static_cast<CSceneObject*>(source)}) {
        const auto back = ObjectFromJsonText(ObjectJsonText(*object));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, RecordOf(*object));
    }
    for (const char* text :
         {"", "plain text", "{}", "{\"kind\": \"listener\", \"m_x\": 1, \"m_y\": 2}",
          "{\"kind\": \"source\", \"m_x\": 1, \"m_y\": 2}", // a field missing
          "{\"kind\": \"source\", \"m_x\": 1, \"m_y\": 2, \"m_power\": 1, \"x\": 3}", // one too
                                                                                      // many
          "{\"kind\": \"source\", \"m_x\": 1, \"m_x\": 2, \"m_power\": 1}",           // twice
          "{\"kind\": \"source\", \"m_x\": 1e999, \"m_y\": 2, \"m_power\": 1}",       // not finite
          "{\"kind\": \"rect\", \"m_x\": 1, \"m_y\": 2, \"m_width\": -1, \"m_height\": 1, "
          "\"m_absorption\": 0, \"m_reflection\": 0}", // a side below 0
          "{\"kind\": \"source\", \"m_x\": 1, \"m_y\": 2, \"m_power\": 1} trailing",
          // What the editor could not have made: 700 % power, 200 % reflection, absorption
          // below 0, a rectangle of no size.
          "{\"kind\": \"source\", \"m_x\": 1, \"m_y\": 2, \"m_power\": 7}",
          "{\"kind\": \"rect\", \"m_x\": 1, \"m_y\": 2, \"m_width\": 1, \"m_height\": 1, "
          "\"m_absorption\": 0, \"m_reflection\": 2}",
          "{\"kind\": \"rect\", \"m_x\": 1, \"m_y\": 2, \"m_width\": 1, \"m_height\": 1, "
          "\"m_absorption\": -3, \"m_reflection\": 0}",
          "{\"kind\": \"rect\", \"m_x\": 1, \"m_y\": 2, \"m_width\": 0, \"m_height\": 0, "
          "\"m_absorption\": 0, \"m_reflection\": 0}"}) {
        EXPECT_FALSE(ObjectFromJsonText(text)) << text;
    }
}

} // namespace sonivera
