#include "platform/addressbook/AddressBook.h"
#include "platform/addressbook/PhoneLabel.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::filesystem::path sampleContactsPath()
{
    const char* resources = std::getenv("BRENZO_RESOURCES");
    return std::filesystem::path(resources ? resources : BRENZO_SOURCE_DIR "/resources") / "contacts.vcf";
}

std::string text(const fnd::Ref<fnd::String>& string)
{
    return string ? string->utf8() : "<nil>";
}

class SampleContacts : public ::testing::Test {
protected:
    void SetUp() override
    {
        fnd::Ref<fnd::Error> error;
        m_book = ab::AddressBook::createWithContentsOfFile(sampleContactsPath(), &error);
        ASSERT_TRUE(m_book) << fnd::descriptionOf(error);
    }

    fnd::Ref<ab::Person> personNamed(std::string_view first, std::string_view last) const
    {
        for (auto& person : m_book->copyAllPeople()) {
            if (text(person->firstName()) == first && text(person->lastName()) == last)
                return person;
        }
        return nullptr;
    }

    std::vector<std::pair<std::string, std::string>> numbersOf(const ab::Person& person) const
    {
        std::vector<std::pair<std::string, std::string>> numbers;
        auto phones = person.phoneNumbers();
        for (size_t index = 0; index < phones->count(); ++index)
            numbers.emplace_back(text(phones->labelAtIndex(index)), text(phones->valueAtIndex(index)));
        return numbers;
    }

