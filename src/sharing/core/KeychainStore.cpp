#include "sharing/core/KeychainStore.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Unicode.h"
#include "platform/security/Keychain.h"

namespace {

bool succeeded(int32_t status, fnd::Ref<fnd::Error>* error)
{
    if (status != 0 && error)
        *error = fnd::Error::create(std::string(KeychainStore::errorDomain), status);
    return status == 0;
}

int32_t code(sec::KeychainStatus status)
{
    return static_cast<int32_t>(status);
}

fnd::Ref<fnd::Dictionary> dictionaryOfAttributes(const sec::KeychainItemAttributes& attributes)
{
    return fnd::Dictionary::create({
        { fnd::String::create(KeychainStore::serviceAttributeKey), fnd::String::create(attributes.service) },
        { fnd::String::create(KeychainStore::accountAttributeKey), fnd::String::create(attributes.account) },
        { fnd::String::create(KeychainStore::creationDateAttributeKey), fnd::Date::withTimeIntervalSince1970(attributes.creationDate) },
        { fnd::String::create(KeychainStore::modificationDateAttributeKey), fnd::Date::withTimeIntervalSince1970(attributes.modificationDate) },
    });
}

}

sec::KeychainQuery KeychainStore::queryForServiceAccount(OptionalText service, OptionalText account)
{
    sec::KeychainQuery query;
    if (service)
        query.service = std::string(*service);
    if (account)
        query.account = std::string(*account);
    return query;
}

std::optional<std::string> KeychainStore::passwordForServiceAccount(OptionalText service, OptionalText account, fnd::Ref<fnd::Error>* error)
{
    if (!service || !account) {
        succeeded(missingArgumentStatus, error);
        return std::nullopt;
    }
    fnd::Ref<fnd::Data> data;
    auto status = sec::Keychain::shared()->copyData(queryForServiceAccount(service, account), &data);
    if (!succeeded(code(status), error) || !data || !data->length())
        return std::nullopt;
    if (!fnd::unicode::isValidUTF8(data->asStringView()))
        return std::nullopt;
    return std::string(data->asStringView());
}

bool KeychainStore::setPasswordForServiceAccount(OptionalText password, OptionalText service, OptionalText account, fnd::Ref<fnd::Error>* error)
{
    if (!password || !service || !account)
        return succeeded(missingArgumentStatus, error);
    auto status = sec::Keychain::shared()->set(*service, *account, fnd::Data::create(*password));
    return succeeded(code(status), error);
}

bool KeychainStore::deletePasswordForServiceAccount(OptionalText service, OptionalText account, fnd::Ref<fnd::Error>* error)
{
    if (!service || !account)
        return succeeded(missingArgumentStatus, error);
    auto status = sec::Keychain::shared()->remove(queryForServiceAccount(service, account));
    return succeeded(code(status), error);
}

fnd::Ref<fnd::Array> KeychainStore::accountsForService(OptionalText service, fnd::Ref<fnd::Error>* error)
{
    std::vector<sec::KeychainItemAttributes> items;
    auto status = sec::Keychain::shared()->copyAttributes(queryForServiceAccount(service, std::nullopt), &items);
    if (!succeeded(code(status), error))
        return nullptr;
    std::vector<fnd::Id> dictionaries;
    for (auto& attributes : items)
        dictionaries.push_back(dictionaryOfAttributes(attributes));
    return fnd::Array::create(std::move(dictionaries));
}

fnd::Ref<fnd::Array> KeychainStore::allAccounts(fnd::Ref<fnd::Error>* error)
{
    return accountsForService(std::nullopt, error);
}
