#pragma once

#include <cstdint>

namespace sec {

// What a keychain operation answers, with the platform's values so that callers can hand them on
// as error codes.
enum class KeychainStatus : int32_t {
    Success = 0,
    IO = -36,
    Param = -50,
    Allocate = -108,
    NotAvailable = -25291,
    DuplicateItem = -25299,
    ItemNotFound = -25300,
};

}
