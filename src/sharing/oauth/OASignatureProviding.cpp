#include "sharing/oauth/OASignatureProviding.h"

OASignatureProviding::~OASignatureProviding() = default;
