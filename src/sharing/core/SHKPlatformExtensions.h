#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Dictionary.h"

#include <string>

// Small services on platform types that the sharers share.

// The MD5 digest of the bytes as 32 lower-case hexadecimal digits.
std::string SHKDataMD5(const fnd::Data&);

// Replaces every null value by "" in the dictionary and in every dictionary below it (through
// dictionaries only, not arrays). A nested dictionary that cannot change is replaced by a mutable
// copy. Decoded service replies go through here before their values are read as texts.
void SHKConvertNullsToEmptyStrings(fnd::MutableDictionary&);
