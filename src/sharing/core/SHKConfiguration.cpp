#include "sharing/core/SHKConfiguration.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"
#include "sharing/core/SHKColorValue.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace {

std::mutex& installLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<SHKConfiguration>& installedConfiguration()
{
    static std::shared_ptr<SHKConfiguration> configuration;
    return configuration;
}

fnd::Id boxed(const std::string& text)
{
    return fnd::String::create(text);
}

fnd::Id boxed(bool value)
{
    return fnd::Number::withBool(value);
}

fnd::Id boxed(int64_t value)
{
    return fnd::Number::withInteger(value);
}

fnd::Id boxed(const std::vector<std::string>& texts)
{
    std::vector<fnd::Id> objects;
    for (auto& text : texts)
        objects.push_back(fnd::String::create(text));
    return fnd::Array::create(std::move(objects));
}

fnd::Id boxed(const std::optional<gfx::Color>& color)
{
    return color ? std::make_shared<SHKColorValue>(*color) : nullptr;
}

fnd::Id boxed(const std::optional<bool>& value)
{
    return value ? boxed(*value) : nullptr;
}

using ViewControllerRef = std::shared_ptr<ui::ViewController>;

struct KeyOperation {
    std::string_view name;
    fnd::Id (*read)(const DefaultSHKConfigurator&, const ViewControllerRef&);
};

// Calls go through the virtual operations, so a subclass's override answers.
#define SHK_KEY_OPERATION(Type, name) \
    { #name, [](const DefaultSHKConfigurator& configurator, const ViewControllerRef&) { return boxed(configurator.name()); } },
#define SHK_KEY_OPERATION_FOR_VIEW(Type, name) \
    { #name ":", [](const DefaultSHKConfigurator& configurator, const ViewControllerRef& view) { return boxed(configurator.name(view)); } },

constexpr KeyOperation keyOperations[] = {
    SHK_FOR_EACH_CONFIGURATION_KEY(SHK_KEY_OPERATION, SHK_KEY_OPERATION_FOR_VIEW)
};

#undef SHK_KEY_OPERATION
#undef SHK_KEY_OPERATION_FOR_VIEW

const KeyOperation* operationNamed(std::string_view name)
{
    auto found = std::find_if(std::begin(keyOperations), std::end(keyOperations), [&](auto& operation) {
        return operation.name == name;
    });
    return found == std::end(keyOperations) ? nullptr : found;
}

}

SHKConfiguration::SHKConfiguration(std::shared_ptr<const DefaultSHKConfigurator> configurator)
    : m_configurator(std::move(configurator))
{
}

std::shared_ptr<SHKConfiguration> SHKConfiguration::sharedInstanceWithConfigurator(std::shared_ptr<const DefaultSHKConfigurator> configurator)
{
    if (!configurator)
        throw fnd::Exception("NSInvalidArgumentException", "SHKConfiguration needs a configurator.");
    std::lock_guard guard(installLock());
    auto& installed = installedConfiguration();
    if (installed)
        throw fnd::Exception("IllegalStateException", "SHKConfiguration has already been configured with a delegate.");
    installed = std::make_shared<SHKConfiguration>(std::move(configurator));
    return installed;
}

std::shared_ptr<SHKConfiguration> SHKConfiguration::sharedInstance()
{
    std::lock_guard guard(installLock());
    auto& installed = installedConfiguration();
    if (!installed) {
        throw fnd::Exception("IllegalStateException",
            "SHKConfiguration has not been configured yet: install an instance of your subclass of DefaultSHKConfigurator "
            "with SHKConfiguration::sharedInstanceWithConfigurator() before using the sharing framework.");
    }
    return installed;
}

void SHKConfiguration::resetForTesting()
{
    std::lock_guard guard(installLock());
    installedConfiguration().reset();
}

fnd::Id SHKConfiguration::configurationValueWithObject(std::string_view key, const std::shared_ptr<ui::ViewController>& object) const
{
    auto* operation = operationNamed(key);
    return operation ? operation->read(*m_configurator, object) : nullptr;
}
