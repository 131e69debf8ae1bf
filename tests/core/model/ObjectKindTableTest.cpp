// The table of object kinds walked: every kind is made by its own entry, and its fields are the
// record's fields in file order, so every loop over the table reads and writes what the file holds.
#include "core/edit/ObjectRecord.h"
#include "core/files/BinaryArchive.h"
#include "core/model/ObjectKindTable.h"
#include "core/model/SceneSettings.h"
#include "core/model/SceneObject.h"

#include <gtest/gtest.h>

#include <set>

namespace sonivera {

TEST(ObjectKindTable, EachKindsFieldsAreItsRecordInFileOrder) {
    SceneSettings scene;
    std::set<std::string> names;
    for (const ObjectKindInfo& kind : ObjectKinds()) {
        EXPECT_TRUE(names.insert(kind.name).second) << kind.name;
        EXPECT_EQ(KindOfCode(kind.code), &kind);
        EXPECT_EQ(KindNamed(kind.name), &kind);
        const auto object = kind.make(&scene);
        ASSERT_EQ(object->GetKind(), kind.code);
        EXPECT_EQ(&KindOf(*object), &kind);
        // Distinct values through the table, read back from the record in its order.
        for (std::size_t i = 0; i < kind.fields.size(); ++i) {
            kind.fields[i].set(*object, 0.25 + static_cast<double>(i));
        }
        const ObjectRecord record = RecordOf(*object);
        ASSERT_EQ(record.fields.size(), 8 * kind.fields.size()) << kind.name;
        ArchiveReader ar(record.fields);
        for (std::size_t i = 0; i < kind.fields.size(); ++i) {
            EXPECT_EQ(ar.ReadDouble(), 0.25 + static_cast<double>(i)) << kind.fields[i].name;
            EXPECT_EQ(kind.fields[i].get(*object), 0.25 + static_cast<double>(i));
        }
        EXPECT_TRUE(ObjectFieldsFinite(*object));
        kind.fields.back().set(*object, std::numeric_limits<double>::infinity());
        EXPECT_FALSE(ObjectFieldsFinite(*object));
    }
    EXPECT_EQ(KindOfCode(0), nullptr);
    EXPECT_EQ(KindNamed("circle"), nullptr);
}

} // namespace sonivera
