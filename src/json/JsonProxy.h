#pragma once

#include "platform/foundation/Object.h"

// Implemented by objects that the writer cannot write themselves but can stand in for with a value
// it can: a dictionary, an array, a string, a number or null.
class JsonProxy {
public:
    virtual ~JsonProxy() = default;

    virtual fnd::Id proxyForJson() const = 0;

protected:
    JsonProxy() = default;
    JsonProxy(const JsonProxy&) = default;
    JsonProxy& operator=(const JsonProxy&) = default;
};
