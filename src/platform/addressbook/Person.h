#pragma once

#include "platform/addressbook/ImageFormat.h"
#include "platform/addressbook/MultiValue.h"
#include "platform/addressbook/PersonDetails.h"
#include "platform/addressbook/SortOrdering.h"
#include "platform/foundation/Data.h"
#include "platform/foundation/String.h"

#include <compare>
#include <cstdint>
#include <memory>

namespace ab {

using RecordId = int32_t;
constexpr RecordId invalidRecordId = -1;

// One person of the address book. Immutable once made, so it can be read from any thread.
class Person final : public fnd::Object {
public:
    static fnd::Ref<Person> create(RecordId, PersonDetails);

    Person(RecordId, PersonDetails);

    RecordId recordId() const { return m_recordId; }
    // Nil when the person has none.
    const fnd::Ref<fnd::String>& firstName() const { return m_firstName; }
    const fnd::Ref<fnd::String>& lastName() const { return m_lastName; }
    const fnd::Ref<fnd::String>& organization() const { return m_organization; }

    // Throws an fnd::Exception when the numbers cannot be read.
    std::shared_ptr<const MultiValue> phoneNumbers() const;

    bool hasImageData() const { return m_imageData && m_imageData->length() > 0; }
    // The photo's encoded bytes, or nil. Thumbnails are not made smaller: decoding images is not
    // the address book's business, so both formats hand out the stored bytes.
    fnd::Ref<fnd::Data> imageData(ImageFormat) const;

    // Orders two people by name the way lists of people are sorted: by last then first name, or
    // the other way round, ignoring case and accents; a person without a name sorts by
    // organisation. People whose names differ only in case or accents are ordered by the exact
    // text, so the order is the same on every run.
    static std::weak_ordering compareByName(const Person&, const Person&, SortOrdering);

    std::string_view className() const override { return "Person"; }
    // "<Person 3: Smith John>"
    std::string description() const override;

private:
    RecordId m_recordId;
    fnd::Ref<fnd::String> m_firstName;
    fnd::Ref<fnd::String> m_lastName;
    fnd::Ref<fnd::String> m_organization;
    std::shared_ptr<const MultiValue> m_phoneNumbers;
    fnd::Ref<fnd::Data> m_imageData;
    bool m_phoneNumbersUnreadable;
};

}
