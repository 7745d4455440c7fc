#include "sharing/core/SHKSharerMetaclass.h"

#include "platform/runtime/ClassRegistry.h"

SHKSharerMetaclass::~SHKSharerMetaclass() = default;

std::shared_ptr<const SHKSharerMetaclass> SHKSharerMetaclass::named(std::string_view className)
{
    auto found = rt::ClassRegistry::shared().classNamed(className);
    return found ? found->metaclass<SHKSharerMetaclass>() : nullptr;
}
