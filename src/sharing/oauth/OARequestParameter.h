#pragma once

#include <memory>
#include <string>

// One name-value parameter of a signed request, in the query or the form body.
class OARequestParameter {
public:
    static std::shared_ptr<OARequestParameter> requestParameterWithNameValue(std::string name, std::string value);
    OARequestParameter(std::string name, std::string value);

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    const std::string& value() const { return m_value; }
    void setValue(std::string value) { m_value = std::move(value); }

    // Each percent-encoded once, the OAuth way.
    std::string URLEncodedName() const;
    std::string URLEncodedValue() const;
    // "name=value" of the two encoded parts.
    std::string URLEncodedNameValuePair() const;

private:
    std::string m_name;
    std::string m_value;
};
