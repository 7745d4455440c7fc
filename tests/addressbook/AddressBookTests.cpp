#include "platform/addressbook/AddressBook.h"
#include "platform/addressbook/PhoneLabel.h"
#include "platform/foundation/Exception.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <map>
#include <set>
#include <thread>

namespace {

using ab::AddressBook;
using ab::PersonDetails;

PersonDetails personNamed(std::string first, std::string last, std::vector<std::pair<std::string_view, std::string>> numbers = {})
{
    PersonDetails details;
    details.firstName = fnd::String::create(std::move(first));
    details.lastName = fnd::String::create(std::move(last));
    for (auto& [label, number] : numbers)
        details.phoneNumbers.push_back({ fnd::String::create(label), fnd::String::create(number) });
    return details;
}

void writeFile(const std::filesystem::path& path, std::string_view contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

// Restores the default source after each test, since open() reads a process-wide setting.
class AddressBookOpening : public ::testing::Test {
protected:
    void TearDown() override { AddressBook::useEmptyBook(); }

    brenzo::testing::TemporaryDirectory m_directory;
};

TEST(AddressBook, AddsPeopleWithIncreasingRecordIdsAndFindsThemById)
{
    auto book = AddressBook::createEmpty();
    auto smith = book->addPerson(personNamed("John", "Smith", { { ab::PhoneLabel::mobile, "06 12" }, { ab::PhoneLabel::work, "01 45" } }));
    auto doe = book->addPerson(personNamed("Jane", "Doe"));
    EXPECT_EQ(smith, 1);
    EXPECT_EQ(doe, 2);
    EXPECT_EQ(book->personCount(), 2u);

    auto person = book->personWithRecordId(smith);
    ASSERT_TRUE(person);
    EXPECT_EQ(person->recordId(), smith);
    EXPECT_EQ(person->lastName()->utf8(), "Smith");
    auto phones = person->phoneNumbers();
    ASSERT_EQ(phones->count(), 2u);
    EXPECT_EQ(phones->labelAtIndex(1)->utf8(), ab::PhoneLabel::work);
    EXPECT_EQ(phones->valueAtIndex(1)->utf8(), "01 45");
    // Past the end is nil, never a crash.
    EXPECT_FALSE(phones->valueAtIndex(2));
    EXPECT_EQ(phones->identifierAtIndex(2), ab::MultiValue::invalidIdentifier);

    EXPECT_FALSE(book->personWithRecordId(99));
}

TEST(AddressBook, RemovedPeopleAreGoneButCopiesHandedOutStayValid)
{
    auto book = AddressBook::createEmpty();
    auto first = book->addPerson(personNamed("A", "One"));
    book->addPerson(personNamed("B", "Two"));
    auto copy = book->copyAllPeople();

    EXPECT_TRUE(book->removePerson(first));
    EXPECT_FALSE(book->removePerson(first));
    EXPECT_FALSE(book->personWithRecordId(first));
    EXPECT_EQ(book->personCount(), 1u);
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy[0]->firstName()->utf8(), "A");
    // Ids are not reused.
    EXPECT_EQ(book->addPerson(personNamed("C", "Three")), 3);
}

TEST(AddressBook, UnreadablePhoneNumbersThrowForThatPersonOnly)
{
    auto book = AddressBook::createEmpty();
    auto details = personNamed("Broken", "Record", { { ab::PhoneLabel::home, "1" } });
    details.phoneNumbersUnreadable = true;
    auto broken = book->addPerson(std::move(details));
    auto fine = book->addPerson(personNamed("Fine", "Record", { { ab::PhoneLabel::home, "2" } }));
    EXPECT_THROW(book->personWithRecordId(broken)->phoneNumbers(), fnd::Exception);
    EXPECT_EQ(book->personWithRecordId(fine)->phoneNumbers()->count(), 1u);
}

TEST(AddressBook, ReadersOnOtherThreadsSeeWholePeopleWhileTheBookGrows)
{
    auto book = AddressBook::createEmpty();
    constexpr int peopleToAdd = 400;
    std::atomic<bool> done { false };
    std::atomic<int> inconsistencies { 0 };

    auto reader = [&] {
        while (!done.load()) {
            auto people = book->copyAllPeople();
            for (auto& person : people) {
                auto phones = person->phoneNumbers();
                if (phones->count() != 2 || !person->lastName() || book->personWithRecordId(person->recordId()) != person)
                    ++inconsistencies;
            }
        }
    };
    std::vector<std::thread> readers;
    for (int index = 0; index < 4; ++index)
        readers.emplace_back(reader);
    for (int index = 0; index < peopleToAdd; ++index)
        book->addPerson(personNamed("First", "Last" + std::to_string(index), { { ab::PhoneLabel::mobile, "1" }, { ab::PhoneLabel::home, "2" } }));
    done = true;
    for (auto& thread : readers)
        thread.join();

    EXPECT_EQ(inconsistencies.load(), 0);
    EXPECT_EQ(book->personCount(), static_cast<size_t>(peopleToAdd));
}

TEST_F(AddressBookOpening, GivesAnEmptyBookWhenNothingIsConfigured)
{
    fnd::Ref<fnd::Error> error;
    auto book = AddressBook::open(&error);
    ASSERT_TRUE(book);
    EXPECT_EQ(book->personCount(), 0u);
    EXPECT_FALSE(error);
}

TEST_F(AddressBookOpening, ReadsTheConfiguredContactsFile)
{
    auto path = m_directory.path() / "mine.vcf";
    writeFile(path, "BEGIN:VCARD\nVERSION:3.0\nN:Doe;Jane;;;\nTEL;TYPE=CELL:1\nEND:VCARD\n");
    AddressBook::useContactsFile(path);
    auto book = AddressBook::open();
    ASSERT_TRUE(book);
    ASSERT_EQ(book->personCount(), 1u);
    EXPECT_EQ(book->copyAllPeople().front()->firstName()->utf8(), "Jane");
}

TEST_F(AddressBookOpening, AFileWithoutAnyCardOrTooLargeIsAnErrorNotAnEmptyBook)
{
    auto path = m_directory.path() / "export.vcf";
    for (std::string_view contents : { "", "\n\n", "Name,Phone\nJane Doe,0123\n", "BEGIN:VCARD\nVERSION:9.9\nEND:VCARD\n" }) {
        writeFile(path, contents);
        fnd::Ref<fnd::Error> error;
        EXPECT_FALSE(AddressBook::createWithContentsOfFile(path, &error)) << contents;
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), AddressBook::NoCards);
    }

    // Refused from its size alone, before anything is read.
    std::filesystem::resize_file(path, AddressBook::maximumFileLength + 1);
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(AddressBook::createWithContentsOfFile(path, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), AddressBook::CannotReadFile);
    EXPECT_NE(error->localizedDescription().find("too large"), std::string::npos) << error->localizedDescription();
}

