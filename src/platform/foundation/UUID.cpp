#include "platform/foundation/UUID.h"

#include <uuid/uuid.h>

namespace fnd {

UUID UUID::create()
{
    UUID identifier;
    uuid_generate_random(identifier.m_bytes.data());
    return identifier;
}

std::string UUID::createString()
{
    return create().string();
}

std::string UUID::string() const
{
    char text[37];
    uuid_unparse_upper(m_bytes.data(), text);
    return std::string(text, 36);
}

}
