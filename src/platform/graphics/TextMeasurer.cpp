#include "platform/graphics/TextMeasurer.h"

#include "platform/graphics/CairoTextMeasurer.h"

#include <mutex>

namespace gfx {

namespace {

std::mutex& currentMeasurerLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<const TextMeasurer>& installedMeasurer()
{
    static std::shared_ptr<const TextMeasurer> measurer;
    return measurer;
}

std::shared_ptr<const TextMeasurer> defaultMeasurer()
{
    static const auto measurer = std::make_shared<const CairoTextMeasurer>();
    return measurer;
}

}

std::shared_ptr<const TextMeasurer> TextMeasurer::current()
{
    std::lock_guard guard(currentMeasurerLock());
    if (!installedMeasurer())
        installedMeasurer() = defaultMeasurer();
    return installedMeasurer();
}

std::shared_ptr<const TextMeasurer> TextMeasurer::setCurrent(std::shared_ptr<const TextMeasurer> measurer)
{
    std::lock_guard guard(currentMeasurerLock());
    auto previous = std::move(installedMeasurer());
    installedMeasurer() = measurer ? std::move(measurer) : defaultMeasurer();
    return previous;
}

}
