#pragma once

#include "sharing/core/SHKConfigurationKeys.h"

#include <memory>

namespace ui {
class ViewController;
}

// The sharing framework's defaults, one operation per configuration key. An application derives
// its own configurator, overrides the keys it wants and installs it in SHKConfiguration.
//
// "usePlaceholders" is tested for presence by the forms: any value, NO included, turns placeholders
// on, and only nothing turns them off.
class DefaultSHKConfigurator {
public:
    DefaultSHKConfigurator() = default;
    virtual ~DefaultSHKConfigurator();

#define SHK_DECLARE_KEY(Type, name) virtual Type name() const;
#define SHK_DECLARE_KEY_FOR_VIEW(Type, name) virtual Type name(const std::shared_ptr<ui::ViewController>&) const;
    SHK_FOR_EACH_CONFIGURATION_KEY(SHK_DECLARE_KEY, SHK_DECLARE_KEY_FOR_VIEW)
#undef SHK_DECLARE_KEY
#undef SHK_DECLARE_KEY_FOR_VIEW
};
