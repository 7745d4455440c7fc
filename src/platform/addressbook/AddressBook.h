#pragma once

#include "platform/addressbook/Person.h"
#include "platform/addressbook/PersonDetails.h"
#include "platform/addressbook/SortOrdering.h"
#include "platform/foundation/Error.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ab {

// The device's contacts. A book is filled from a vCard file or, in tests, person by person; people
// are immutable and the book is safe to read and change from several threads at once.
//
// The application opens its book with open(), which hands out what the process was told to use:
// the user's contacts file, a book made by a test, or a failure. With nothing configured it is an
// empty book, like a device without contacts.
class AddressBook {
public:
    static constexpr std::string_view errorDomain = "AddressBookErrorDomain";
    enum ErrorCode : int64_t {
        CannotReadFile = 1,
        AccessDenied = 2,
        // The file was read but holds no card: not taken as a book whose people were all deleted.
        NoCards = 3,
    };
    // A contacts file larger than this is refused rather than read whole.
    static constexpr uint64_t maximumFileLength = 64 * 1024 * 1024;

    static std::shared_ptr<AddressBook> open(fnd::Ref<fnd::Error>* error = nullptr);
    // What open() answers from now on. Each call replaces the previous choice.
    static void useContactsFile(std::filesystem::path);
    static void useBook(std::shared_ptr<AddressBook>);
    // open() fails with this error (an access-denied error when nil).
    static void useOpenFailure(fnd::Ref<fnd::Error> = nullptr);
    static void useEmptyBook();

    // Nil, with an error, when the file cannot be read, is too large or holds no card. Malformed
    // cards are skipped (and logged).
    //
    // Record ids stay the same when other cards are added, removed or reordered: a card's id comes
    // from its UID, or, for a card without one, from its last name, first name and organisation
    // (a stable hash, 1 to 2^31-1). When two cards come to the same id, the later one in the file
    // takes the next free id.
    static std::shared_ptr<AddressBook> createWithContentsOfFile(const std::filesystem::path&, fnd::Ref<fnd::Error>* error = nullptr);
    static std::shared_ptr<AddressBook> createWithVCardText(std::string_view text, std::string_view sourceName = "vCard text");
    static std::shared_ptr<AddressBook> createEmpty();

    // The user's preferred ordering of names, for the whole process; last name first by default.
    static SortOrdering sortOrdering();
    static void setSortOrdering(SortOrdering);

    AddressBook() = default;
    AddressBook(const AddressBook&) = delete;
    AddressBook& operator=(const AddressBook&) = delete;

    // Answers the new person's record id, one more than the highest so far.
    RecordId addPerson(PersonDetails);
    bool removePerson(RecordId);

    size_t personCount() const;
    // Every person, in the order they were added (a file's order).
    std::vector<fnd::Ref<Person>> copyAllPeople() const;
    // Nil when there is no such person (any more).
    fnd::Ref<Person> personWithRecordId(RecordId) const;

private:
    void insert(fnd::Ref<Person>);

    mutable std::mutex m_lock;
    std::vector<fnd::Ref<Person>> m_people;
    std::unordered_map<RecordId, fnd::Ref<Person>> m_peopleById;
    RecordId m_lastRecordId { 0 };
};

}
