#include "platform/ui/PressFinder.h"

#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalPanelRegistry.h"
#include "platform/ui/TouchDriver.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

namespace {

void collect(View& view, PressTargets& targets)
{
    if (view.isHidden() || view.alpha() < 0.01 || !view.isUserInteractionEnabled())
        return;
    auto subviews = view.subviews();
    for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview)
        collect(**subview, targets);
    size_t first = targets.size();
    view.collectPressTargets(targets);
    auto owner = view.weak_from_this();
    for (size_t index = first; index < targets.size(); ++index)
        targets[index].view = std::dynamic_pointer_cast<View>(owner.lock());
}

// Whether a finger on the middle of the target's view would land on something else laid over it.
bool isCovered(const PressTarget& target)
{
    auto view = target.view.lock();
    if (!view || !view->window())
        return false;
    auto bounds = view->bounds();
    auto centre = view->convertPointToScreen({ bounds.midX(), bounds.midY() });
    auto hit = TouchDriver().hitView(centre);
    return hit && hit != view && !hit->isDescendantOfView(view.get()) && !view->isDescendantOfView(hit.get());
}

bool isShown(const View& view)
{
    return !view.isHidden() && view.alpha() >= 0.01;
}

void collectTexts(const View& view, std::vector<std::string>& texts)
{
    if (!isShown(view))
        return;
    if (auto* label = dynamic_cast<const Label*>(&view); label && !label->text().empty())
        texts.push_back(label->text());
    std::string joined;
    int labelCount = 0;
    for (auto& subview : view.subviews()) {
        auto* label = dynamic_cast<const Label*>(subview.get());
        if (label && isShown(*label) && !label->text().empty()) {
            joined += label->text();
            ++labelCount;
        }
    }
    if (labelCount > 1)
        texts.push_back(std::move(joined));
    for (auto& subview : view.subviews())
        collectTexts(*subview, texts);
}

void sortByKind(PressTargets& targets)
{
    std::stable_sort(targets.begin(), targets.end(), [](auto& a, auto& b) { return a.kind < b.kind; });
}

}

PressTargets PressFinder::targetsInTree(View& view)
{
    PressTargets targets;
    collect(view, targets);
    return targets;
}

std::vector<PressTargets> PressFinder::targetsOnScreen()
{
    auto& application = Application::shared();
    application.layoutIfNeeded();
    std::vector<PressTargets> screens;
    auto addScreen = [&](View& root) {
        auto targets = targetsInTree(root);
        sortByKind(targets);
        if (!targets.empty())
            screens.push_back(std::move(targets));
    };

    auto panels = ModalPanelRegistry::shared().panels();
    if (!panels.empty()) {
        for (auto panel = panels.rbegin(); panel != panels.rend(); ++panel)
            addScreen(**panel);
        return screens;
    }

    auto windows = application.windowsInDrawingOrder();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (!(*window)->isUserInteractionEnabled())
            continue;
        auto subviews = (*window)->subviews();
        for (auto subview = subviews.rbegin(); subview != subviews.rend(); ++subview)
            addScreen(**subview);
        PressTargets own;
        (*window)->collectPressTargets(own);
        if (!own.empty())
            screens.push_back(std::move(own));
    }
    return screens;
}

std::vector<std::string> PressFinder::textsShownIn(const View& view)
{
    std::vector<std::string> texts;
    collectTexts(view, texts);
    return texts;
}

std::vector<PressTarget> PressFinder::find(std::string_view text)
{
    auto screens = targetsOnScreen();
    for (bool ignoringCase : { false, true }) {
        for (auto& screen : screens) {
            std::vector<PressTarget> matches;
            std::copy_if(screen.begin(), screen.end(), std::back_inserter(matches), [&](auto& target) { return target.matches(text, ignoringCase); });
            if (matches.size() > 1) {
                std::vector<PressTarget> inSight;
                std::copy_if(matches.begin(), matches.end(), std::back_inserter(inSight), [](auto& target) { return !isCovered(target); });
                if (!inSight.empty())
                    matches = std::move(inSight);
            }
            if (!matches.empty())
                return matches;
        }
    }
    return {};
}

PressFinder::Result PressFinder::press(std::string_view text)
{
    auto targets = find(text);
    if (targets.empty())
        return { Result::Status::NotFound, {} };
    if (targets.size() > 1) {
        std::string names;
        for (auto& target : targets)
            names += (names.empty() ? "" : ", ") + target.description;
        return { Result::Status::Ambiguous, names };
    }
    auto& target = targets.front();
    if (!target.enabled)
        return { Result::Status::Disabled, target.description };
    if (target.press)
        target.press();
    return { Result::Status::Pressed, target.description };
}

}
