#pragma once

#include "platform/foundation/Error.h"

#include <string>
#include <string_view>

// The errors of the fast decoder and encoder: domain "JKErrorDomain", code -1.
constexpr std::string_view JKErrorDomain = "JKErrorDomain";
constexpr std::string_view JKAtIndexKey = "JKAtIndexKey";
constexpr std::string_view JKLineNumberKey = "JKLineNumberKey";

fnd::Ref<fnd::Error> JKErrorWithDescription(std::string description);
// With the byte index and the line number (the first line is 1) where the parse failed.
fnd::Ref<fnd::Error> JKErrorWithDescriptionAtPosition(std::string description, size_t index, size_t line);
