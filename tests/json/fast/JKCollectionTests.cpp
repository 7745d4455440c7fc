#include "FastJSONTestSupport.h"

#include "json/fast/JKArray.h"
#include "json/fast/JKDictionary.h"
#include "json/fast/JKDictionaryEnumerator.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/MutableString.h"
#include "platform/foundation/Null.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <thread>

using namespace brenzo::testing;

namespace {

template<typename T>
fnd::Ref<T> decodeAs(std::string_view text, bool mutableCollections = false)
{
    return fnd::as<T>(decodeJSON(text, JKParseOptionStrict, mutableCollections));
}

// Runs the operation and answers the exception's name and reason.
template<typename Operation>
std::pair<std::string, std::string> exceptionOf(Operation operation)
{
    try {
        operation();
    } catch (const fnd::Exception& exception) {
        return { exception.name(), exception.reason() };
    }
    return { "none", "" };
}

fnd::Id text(std::string_view value)
{
    return fnd::String::create(value);
}

fnd::Id integer(int64_t value)
{
    return fnd::Number::withInteger(value);
}

TEST(JKArray, AnswersAsAPlatformArray)
{
    auto array = decodeAs<JKArray>("[1,\"two\",null]");
    ASSERT_TRUE(array);
    EXPECT_EQ(array->count(), 3u);
    EXPECT_TRUE(array->isEqual(*fnd::Array::create({ integer(1), text("two"), fnd::Null::null() })));
    EXPECT_EQ(array->description(), fnd::Array::create({ integer(1), text("two"), fnd::Null::null() })->description());
    EXPECT_EQ(array->indexOfObject(text("two")), 1u);
    size_t visited = 0;
    for (auto& element : *array) {
        EXPECT_TRUE(element);
        ++visited;
    }
    EXPECT_EQ(visited, 3u);
    EXPECT_EQ(exceptionOf([&] { array->objectAtIndex(5); }),
        std::make_pair(std::string("NSRangeException"), std::string("*** -[JKArray objectAtIndex:]: index (5) beyond bounds (3)")));
}

TEST(JKArray, CopiesObjectsByRange)
{
    auto array = decodeAs<JKArray>("[1,2,3,4]");
    fnd::Id copied[2];
    array->getObjectsRange(copied, 1, 2);
    EXPECT_EQ(copied[0], array->objectAtIndex(1));
    EXPECT_EQ(copied[1], array->objectAtIndex(2));
    EXPECT_EQ(exceptionOf([&] { array->getObjectsRange(nullptr, 0, 2); }).second,
        "*** -[JKArray getObjects:range:]: pointer to objects array is NULL but range length is 2");
    EXPECT_EQ(exceptionOf([&] { array->getObjectsRange(copied, 3, 2); }).second, "*** -[JKArray getObjects:range:]: index (5) beyond bounds (4)");
    EXPECT_EQ(exceptionOf([&] { array->getObjectsRange(copied, SIZE_MAX, 2); }).first, "NSRangeException");
    EXPECT_NO_THROW(array->getObjectsRange(nullptr, 4, 0));
}

TEST(JKArray, MutableArraysInsertRemoveAndReplace)
{
    auto array = decodeAs<JKArray>("[1,2,3]", true);
    ASSERT_TRUE(array);
    uint32_t mutations = array->mutations();
    array->insertObjectAtIndex(integer(4), 3);
    array->insertObjectAtIndex(integer(0), 0);
    array->removeObjectAtIndex(2);
    array->replaceObjectAtIndex(0, text("zero"));
    EXPECT_TRUE(array->isEqual(*fnd::Array::create({ text("zero"), integer(1), integer(3), integer(4) })));
    EXPECT_EQ(array->mutations(), mutations + 4);

    EXPECT_EQ(exceptionOf([&] { array->insertObjectAtIndex(integer(9), 5); }).second, "*** -[JKArray insertObject:atIndex:]: index (5) beyond bounds (5)");
    EXPECT_EQ(exceptionOf([&] { array->removeObjectAtIndex(4); }).second, "*** -[JKArray removeObjectAtIndex:]: index (4) beyond bounds (4)");
    EXPECT_EQ(exceptionOf([&] { array->replaceObjectAtIndex(4, integer(1)); }).second, "*** -[JKArray replaceObjectAtIndex:withObject:]: index (4) beyond bounds (4)");
    EXPECT_EQ(exceptionOf([&] { array->insertObjectAtIndex(nullptr, 0); }),
        std::make_pair(std::string("NSInvalidArgumentException"), std::string("*** -[JKArray insertObject:atIndex:]: attempt to insert nil")));
    EXPECT_EQ(exceptionOf([&] { array->replaceObjectAtIndex(0, nullptr); }).second, "*** -[JKArray replaceObjectAtIndex:withObject:]: attempt to insert nil");
    EXPECT_EQ(array->count(), 4u);
}

TEST(JKArray, GrowsWhenAppendingManyObjects)
{
    auto array = decodeAs<JKArray>("[]", true);
    EXPECT_EQ(array->capacity(), 0u);
    for (int index = 0; index < 10000; ++index)
        array->addObject(integer(index));
    ASSERT_EQ(array->count(), 10000u);
    for (int index = 0; index < 10000; index += 997)
        EXPECT_EQ(fnd::as<fnd::Number>(array->objectAtIndex(static_cast<size_t>(index)))->longLongValue(), index);
    EXPECT_GE(array->capacity(), 10000u);
}

// Decoded members start in the array's own block; changes move them to storage of their own.
TEST(JKArray, BehavesLikeAVectorUnderRandomChanges)
{
    std::mt19937 random(20261209);
    auto array = decodeAs<JKArray>(R"([0, "one", [2], {"three": 3}])", true);
    std::vector<fnd::Id> model;
    for (size_t index = 0; index < array->count(); ++index)
        model.push_back(array->objectAtIndex(index));
    for (int step = 0; step < 5000; ++step) {
        size_t choice = random() % 4;
        if (choice <= 1 || model.empty()) {
            size_t index = random() % (model.size() + 1);
            fnd::Id object = step % 7 ? integer(step) : fnd::Id(fnd::MutableArray::create());
            array->insertObjectAtIndex(object, index);
            model.insert(model.begin() + static_cast<ptrdiff_t>(index), object);
        } else if (choice == 2) {
            size_t index = random() % model.size();
            array->removeObjectAtIndex(index);
            model.erase(model.begin() + static_cast<ptrdiff_t>(index));
        } else {
            size_t index = random() % model.size();
            fnd::Id object = integer(-step);
            array->replaceObjectAtIndex(index, object);
            model[index] = object;
        }
        ASSERT_EQ(array->count(), model.size());
        if (step % 250 == 0) {
            for (size_t index = 0; index < model.size(); ++index)
                ASSERT_EQ(array->objectAtIndex(index), model[index]) << index;
        }
    }
}

TEST(JKArray, ImmutableArraysRefuseChanges)
{
    auto array = decodeAs<JKArray>("[1]");
    const std::pair<std::string, std::string> refused { "NSInternalInconsistencyException", "*** -[JKArray insertObject:atIndex:]: mutating method sent to immutable object" };
    EXPECT_EQ(exceptionOf([&] { array->addObject(integer(2)); }), refused);
    EXPECT_EQ(exceptionOf([&] { array->removeObjectAtIndex(0); }).second, "*** -[JKArray removeObjectAtIndex:]: mutating method sent to immutable object");
    EXPECT_EQ(exceptionOf([&] { array->replaceObjectAtIndex(0, integer(2)); }).second, "*** -[JKArray replaceObjectAtIndex:withObject:]: mutating method sent to immutable object");
    EXPECT_EQ(array->mutations(), 0u);
}

// Empty immutable arrays are one shared object; empty mutable ones each stay an array of their own.
TEST(JKArray, EmptyArraysAreSharedOnlyWhenImmutable)
{
    auto document = decodeAs<JKArray>("[[],[],{\"a\":[]}]");
    ASSERT_TRUE(document);
    auto first = fnd::as<JKArray>(document->objectAtIndex(0));
    EXPECT_EQ(first, document->objectAtIndex(1));
    EXPECT_EQ(first, fnd::as<fnd::Dictionary>(document->objectAtIndex(2))->objectForKey("a"));
    EXPECT_EQ(first, decodeAs<JKArray>("[]"));
    EXPECT_EQ(first->count(), 0u);
    EXPECT_FALSE(first->isMutable());
    EXPECT_EQ(exceptionOf([&] { first->addObject(integer(1)); }).second, "*** -[JKArray insertObject:atIndex:]: mutating method sent to immutable object");

    auto mutableDocument = decodeAs<JKArray>("[[],[]]", true);
    auto mutableFirst = fnd::as<JKArray>(mutableDocument->objectAtIndex(0));
    auto mutableSecond = fnd::as<JKArray>(mutableDocument->objectAtIndex(1));
    EXPECT_NE(mutableFirst, mutableSecond);
    EXPECT_NE(mutableFirst, first);
    mutableFirst->addObject(integer(1));
    EXPECT_EQ(mutableFirst->count(), 1u);
    EXPECT_EQ(mutableSecond->count(), 0u);
    EXPECT_EQ(first->count(), 0u);
}

// Small arrays of scalars are made many to a block; each must stay whole, and alive on its own, whatever
// its neighbours and its document do.
TEST(JKArray, SmallArraysOutliveTheirDocumentOnAnyThread)
{
    std::string json = "[";
    std::vector<std::vector<int64_t>> expected;
    for (int64_t index = 0; index < 60; ++index) {
        std::vector<int64_t> members(static_cast<size_t>(index % 6));
        for (size_t member = 0; member < members.size(); ++member)
            members[member] = index * 10 + static_cast<int64_t>(member);
        json += index ? ",[" : "[";
        for (size_t member = 0; member < members.size(); ++member)
            json += (member ? "," : "") + std::to_string(members[member]);
        json += "]";
        expected.push_back(std::move(members));
    }
    json += "]";

    std::vector<fnd::Ref<JKArray>> kept;
    {
        auto document = decodeAs<JKArray>(json);
        ASSERT_TRUE(document);
        ASSERT_EQ(document->count(), expected.size());
        for (size_t index = 0; index < expected.size(); index += 7)
            kept.push_back(fnd::as<JKArray>(document->objectAtIndex(index)));
    }
    std::thread([&] {
        for (size_t keptIndex = 0; keptIndex < kept.size(); ++keptIndex) {
            const auto& members = expected[keptIndex * 7];
            ASSERT_EQ(kept[keptIndex]->count(), members.size());
            for (size_t member = 0; member < members.size(); ++member)
                EXPECT_EQ(fnd::as<fnd::Number>(kept[keptIndex]->objectAtIndex(member))->longLongValue(), members[member]);
        }
        kept.clear();
    }).join();
}

TEST(JKArray, CopiesLikePlatformArrays)
{
    auto immutable = decodeAs<JKArray>("[1,2]");
    EXPECT_EQ(fnd::copyOf(immutable), immutable);
    auto mutableCopy = fnd::as<fnd::MutableArray>(fnd::mutableCopyOf(immutable));
    ASSERT_TRUE(mutableCopy);
    EXPECT_FALSE(fnd::is<JKArray>(mutableCopy));
    mutableCopy->addObject(integer(3));
    EXPECT_EQ(immutable->count(), 2u);

    auto mutableArray = decodeAs<JKArray>("[1,2]", true);
    fnd::Id copy = fnd::copyOf(mutableArray);
    EXPECT_NE(copy, mutableArray);
    EXPECT_FALSE(copy->isMutable());
    EXPECT_TRUE(copy->isEqual(*mutableArray));
}

TEST(JKCollections, ArePrivateToTheDecoder)
{
    EXPECT_EQ(exceptionOf([] { JKArray::alloc(); }),
        std::make_pair(std::string("NSInvalidArgumentException"),
            std::string("*** - [JKArray allocWithZone:]: The JKArray class is private to FastJSON and should not be used in this fashion.")));
    EXPECT_EQ(exceptionOf([] { JKDictionary::alloc(); }).second,
        "*** - [JKDictionary allocWithZone:]: The JKDictionary class is private to FastJSON and should not be used in this fashion.");
}

TEST(JKDictionary, CapacitiesFollowThePrimeTable)
{
    EXPECT_EQ(JKDictionary::capacityForCount(0), 0u);
    for (size_t count : { 1, 2, 3 })
        EXPECT_EQ(JKDictionary::capacityForCount(count), 3u);
    for (size_t count : { 4, 5, 6 })
        EXPECT_EQ(JKDictionary::capacityForCount(count), 7u);
    for (size_t count : { 7, 8, 9, 10 })
        EXPECT_EQ(JKDictionary::capacityForCount(count), 13u);
    EXPECT_EQ(JKDictionary::capacityForCount(11), 23u);
    EXPECT_EQ(JKDictionary::capacityForCount(355569362), 472907251u);
    EXPECT_EQ(exceptionOf([] { JKDictionary::capacityForCount(355569363); }),
        std::make_pair(std::string("NSMallocException"), std::string("Unable to allocate memory for hash table.")));

    auto empty = decodeAs<JKDictionary>("{}");
    EXPECT_EQ(empty->capacity(), 0u);
    EXPECT_FALSE(empty->objectForKey("a"));
    EXPECT_EQ(decodeAs<JKDictionary>(R"({"a":1,"b":2,"c":3,"d":4})")->capacity(), 7u);
    EXPECT_EQ(decodeAs<JKDictionary>(R"({"a":1,"b":2,"c":3,"d":4,"e":5,"f":6,"g":7})")->capacity(), 13u);

    auto growing = decodeAs<JKDictionary>("{}", true);
    growing->setObjectForKey(integer(1), "a");
    EXPECT_EQ(growing->capacity(), 3u);
}

TEST(JKDictionary, FullTablesStillFindAndMiss)
{
    auto full = decodeAs<JKDictionary>(R"({"a":1,"b":2,"c":3})", true);
    ASSERT_EQ(full->capacity(), 3u);
    EXPECT_FALSE(full->objectForKey("missing"));
    for (std::string_view removed : { "a", "b", "c" }) {
        auto copy = decodeAs<JKDictionary>(R"({"a":1,"b":2,"c":3})", true);
        copy->removeObjectForKey(removed);
        EXPECT_EQ(copy->count(), 2u);
        for (std::string_view key : { "a", "b", "c" })
            EXPECT_EQ(static_cast<bool>(copy->objectForKey(key)), key != removed) << removed << " " << key;
    }
}

// Keys whose hashes share one home slot, so that they form one cluster.
std::vector<std::string> collidingKeys(size_t capacity, size_t count)
{
    std::map<size_t, std::vector<std::string>> byHome;
    for (int candidate = 0;; ++candidate) {
        std::string key = "key" + std::to_string(candidate);
        auto& keys = byHome[static_cast<uint32_t>(fnd::String(key).hash()) % capacity];
        keys.push_back(key);
        if (keys.size() == count)
            return keys;
    }
}

// Linear probing from the home slot, the key's platform hash modulo the capacity: every entry sits at
// its home or after it with no free slot between. Slot order is what encoders write.
TEST(JKDictionary, EntriesSitAtOrAfterTheirHomeSlot)
{
    std::mt19937 random(77);
    for (int round = 0; round < 200; ++round) {
        size_t members = 1 + random() % 60;
        std::string text = "{";
        for (size_t index = 0; index < members; ++index)
            text += (index ? ",\"" : "\"") + std::to_string(random()) + "\":" + std::to_string(index);
        auto dictionary = decodeAs<JKDictionary>(text + "}", round % 2);
        ASSERT_TRUE(dictionary);
        size_t capacity = dictionary->capacity();
        for (size_t slot = 0; slot < capacity; ++slot) {
            const JKDictionary::Entry* entry = dictionary->entryAtSlot(slot);
            if (!entry)
                continue;
            size_t home = static_cast<uint32_t>(entry->key->hash()) % capacity;
            for (size_t between = home; between != slot; between = (between + 1) % capacity)
                ASSERT_TRUE(dictionary->entryAtSlot(between)) << text;
        }
    }
}

TEST(JKDictionary, RemovingFromAClusterKeepsTheRestFindable)
{
    auto keys = collidingKeys(13, 8);
    for (size_t removed = 0; removed < keys.size(); ++removed) {
        auto dictionary = decodeAs<JKDictionary>("{}", true);
        for (size_t index = 0; index < keys.size(); ++index)
            dictionary->setObjectForKey(integer(static_cast<int64_t>(index)), keys[index]);
        ASSERT_EQ(dictionary->capacity(), 13u);
        dictionary->removeObjectForKey(keys[removed]);
        EXPECT_EQ(dictionary->count(), keys.size() - 1);
        for (size_t index = 0; index < keys.size(); ++index) {
            auto value = dictionary->objectForKeyAs<fnd::Number>(keys[index]);
            if (index == removed)
                EXPECT_FALSE(value);
            else
                EXPECT_TRUE(value && value->longLongValue() == static_cast<int64_t>(index)) << keys[index];
        }
    }
}

TEST(JKDictionary, BehavesLikeAMapUnderRandomChanges)
{
    std::mt19937 random(20240611);
    auto dictionary = decodeAs<JKDictionary>("{}", true);
    std::map<std::string, int64_t> model;
    for (int step = 0; step < 20000; ++step) {
        std::string key = "k" + std::to_string(random() % 300);
        if (random() % 3) {
            int64_t value = step;
            dictionary->setObjectForKey(integer(value), key);
            model[key] = value;
        } else {
            dictionary->removeObjectForKey(key);
            model.erase(key);
        }
        ASSERT_EQ(dictionary->count(), model.size());
        if (step % 500 == 0) {
            for (int probe = 0; probe < 300; ++probe) {
                std::string probeKey = "k" + std::to_string(probe);
                auto found = dictionary->objectForKeyAs<fnd::Number>(probeKey);
                auto expected = model.find(probeKey);
                ASSERT_EQ(static_cast<bool>(found), expected != model.end()) << probeKey;
                if (found) {
                    ASSERT_EQ(found->longLongValue(), expected->second);
                }
            }
            std::set<std::string> enumerated;
            dictionary->forEachEntry([&](const fnd::Id& key, const fnd::Id&, bool&) { enumerated.insert(fnd::as<fnd::String>(key)->utf8()); });
            ASSERT_EQ(enumerated.size(), model.size());
        }
    }
}

TEST(JKDictionary, SetCopiesKeysAndRefusesNils)
{
    auto dictionary = decodeAs<JKDictionary>("{}", true);
    auto key = fnd::MutableString::create("name");
    dictionary->setObjectForKey(text("Ann"), key);
    key->append("d");
    EXPECT_EQ(dictionary->stringForKey("name"), "Ann");
    EXPECT_FALSE(dictionary->objectForKey("named"));

    EXPECT_EQ(exceptionOf([&] { dictionary->setObjectForKey(text("x"), fnd::Id()); }),
        std::make_pair(std::string("NSInvalidArgumentException"), std::string("*** -[JKDictionary setObject:forKey:]: attempt to insert nil key")));
    EXPECT_EQ(exceptionOf([&] { dictionary->setObjectForKey(fnd::Id(), "k"); }).second,
        "*** -[JKDictionary setObject:forKey:]: attempt to insert nil value (key: k)");

    auto immutable = decodeAs<JKDictionary>(R"({"a":1})");
    EXPECT_EQ(exceptionOf([&] { immutable->setObjectForKey(text("x"), "a"); }),
        std::make_pair(std::string("NSInternalInconsistencyException"), std::string("*** -[JKDictionary setObject:forKey:]: mutating method sent to immutable object")));
    EXPECT_EQ(exceptionOf([&] { immutable->removeObjectForKey("a"); }).second, "*** -[JKDictionary removeObjectForKey:]: mutating method sent to immutable object");
}

TEST(JKDictionary, EnumeratesEveryEntryOnce)
{
    auto dictionary = decodeAs<JKDictionary>(R"({"a":1,"b":2,"c":3,"d":4,"e":5})");
    std::vector<fnd::Id> objects(5);
    std::vector<fnd::Id> keys(5);
    dictionary->getObjectsAndKeys(objects.data(), keys.data());
    for (size_t index = 0; index < 5; ++index)
        EXPECT_EQ(dictionary->objectForKey(*keys[index]), objects[index]);
    dictionary->getObjectsAndKeys(nullptr, keys.data());

    auto enumerator = JKDictionaryEnumerator::createWithJKDictionary(dictionary);
    fnd::Id first = enumerator->nextObject();
    EXPECT_EQ(first, keys[0]);
    auto rest = enumerator->allObjects();
    ASSERT_EQ(rest->count(), 4u);
    for (size_t index = 0; index < 4; ++index)
        EXPECT_EQ(rest->objectAtIndex(index), keys[index + 1]);
    EXPECT_FALSE(enumerator->nextObject());
    EXPECT_EQ(JKDictionaryEnumerator::createWithJKDictionary(dictionary)->allObjects()->count(), 5u);
}

TEST(JKDictionary, ChangesDuringEnumerationThrow)
{
    auto dictionary = decodeAs<JKDictionary>(R"({"a":1,"b":2})", true);
    auto [name, reason] = exceptionOf([&] {
        dictionary->forEachEntry([&](const fnd::Id&, const fnd::Id&, bool&) { dictionary->setObjectForKey(integer(0), "new"); });
    });
    EXPECT_EQ(name, "NSGenericException");
    EXPECT_NE(reason.find("was mutated while being enumerated"), std::string::npos);
}

TEST(JKDictionary, CopiesLikePlatformDictionaries)
{
    auto immutable = decodeAs<JKDictionary>(R"({"a":1})");
    EXPECT_EQ(fnd::copyOf(immutable), immutable);
    auto mutableCopy = fnd::as<fnd::MutableDictionary>(fnd::mutableCopyOf(immutable));
    ASSERT_TRUE(mutableCopy);
    EXPECT_FALSE(fnd::is<JKDictionary>(mutableCopy));
    mutableCopy->setObjectForKey(integer(2), "b");
    EXPECT_EQ(immutable->count(), 1u);

    auto mutableDictionary = decodeAs<JKDictionary>(R"({"a":1})", true);
    fnd::Id copy = fnd::copyOf(mutableDictionary);
    EXPECT_NE(copy, mutableDictionary);
    EXPECT_FALSE(copy->isMutable());
    EXPECT_TRUE(copy->isEqual(*mutableDictionary));
    EXPECT_TRUE(mutableDictionary->isEqual(*fnd::Dictionary::create({ { text("a"), integer(1) } })));
}

}
