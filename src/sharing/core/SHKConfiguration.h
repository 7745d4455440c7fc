#pragma once

#include "platform/foundation/Object.h"
#include "sharing/core/DefaultSHKConfigurator.h"

#include <memory>
#include <string_view>

namespace ui {
class ViewController;
}

// The one configuration of the process: the configurator the application installs at launch
// answers every lookup from then on. Reading before the install, or installing twice, throws an
// "IllegalStateException".
//
// Code reads values through the configurator's operations, which the compiler checks:
//     SHKConfiguration::sharedInstance()->configurator().maxFavCount()
// Callers that hold a key as text use configurationValue("maxFavCount").
class SHKConfiguration {
public:
    static std::shared_ptr<SHKConfiguration> sharedInstanceWithConfigurator(std::shared_ptr<const DefaultSHKConfigurator>);
    static std::shared_ptr<SHKConfiguration> sharedInstance();
    // Forgets the installed configuration so that each test can install its own.
    static void resetForTesting();

    const DefaultSHKConfigurator& configurator() const { return *m_configurator; }

    // The value of the configurator's operation with that name, boxed (strings, numbers, arrays of
    // strings, SHKColorValue), or nil when there is no such operation. "barTintForView:" is asked
    // with the object; the other operations take none.
    fnd::Id configurationValueWithObject(std::string_view key, const std::shared_ptr<ui::ViewController>& object) const;
    fnd::Id configurationValue(std::string_view key) const { return configurationValueWithObject(key, nullptr); }

    explicit SHKConfiguration(std::shared_ptr<const DefaultSHKConfigurator>);

private:
    const std::shared_ptr<const DefaultSHKConfigurator> m_configurator;
};
