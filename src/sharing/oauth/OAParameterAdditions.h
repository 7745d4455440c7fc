#pragma once

#include "platform/foundation/URLRequest.h"
#include "sharing/oauth/OARequestParameter.h"

#include <memory>
#include <optional>
#include <vector>

using OARequestParameters = std::vector<std::shared_ptr<OARequestParameter>>;

// The request's parameters: for "GET" and "DELETE" those of the query, for any other method those
// of the form body. Names and values are percent-decoded ("+" stays a "+"); a piece without "="
// is a name with an empty value. Nothing when the query or body is missing or empty.
std::optional<OARequestParameters> OARequestParametersOf(const fnd::URLRequest&);

// Puts the encoded pairs, joined with "&" in the given order, into the query of a "GET" or
// "DELETE" request (replacing the query; no parameters leave a trailing "?"), or else into a form
// body with its "Content-Type" and "Content-Length".
void OASetRequestParameters(fnd::URLRequest&, const OARequestParameters&);