    static std::string readSample()
    {
        std::ifstream file(sampleContactsPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    std::shared_ptr<ab::AddressBook> m_book;
};

TEST_F(SampleContacts, ReadsEveryPersonWithoutComplaint)
{
    fnd::LogCapture log;
    auto book = ab::AddressBook::createWithContentsOfFile(sampleContactsPath());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->personCount(), 24u);
    EXPECT_TRUE(log.lines().empty()) << log.lines().front();

}

TEST_F(SampleContacts, EveryCardHasAUIDSoItsIdDoesNotDependOnItsPlace)
{
    // Every card reversed in the file, and the name of each changed: the ids stay with the UIDs.
    auto text = readSample();
    std::vector<std::string> cards;
    for (size_t start = text.find("BEGIN:VCARD"); start != std::string::npos;) {
        size_t next = text.find("BEGIN:VCARD", start + 1);
        auto card = text.substr(start, next == std::string::npos ? std::string::npos : next - start);
        EXPECT_NE(card.find("\r\nUID:"), std::string::npos) << card;
        cards.push_back(card);
        start = next;
    }
    ASSERT_EQ(cards.size(), 24u);
    std::string reversed;
    for (auto card = cards.rbegin(); card != cards.rend(); ++card)
        reversed += *card;
    auto reordered = ab::AddressBook::createWithVCardText(reversed);
    ASSERT_EQ(reordered->personCount(), 24u);
    for (auto& person : m_book->copyAllPeople()) {
        auto same = reordered->personWithRecordId(person->recordId());
        ASSERT_TRUE(same) << person->description();
        EXPECT_EQ(same->description(), person->description());
    }
}

TEST_F(SampleContacts, KeepsAccentedNames)
{
    EXPECT_TRUE(personNamed("Joël", "Martin"));
    EXPECT_TRUE(personNamed("Zoë", "Ångström"));
    EXPECT_TRUE(personNamed("Łukasz", "Nowak"));
    EXPECT_TRUE(personNamed("María José", "García Pérez"));
    // Written quoted-printable in the file.
    auto elodie = personNamed("Élodie", "Durand");
    ASSERT_TRUE(elodie);
    EXPECT_EQ(text(elodie->organization()), "Atelier Lumière");
}

TEST_F(SampleContacts, MapsPhoneTypesToStandardLabels)
{
    auto joel = personNamed("Joël", "Martin");
    ASSERT_TRUE(joel);
    using Numbers = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(numbersOf(*joel), (Numbers { { "_$!<Mobile>!$_", "06 12 34 56 78" }, { "_$!<Home>!$_", "+33 1 42 68 53 00" } }));

    auto john = personNamed("John", "Smith");
    ASSERT_TRUE(john);
    EXPECT_EQ(numbersOf(*john), (Numbers { { "_$!<Mobile>!$_", "(555) 010-4477" }, { "_$!<Home>!$_", "555 010 8899" }, { "_$!<Work>!$_", "+1 (555) 010-2000" } }));

    auto alice = personNamed("Alice", "Appleton");
    ASSERT_TRUE(alice);
    EXPECT_EQ(numbersOf(*alice), (Numbers { { "iPhone", "+44 20 7946 0018" } }));

    auto olivia = personNamed("Olivia", "Chen");
    ASSERT_TRUE(olivia);
    EXPECT_EQ(numbersOf(*olivia)[1].first, "_$!<HomeFAX>!$_");

    auto bob = personNamed("Bob", "Baker");
    ASSERT_TRUE(bob);
    EXPECT_EQ(numbersOf(*bob)[1].first, "_$!<Pager>!$_");
}

TEST_F(SampleContacts, KeepsCustomLabels)
{
    auto zoe = personNamed("Zoë", "Ångström");
    ASSERT_TRUE(zoe);
    EXPECT_EQ(numbersOf(*zoe)[1], std::make_pair(std::string("Summer house"), std::string("08-555 123 45")));

    auto nadia = personNamed("Nadia", "Benali");
    ASSERT_TRUE(nadia);
    EXPECT_EQ(numbersOf(*nadia)[0].first, "Studio");
}

TEST_F(SampleContacts, HasAnOrganisationOnlyEntryAndAPersonWithoutNumbers)
{
    auto people = m_book->copyAllPeople();
    auto acme = std::find_if(people.begin(), people.end(), [](auto& person) { return text(person->organization()) == "Acme Widgets Ltd"; });
    ASSERT_NE(acme, people.end());
    EXPECT_FALSE((*acme)->firstName());
    EXPECT_FALSE((*acme)->lastName());
    EXPECT_EQ(numbersOf(**acme)[0].first, "_$!<Main>!$_");
    EXPECT_EQ(numbersOf(**acme)[1].first, "_$!<WorkFAX>!$_");

    auto helene = personNamed("Hélène", "Roussel");
    ASSERT_TRUE(helene);
    EXPECT_EQ(helene->phoneNumbers()->count(), 0u);
}

TEST_F(SampleContacts, UnescapesCommasAndSemicolons)
{
    EXPECT_EQ(text(personNamed("Quentin", "Rousseau")->organization()), "Dupont, Fils & Cie");
    EXPECT_EQ(text(personNamed("Olivia", "Chen")->organization()), "Chen; Partners");
}

TEST_F(SampleContacts, HandsOutPhotosAsStoredBytes)
{
    constexpr std::string_view pngSignature = "\x89PNG\r\n\x1a\n";
    size_t withPhoto = 0;
    for (auto& person : m_book->copyAllPeople()) {
        if (!person->hasImageData()) {
            EXPECT_FALSE(person->imageData(ab::ImageFormat::Thumbnail));
            continue;
        }
        ++withPhoto;
        auto bytes = person->imageData(ab::ImageFormat::OriginalSize)->asStringView();
        EXPECT_TRUE(bytes.starts_with(pngSignature)) << person->description();
        // Every photo but the corrupt one is a whole PNG file.
        bool isCorrupt = text(person->lastName()) == "Corrigan";
        EXPECT_EQ(bytes.find("IEND") != std::string_view::npos, !isCorrupt) << person->description();
        EXPECT_EQ(person->imageData(ab::ImageFormat::Thumbnail)->asStringView(), bytes);
    }
    EXPECT_EQ(withPhoto, 19u);
    // Written as a data URI rather than as base64 with an encoding parameter.
    EXPECT_TRUE(personNamed("Olivia", "Chen")->hasImageData());
}

TEST_F(SampleContacts, SortsByLastNameIgnoringAccents)
{
    auto people = m_book->copyAllPeople();
    std::stable_sort(people.begin(), people.end(), [](auto& a, auto& b) {
        return ab::Person::compareByName(*a, *b, ab::SortOrdering::LastNameFirst) < 0;
    });
    std::vector<std::string> names;
    for (auto& person : people)
        names.push_back(text(person->lastName()) + "/" + text(person->firstName()));
    std::vector<std::string> expected {
        "<nil>/<nil>", // Acme Widgets Ltd, by its organisation
        "Ångström/Anders", "Ångström/Zoë", "Appleton/Alice", "Baker/Bob", "Benali/Nadia", "Chen/Olivia",
        "Corrigan/Carl", "Demir/Yusuf", "Durand/Élodie", "Faure/Émile", "García Pérez/María José",
        "<nil>/Inès", "Martin/Joël", "Nowak/Łukasz", "O'Brien/Siobhán", "Patel/Uma", "Rossi/Sofia",
        "Rousseau/Quentin", "Roussel/Hélène", "Smith/John", "Tanaka/Kenji", "Tremblay/Pierre-Luc",
        "Zimmermann/Zoé",
    };
    EXPECT_EQ(names, expected);
}

}
