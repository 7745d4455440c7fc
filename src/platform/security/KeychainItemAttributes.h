#pragma once

#include <string>

namespace sec {

// What the keychain tells about an item besides its secret data.
struct KeychainItemAttributes {
    std::string service;
    std::string account;
    // Seconds since 1970.
    double creationDate = 0;
    double modificationDate = 0;
};

}
