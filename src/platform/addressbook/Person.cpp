#include "platform/addressbook/Person.h"

#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"

#include <memory>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <vector>

namespace ab {

namespace {

bool hasText(const fnd::Ref<fnd::String>& text)
{
    return text && !text->isEmpty();
}

// The texts a person is sorted by, most significant first.
std::vector<std::string_view> sortKeys(const Person& person, SortOrdering ordering)
{
    const auto& first = ordering == SortOrdering::FirstNameFirst ? person.firstName() : person.lastName();
    const auto& second = ordering == SortOrdering::FirstNameFirst ? person.lastName() : person.firstName();
    std::vector<std::string_view> keys;
    if (hasText(first))
        keys.push_back(first->view());
    if (hasText(second))
        keys.push_back(second->view());
    if (keys.empty() && hasText(person.organization()))
        keys.push_back(person.organization()->view());
    return keys;
}

// Collators are not shared between threads; each thread makes its own, once.
int compareWithCollator(std::string_view a, std::string_view b, icu::Collator::ECollationStrength strength)
{
    thread_local std::unique_ptr<icu::Collator> collators[2];
    auto& collator = collators[strength == icu::Collator::PRIMARY ? 0 : 1];
    UErrorCode status = U_ZERO_ERROR;
    if (!collator) {
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !collator) {
            collator.reset();
            return a.compare(b);
        }
        collator->setStrength(strength);
    }
    status = U_ZERO_ERROR;
    auto result = collator->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
        icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    return U_FAILURE(status) ? a.compare(b) : static_cast<int>(result);
}

enum class KeyComparison {
    IgnoringCaseAndAccents,
    Exact,
};

std::weak_ordering compareKeys(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b, KeyComparison comparison)
{
    for (size_t index = 0; index < a.size() && index < b.size(); ++index) {
        int order = 0;
        if (comparison == KeyComparison::IgnoringCaseAndAccents)
            order = compareWithCollator(a[index], b[index], icu::Collator::PRIMARY);
        else {
            order = compareWithCollator(a[index], b[index], icu::Collator::TERTIARY);
            if (order == 0)
                order = a[index].compare(b[index]);
        }
        if (order != 0)
            return order < 0 ? std::weak_ordering::less : std::weak_ordering::greater;
    }
    return a.size() <=> b.size();
}

}

fnd::Ref<Person> Person::create(RecordId recordId, PersonDetails details)
{
    return std::make_shared<Person>(recordId, std::move(details));
}

Person::Person(RecordId recordId, PersonDetails details)
    : m_recordId(recordId)
    , m_firstName(std::move(details.firstName))
    , m_lastName(std::move(details.lastName))
    , m_organization(std::move(details.organization))
    , m_phoneNumbers(std::make_shared<const MultiValue>(std::move(details.phoneNumbers)))
    , m_imageData(std::move(details.imageData))
    , m_phoneNumbersUnreadable(details.phoneNumbersUnreadable)
{
}

std::shared_ptr<const MultiValue> Person::phoneNumbers() const
{
    if (m_phoneNumbersUnreadable)
        throw fnd::Exception("AddressBookReadException", fnd::format("The phone numbers of person %d cannot be read", m_recordId));
    return m_phoneNumbers;
}

fnd::Ref<fnd::Data> Person::imageData(ImageFormat) const
{
    return hasImageData() ? m_imageData : nullptr;
}

std::weak_ordering Person::compareByName(const Person& a, const Person& b, SortOrdering ordering)
{
    auto keysOfA = sortKeys(a, ordering);
    auto keysOfB = sortKeys(b, ordering);
    auto order = compareKeys(keysOfA, keysOfB, KeyComparison::IgnoringCaseAndAccents);
    if (order != 0)
        return order;
    return compareKeys(keysOfA, keysOfB, KeyComparison::Exact);
}

std::string Person::description() const
{
    std::string name;
    for (auto key : sortKeys(*this, SortOrdering::LastNameFirst)) {
        if (!name.empty())
            name += ' ';
        name += key;
    }
    return fnd::format("<Person %d: %s>", m_recordId, name);
}

}
