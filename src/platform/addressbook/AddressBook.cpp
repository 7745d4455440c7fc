#include "platform/addressbook/AddressBook.h"

#include "platform/addressbook/VCardReader.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Format.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <variant>

namespace ab {

namespace {

struct EmptyBook { };
using Source = std::variant<EmptyBook, std::filesystem::path, std::shared_ptr<AddressBook>, fnd::Ref<fnd::Error>>;

std::mutex& sourceLock()
{
    static std::mutex lock;
    return lock;
}

Source& configuredSource()
{
    static Source source;
    return source;
}

void setSource(Source source)
{
    std::lock_guard guard(sourceLock());
    configuredSource() = std::move(source);
}

std::atomic<SortOrdering>& preferredOrdering()
{
    static std::atomic<SortOrdering> ordering { SortOrdering::LastNameFirst };
    return ordering;
}

// 32-bit FNV-1a: the same on every machine and every run, unlike std::hash.
uint32_t stableHash(std::string_view text)
{
    uint32_t hash = 2166136261u;
    for (unsigned char byte : text) {
        hash ^= byte;
        hash *= 16777619u;
    }
    return hash;
}

std::string textOrEmpty(const fnd::Ref<fnd::String>& text)
{
    return text ? text->utf8() : std::string();
}

// A positive id from the card's UID, or else from its names and organisation; see the header.
RecordId preferredRecordId(const VCardReader::Card& card)
{
    std::string key;
    if (card.uid)
        key = "uid\x1f" + *card.uid;
    else
        key = "name\x1f" + textOrEmpty(card.details.lastName) + '\x1f' + textOrEmpty(card.details.firstName) + '\x1f' + textOrEmpty(card.details.organization);
    auto id = RecordId(stableHash(key) & 0x7fffffffu);
    return id == 0 ? 1 : id;
}

RecordId nextRecordId(RecordId id)
{
    return id == std::numeric_limits<RecordId>::max() ? 1 : id + 1;
}

void report(fnd::Ref<fnd::Error>* error, fnd::Ref<fnd::Error> value)
{
    if (error)
        *error = std::move(value);
}

}

std::shared_ptr<AddressBook> AddressBook::open(fnd::Ref<fnd::Error>* error)
{
    Source source;
    {
        std::lock_guard guard(sourceLock());
        source = configuredSource();
    }
    if (auto* path = std::get_if<std::filesystem::path>(&source))
        return createWithContentsOfFile(*path, error);
    if (auto* book = std::get_if<std::shared_ptr<AddressBook>>(&source))
        return *book;
    if (auto* failure = std::get_if<fnd::Ref<fnd::Error>>(&source)) {
        report(error, *failure);
        return nullptr;
    }
    return createEmpty();
}

void AddressBook::useContactsFile(std::filesystem::path path)
{
    setSource(std::move(path));
}

void AddressBook::useBook(std::shared_ptr<AddressBook> book)
{
    setSource(std::move(book));
}

void AddressBook::useOpenFailure(fnd::Ref<fnd::Error> error)
{
    if (!error)
        error = fnd::Error::withDescription(std::string(errorDomain), AccessDenied, "Access to the contacts was denied.");
    setSource(std::move(error));
}

void AddressBook::useEmptyBook()
{
    setSource(EmptyBook {});
}

std::shared_ptr<AddressBook> AddressBook::createWithContentsOfFile(const std::filesystem::path& path, fnd::Ref<fnd::Error>* error)
{
    fnd::Ref<fnd::Error> readError;
    auto contents = fnd::FileManager::contentsOfFile(path, maximumFileLength, &readError);
    if (!contents) {
        report(error, fnd::Error::withDescription(std::string(errorDomain), CannotReadFile,
            fnd::format("The contacts file \"%s\" could not be read: %@", path.string(), readError ? fnd::FormatArgument(readError->localizedDescription()) : fnd::FormatArgument())));
        return nullptr;
    }
    auto book = createWithVCardText(contents->asStringView(), path.filename().string());
    // A file that opens but yields nobody (empty, another format) is far more likely a wrong file
    // than a device whose every contact was deleted.
    if (book->personCount() == 0) {
        report(error, fnd::Error::withDescription(std::string(errorDomain), NoCards,
            fnd::format("The contacts file \"%s\" holds no readable vCard.", path.string())));
        return nullptr;
    }
    return book;
}

std::shared_ptr<AddressBook> AddressBook::createWithVCardText(std::string_view text, std::string_view sourceName)
{
    auto book = createEmpty();
    for (auto& card : VCardReader::read(text, sourceName)) {
        auto id = preferredRecordId(card);
        while (book->m_peopleById.contains(id))
            id = nextRecordId(id);
        book->insert(Person::create(id, std::move(card.details)));
    }
    return book;
}

std::shared_ptr<AddressBook> AddressBook::createEmpty()
{
    return std::make_shared<AddressBook>();
}

SortOrdering AddressBook::sortOrdering()
{
    return preferredOrdering().load();
}

void AddressBook::setSortOrdering(SortOrdering ordering)
{
    preferredOrdering().store(ordering);
}

RecordId AddressBook::addPerson(PersonDetails details)
{
    std::lock_guard guard(m_lock);
    auto person = Person::create(m_lastRecordId + 1, std::move(details));
    m_lastRecordId = person->recordId();
    m_people.push_back(person);
    m_peopleById.emplace(person->recordId(), person);
    return person->recordId();
}

void AddressBook::insert(fnd::Ref<Person> person)
{
    std::lock_guard guard(m_lock);
    m_lastRecordId = std::max(m_lastRecordId, person->recordId());
    m_peopleById.emplace(person->recordId(), person);
    m_people.push_back(std::move(person));
}

bool AddressBook::removePerson(RecordId recordId)
{
    std::lock_guard guard(m_lock);
    if (!m_peopleById.erase(recordId))
        return false;
    std::erase_if(m_people, [&](const fnd::Ref<Person>& person) { return person->recordId() == recordId; });
    return true;
}

size_t AddressBook::personCount() const
{
    std::lock_guard guard(m_lock);
    return m_people.size();
}

std::vector<fnd::Ref<Person>> AddressBook::copyAllPeople() const
{
    std::lock_guard guard(m_lock);
    return m_people;
}

fnd::Ref<Person> AddressBook::personWithRecordId(RecordId recordId) const
{
    std::lock_guard guard(m_lock);
    auto found = m_peopleById.find(recordId);
    return found != m_peopleById.end() ? found->second : nullptr;
}

}
