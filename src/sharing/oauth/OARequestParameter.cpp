#include "sharing/oauth/OARequestParameter.h"

#include "sharing/oauth/OAURLEncodingAdditions.h"

std::shared_ptr<OARequestParameter> OARequestParameter::requestParameterWithNameValue(std::string name, std::string value)
{
    return std::make_shared<OARequestParameter>(std::move(name), std::move(value));
}

OARequestParameter::OARequestParameter(std::string name, std::string value)
    : m_name(std::move(name))
    , m_value(std::move(value))
{
}

std::string OARequestParameter::URLEncodedName() const
{
    return OAURLEncodedString(m_name);
}

std::string OARequestParameter::URLEncodedValue() const
{
    return OAURLEncodedString(m_value);
}

std::string OARequestParameter::URLEncodedNameValuePair() const
{
    return URLEncodedName() + '=' + URLEncodedValue();
}
