#include "platform/ui/Animator.h"

#include "platform/foundation/RunLoop.h"

namespace ui {

namespace {

constexpr size_t historyLimit = 1000;

}

Animator& Animator::shared()
{
    static Animator animator;
    return animator;
}

void Animator::begin(std::string name, const void* context)
{
    OpenAnimation animation;
    animation.record.name = std::move(name);
    animation.context = context;
    m_open.push_back(std::move(animation));
}

void Animator::setDuration(double seconds)
{
    if (!m_open.empty())
        m_open.back().record.duration = seconds;
}

void Animator::setDelay(double seconds)
{
    if (!m_open.empty())
        m_open.back().record.delay = seconds;
}

void Animator::setCurve(int curve)
{
    if (!m_open.empty())
        m_open.back().record.curve = curve;
}

void Animator::setBeginsFromCurrentState(bool fromCurrentState)
{
    if (!m_open.empty())
        m_open.back().record.beginsFromCurrentState = fromCurrentState;
}

void Animator::setDidStop(std::function<void()> handler)
{
    if (!m_open.empty())
        m_open.back().didStop = std::move(handler);
}

void Animator::commit()
{
    if (m_open.empty())
        return;
    auto animation = std::move(m_open.back());
    m_open.pop_back();
    record(animation.record);
    if (animation.didStop)
        fnd::RunLoop::main().post(std::move(animation.didStop));
}

void Animator::animate(double seconds, double delay, std::function<void()> animations, std::function<void(bool)> completion)
{
    AnimationRecord record;
    record.duration = seconds;
    record.delay = delay;
    record.isBlock = true;
    if (animations)
        animations();
    this->record(std::move(record));
    if (completion)
        fnd::RunLoop::main().post([completion = std::move(completion)] { completion(true); });
}

void Animator::record(AnimationRecord record)
{
    m_history.push_back(std::move(record));
    while (m_history.size() > historyLimit)
        m_history.pop_front();
}

std::vector<AnimationRecord> Animator::historyNamed(std::string_view name) const
{
    std::vector<AnimationRecord> result;
    for (auto& record : m_history) {
        if (record.name == name)
            result.push_back(record);
    }
    return result;
}

}
