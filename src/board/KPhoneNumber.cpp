#include "board/KPhoneNumber.h"

#include "platform/foundation/Format.h"

fnd::Ref<KPhoneNumber> KPhoneNumber::create()
{
    return std::make_shared<KPhoneNumber>();
}

std::string KPhoneNumber::description() const
{
    return fnd::format("<KPhoneNumber %@ %@ %@>", compositeName(), m_type.value_or(""), m_phone.value_or(""));
}

const std::string& KPhoneNumber::compositeName() const
{
    if (!m_compositeName) {
        if (m_lastName && m_firstName)
            m_compositeName = *m_lastName + " " + *m_firstName;
        else if (m_lastName)
            m_compositeName = *m_lastName;
        else if (m_firstName)
            m_compositeName = *m_firstName;
        else
            m_compositeName = m_organization.value_or("Unknown");
    }
    return *m_compositeName;
}
