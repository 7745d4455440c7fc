#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/MutableString.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

Id text(const char* value)
{
    return String::create(value);
}

Id number(int64_t value)
{
    return Number::withInteger(value);
}

}

TEST(Array, ImmutableArraysRefuseChangesAndBoundsAreChecked)
{
    auto array = Array::create({ text("a"), text("b") });
    EXPECT_EQ(array->count(), 2u);
    EXPECT_THROW(array->objectAtIndex(2), Exception);
    auto asMutable = std::dynamic_pointer_cast<MutableArray>(array);
    ASSERT_TRUE(asMutable) << "the platform array class is one class with a mutability flag";
    EXPECT_THROW(asMutable->addObject(text("c")), Exception);
    EXPECT_FALSE(array->isMutable());
}

TEST(Array, MutableArraysInsertRemoveAndRefuseNil)
{
    auto array = MutableArray::create();
    array->addObject(number(1));
    array->addObject(number(3));
    array->insertObjectAtIndex(number(2), 1);
    EXPECT_TRUE(array->isEqual(*Array::create({ number(1), number(2), number(3) })));
    EXPECT_THROW(array->addObject(nullptr), Exception);
    EXPECT_THROW(array->insertObjectAtIndex(number(9), 5), Exception);
    array->removeObject(number(2));
    EXPECT_EQ(array->indexOfObject(number(3)), 1u);
    EXPECT_EQ(array->indexOfObject(number(7)), SIZE_MAX);
    array->addObjectsFromArray(*array);
    EXPECT_EQ(array->count(), 4u);
    size_t visited = 0;
    for (auto& object : *array)
        visited += object ? 1 : 0;
    EXPECT_EQ(visited, 4u);
}

TEST(Array, DescriptionIndentsNestedCollections)
{
    auto inner = Dictionary::create({ { text("k"), text("v w") } });
    auto array = Array::create({ number(1), inner, Array::create() });
    EXPECT_EQ(array->description(), "(\n    1,\n    {\n        k = \"v w\";\n    },\n    ()\n)");
}

TEST(Dictionary, KeysCompareByValueAndEnumerateInInsertionOrder)
{
    auto dictionary = MutableDictionary::create();
    dictionary->setObjectForKey(number(1), "zeta");
    dictionary->setObjectForKey(number(2), "alpha");
    dictionary->setObjectForKey(number(3), number(7));
    dictionary->setObjectForKey(number(4), "zeta");
    std::vector<std::string> keys;
    for (auto& key : dictionary->allKeys())
        keys.push_back(key->description());
    EXPECT_EQ(keys, (std::vector<std::string> { "zeta", "alpha", "7" }));
    EXPECT_TRUE(isEqual(dictionary->objectForKey("zeta"), number(4)));
    EXPECT_TRUE(isEqual(dictionary->objectForKey(Number::withDouble(7.0)), number(3)));
    EXPECT_FALSE(dictionary->objectForKey("missing"));
}

TEST(Dictionary, RemovalKeepsTheRemainingOrderAndLookups)
{
    auto dictionary = MutableDictionary::create();
    for (int index = 0; index < 50; ++index)
        dictionary->setObjectForKey(number(index), std::to_string(index));
    for (int index = 0; index < 50; index += 2)
        dictionary->removeObjectForKey(std::to_string(index));
    EXPECT_EQ(dictionary->count(), 25u);
    for (int index = 1; index < 50; index += 2)
        EXPECT_TRUE(isEqual(dictionary->objectForKey(std::to_string(index)), number(index)));
    EXPECT_EQ(dictionary->allKeys().front()->description(), "1");
}

TEST(Dictionary, MutableKeysAreCopiedSoLaterChangesCannotCorruptTheTable)
{
    auto dictionary = MutableDictionary::create();
    auto key = MutableString::create("name");
    dictionary->setObjectForKey(number(1), key);
    key->setString("other");
    EXPECT_TRUE(dictionary->objectForKey("name"));
    EXPECT_FALSE(dictionary->objectForKey("other"));
}

TEST(Dictionary, NilKeysAndObjectsAreRefused)
{
    auto dictionary = MutableDictionary::create();
    EXPECT_THROW(dictionary->setObjectForKey(nullptr, "k"), Exception);
    EXPECT_THROW(dictionary->setObjectForKey(number(1), Id()), Exception);
    auto immutable = Dictionary::create({ { text("a"), number(1) } });
    EXPECT_THROW(std::dynamic_pointer_cast<MutableDictionary>(immutable)->setObjectForKey(number(2), "b"), Exception);
}

TEST(Dictionary, EqualityIgnoresOrder)
{
    auto first = Dictionary::create({ { text("a"), number(1) }, { text("b"), number(2) } });
    auto second = Dictionary::create({ { text("b"), number(2) }, { text("a"), number(1) } });
    EXPECT_TRUE(first->isEqual(*second));
    auto third = Dictionary::create({ { text("b"), number(2) }, { text("a"), number(5) } });
    EXPECT_FALSE(first->isEqual(*third));
}

TEST(Collections, DeeplyNestedValuesAreDestroyedWithoutRecursion)
{
    Id nested = number(0);
    for (int depth = 0; depth < 300000; ++depth) {
        if (depth % 2)
            nested = Array::create({ nested });
        else
            nested = Dictionary::create({ { text("k"), nested } });
    }
    nested.reset();
    SUCCEED();
}

TEST(Collections, CopiesAreShallowAndRespectMutability)
{
    auto inner = MutableArray::create();
    auto outer = MutableArray::create({ inner });
    Id copy = copyOf(outer);
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->isMutable());
    inner->addObject(number(1));
    EXPECT_EQ(as<Array>(as<Array>(copy)->objectAtIndex(0))->count(), 1u);
    Id mutableCopy = mutableCopyOf(Array::create({ number(1) }));
    EXPECT_TRUE(mutableCopy->isMutable());
}
