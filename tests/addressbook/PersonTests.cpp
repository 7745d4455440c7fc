#include "platform/addressbook/AddressBook.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ab::Person;
using ab::SortOrdering;

fnd::Ref<Person> makePerson(const char* first, const char* last, const char* organization = nullptr)
{
    static ab::RecordId nextId = 1;
    ab::PersonDetails details;
    if (first)
        details.firstName = fnd::String::create(first);
    if (last)
        details.lastName = fnd::String::create(last);
    if (organization)
        details.organization = fnd::String::create(organization);
    return Person::create(nextId++, std::move(details));
}

std::vector<std::string> sortedDescriptions(std::vector<fnd::Ref<Person>> people, SortOrdering ordering)
{
    std::stable_sort(people.begin(), people.end(), [&](auto& a, auto& b) { return Person::compareByName(*a, *b, ordering) < 0; });
    std::vector<std::string> names;
    for (auto& person : people)
        names.push_back(person->description().substr(person->description().find(':') + 2));
    return names;
}

TEST(PersonComparison, FollowsTheSortOrdering)
{
    std::vector<fnd::Ref<Person>> people {
        makePerson("Zoë", "Adams"),
        makePerson("Adam", "Zimmer"),
        makePerson("Bob", "Adams"),
    };
    EXPECT_EQ(sortedDescriptions(people, SortOrdering::LastNameFirst), (std::vector<std::string> { "Adams Bob>", "Adams Zoë>", "Zimmer Adam>" }));
    EXPECT_EQ(sortedDescriptions(people, SortOrdering::FirstNameFirst), (std::vector<std::string> { "Zimmer Adam>", "Adams Bob>", "Adams Zoë>" }));
}

TEST(PersonComparison, IgnoresCaseAndAccentsButStaysDeterministic)
{
    auto elan = makePerson("élan", "Smith");
    auto elanPlain = makePerson("Elan", "Smith");
    auto ellen = makePerson("Ellen", "Smith");
    auto emile = makePerson("Émile", "Smith");
    auto lukasz = makePerson("Łukasz", nullptr);
    auto mark = makePerson("Mark", nullptr);
    auto kate = makePerson("kate", nullptr);

    EXPECT_TRUE(Person::compareByName(*elan, *ellen, SortOrdering::FirstNameFirst) < 0);
    EXPECT_TRUE(Person::compareByName(*ellen, *emile, SortOrdering::FirstNameFirst) < 0);
    // Letters with strokes sort with their base letter, not after Z.
    EXPECT_TRUE(Person::compareByName(*kate, *lukasz, SortOrdering::FirstNameFirst) < 0);
    EXPECT_TRUE(Person::compareByName(*lukasz, *mark, SortOrdering::FirstNameFirst) < 0);
    // Names equal but for case and accents still have one order, both ways round.
    auto forward = Person::compareByName(*elan, *elanPlain, SortOrdering::FirstNameFirst);
    auto backward = Person::compareByName(*elanPlain, *elan, SortOrdering::FirstNameFirst);
    EXPECT_TRUE(forward != 0);
    EXPECT_EQ(forward < 0, backward > 0);
    auto twin = makePerson("élan", "Smith");
    EXPECT_TRUE(Person::compareByName(*elan, *twin, SortOrdering::LastNameFirst) == 0);
}

TEST(PersonComparison, SortsNamelessPeopleByOrganisationAndSingleNamesByThatName)
{
    std::vector<fnd::Ref<Person>> people {
        makePerson(nullptr, "Baker"),
        makePerson(nullptr, nullptr, "Acme"),
        makePerson("Carla", nullptr, "Zeta Corp"),
        makePerson("Anna", "Baker"),
        makePerson("", "", ""),
    };
    EXPECT_EQ(sortedDescriptions(people, SortOrdering::LastNameFirst),
        (std::vector<std::string> { ">", "Acme>", "Baker>", "Baker Anna>", "Carla>" }));
}

TEST(Person, PhotosAreAbsentWhenEmpty)
{
    ab::PersonDetails details;
    details.imageData = fnd::Data::create(std::vector<uint8_t> {});
    auto person = Person::create(1, std::move(details));
    EXPECT_FALSE(person->hasImageData());
    EXPECT_FALSE(person->imageData(ab::ImageFormat::Thumbnail));
}

}
