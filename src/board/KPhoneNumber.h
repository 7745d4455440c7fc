#pragma once

#include "platform/addressbook/Person.h"
#include "platform/foundation/Object.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <optional>
#include <string>

// One phone number of one address-book person, as the contact loader finds it. Filled once on the
// loader's thread and read on the main thread after the list is published; only the cached
// one-line name is written later, on the main thread.
class KPhoneNumber : public fnd::Object {
public:
    static fnd::Ref<KPhoneNumber> create();

    std::string_view className() const override { return "KPhoneNumber"; }
    std::string description() const override;

    const std::optional<std::string>& firstName() const { return m_firstName; }
    void setFirstName(std::optional<std::string> name) { m_firstName = std::move(name); }
    const std::optional<std::string>& lastName() const { return m_lastName; }
    void setLastName(std::optional<std::string> name) { m_lastName = std::move(name); }
    // The label as the loader formatted it: "iPhone", or a lower-case label such as "mobile".
    const std::optional<std::string>& type() const { return m_type; }
    void setType(std::optional<std::string> type) { m_type = std::move(type); }
    // As the address book stores it, blanks included.
    const std::optional<std::string>& phone() const { return m_phone; }
    void setPhone(std::optional<std::string> phone) { m_phone = std::move(phone); }
    const std::optional<std::string>& organization() const { return m_organization; }
    void setOrganization(std::optional<std::string> organization) { m_organization = std::move(organization); }
    // The person belongs to the address book the loader opened, which stays open.
    const fnd::Ref<ab::Person>& contact() const { return m_contact; }
    void setContact(fnd::Ref<ab::Person> contact) { m_contact = std::move(contact); }
    // Index of this number among the person's numbers, from 0.
    int32_t position() const { return m_position; }
    void setPosition(int32_t position) { m_position = position; }

    // "Last First", one of them, the organisation or "Unknown"; made on the first call and kept.
    const std::string& compositeName() const;

    static constexpr double imageSide = 180;
    static constexpr double iconSide = 160;
    static constexpr std::string_view stockPhotoName = "contact-withoutphoto.png";
    static constexpr std::string_view rimImageName = "black100.png";
    // The board picture, made anew on each call: the person's photo, or the stock picture when
    // there is none (or it cannot be decoded), inside a black rim with rounded corners.
    fnd::Ref<gfx::Image> image() const;
    // The row picture, made anew on each call: the photo stretched to the square without
    // smoothing, or nothing when the person has no photo that decodes.
    fnd::Ref<gfx::Image> iconImage() const;

    KPhoneNumber() = default;

private:
    fnd::Ref<gfx::Image> decodedPhoto() const;

    std::optional<std::string> m_firstName;
    std::optional<std::string> m_lastName;
    std::optional<std::string> m_type;
    std::optional<std::string> m_phone;
    std::optional<std::string> m_organization;
    fnd::Ref<ab::Person> m_contact;
    int32_t m_position = 0;
    mutable std::optional<std::string> m_compositeName;
};
