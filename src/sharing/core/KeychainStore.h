#pragma once

#include "platform/foundation/Array.h"
#include "platform/foundation/Error.h"
#include "platform/security/KeychainQuery.h"

#include <optional>
#include <string>
#include <string_view>

// Short secrets (user names, passwords, access tokens) as generic-password items of the shared
// keychain, addressed by service and account. A nil argument never reaches the keychain: the
// operation fails with missingArgumentStatus. Failures are answered with nil or false and, when
// asked for, an error of errorDomain whose code is the keychain status.
class KeychainStore {
public:
    static constexpr std::string_view errorDomain = "com.brenzo.KeychainStore";
    static constexpr int32_t missingArgumentStatus = -1001;

    // Keys of the attribute dictionaries that accountsForService() answers.
    static constexpr std::string_view serviceAttributeKey = "svce";
    static constexpr std::string_view accountAttributeKey = "acct";
    static constexpr std::string_view creationDateAttributeKey = "cdat";
    static constexpr std::string_view modificationDateAttributeKey = "mdat";

    using OptionalText = std::optional<std::string_view>;

    // A stored empty password reads as nil without an error.
    static std::optional<std::string> passwordForServiceAccount(OptionalText service, OptionalText account, fnd::Ref<fnd::Error>* = nullptr);
    // Replaces any stored password in one step: when the write fails the old one stays.
    static bool setPasswordForServiceAccount(OptionalText password, OptionalText service, OptionalText account, fnd::Ref<fnd::Error>* = nullptr);
    static bool deletePasswordForServiceAccount(OptionalText service, OptionalText account, fnd::Ref<fnd::Error>* = nullptr);

    // Attribute dictionaries of every item of the service (every item with no service), oldest
    // first; nil when there is none.
    static fnd::Ref<fnd::Array> accountsForService(OptionalText service, fnd::Ref<fnd::Error>* = nullptr);
    static fnd::Ref<fnd::Array> allAccounts(fnd::Ref<fnd::Error>* = nullptr);

    // The query every operation starts from: a missing service or account matches any.
    static sec::KeychainQuery queryForServiceAccount(OptionalText service, OptionalText account);

    KeychainStore() = delete;
};