std::map<std::string, ab::RecordId> idsByFirstName(const AddressBook& book)
{
    std::map<std::string, ab::RecordId> ids;
    for (auto& person : book.copyAllPeople())
        ids[person->firstName()->utf8()] = person->recordId();
    return ids;
}

std::string card(std::string_view first, std::string_view uid = {})
{
    std::string text = "BEGIN:VCARD\nVERSION:3.0\n";
    if (!uid.empty())
        text += "UID:" + std::string(uid) + "\n";
    return text + "N:Doe;" + std::string(first) + ";;;\nTEL:1\nEND:VCARD\n";
}

TEST(AddressBookRecordIds, FollowTheCardWhenOtherCardsAreAddedRemovedOrReordered)
{
    auto before = AddressBook::createWithVCardText(card("Ann", "uid-ann") + card("Bob") + card("Cid", "uid-cid") + card("Dan"));
    auto after = AddressBook::createWithVCardText(card("Eve", "uid-eve") + card("Dan") + card("Cid", "uid-cid") + card("Bob"));
    auto idsBefore = idsByFirstName(*before);
    auto idsAfter = idsByFirstName(*after);
    for (auto name : { "Bob", "Cid", "Dan" })
        EXPECT_EQ(idsAfter[name], idsBefore[name]) << name;
    for (auto& [name, id] : idsAfter)
        EXPECT_GT(id, 0) << name;
    EXPECT_EQ(std::set<ab::RecordId>({ idsAfter["Bob"], idsAfter["Cid"], idsAfter["Dan"], idsAfter["Eve"] }).size(), 4u);

    // The UID wins over the name: a renamed card keeps its id, a card without UID follows its name.
    auto renamed = AddressBook::createWithVCardText(card("Cyd", "uid-cid") + card("Bobby"));
    auto idsRenamed = idsByFirstName(*renamed);
    EXPECT_EQ(idsRenamed["Cyd"], idsBefore["Cid"]);
    EXPECT_NE(idsRenamed["Bobby"], idsBefore["Bob"]);
}

TEST(AddressBookRecordIds, CardsThatComeToTheSameIdEachGetTheirOwn)
{
    auto book = AddressBook::createWithVCardText(card("Twin") + card("Twin") + card("Other", "same") + card("Other", "same"));
    auto people = book->copyAllPeople();
    ASSERT_EQ(people.size(), 4u);
    std::set<ab::RecordId> ids;
    for (auto& person : people) {
        ids.insert(person->recordId());
        EXPECT_EQ(book->personWithRecordId(person->recordId()), person);
    }
    EXPECT_EQ(ids.size(), 4u);
}

TEST_F(AddressBookOpening, ReportsAMissingOrUnreadableFileAsAnError)
{
    AddressBook::useContactsFile(m_directory.path() / "missing.vcf");
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(AddressBook::open(&error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), AddressBook::errorDomain);
    EXPECT_EQ(error->code(), AddressBook::CannotReadFile);
    EXPECT_NE(error->localizedDescription().find("missing.vcf"), std::string::npos);
    EXPECT_NE(error->localizedDescription().find("No such file or directory"), std::string::npos);

    error = nullptr;
    EXPECT_FALSE(AddressBook::createWithContentsOfFile(m_directory.path(), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), AddressBook::CannotReadFile);
    // Callers that do not ask for the error still get nil.
    EXPECT_FALSE(AddressBook::createWithContentsOfFile(m_directory.path() / "missing.vcf"));
}

TEST_F(AddressBookOpening, HandsOutABookMadeByATest)
{
    auto book = AddressBook::createEmpty();
    book->addPerson(personNamed("Test", "Person"));
    AddressBook::useBook(book);
    EXPECT_EQ(AddressBook::open(), book);
}

TEST_F(AddressBookOpening, FailsToOpenWhenToldTo)
{
    AddressBook::useOpenFailure();
    fnd::Ref<fnd::Error> error;
    EXPECT_FALSE(AddressBook::open(&error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), AddressBook::AccessDenied);

    auto custom = fnd::Error::withDescription("Test", 42, "Nope");
    AddressBook::useOpenFailure(custom);
    error = nullptr;
    EXPECT_FALSE(AddressBook::open(&error));
    EXPECT_EQ(error, custom);
}

}
