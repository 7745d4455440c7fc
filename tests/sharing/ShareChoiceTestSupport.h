#pragma once

#include "platform/runtime/ClassRegistry.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKSharer.h"
#include "sharing/core/SHKSharerDelegate.h"
#include "sharing/ui/SHKShareItemDelegate.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brenzo::testing {

// The application's configuration with the switches the sharing screens read set by the test.
class SwitchableConfigurator : public MySHKConfigurator {
public:
    bool showsMoreButton = true;
    bool alphabeticalMenu = false;
    bool signature = false;

    bool showActionSheetMoreButton() const override { return showsMoreButton; }
    int64_t shareMenuAlphabeticalOrder() const override { return alphabeticalMenu; }
    int64_t sharedWithSignature() const override { return signature; }
};

// A share started by a recording sharer: its class and the item it had.
struct StartedShare {
    std::string sharerClass;
    fnd::Ref<SHKItem> item;
};

std::vector<StartedShare>& startedShares();

// A sharer that writes its share down instead of sharing.
class RecordingSharer : public SHKSharer {
public:
    static bool canShareURL() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }

    void share() override { startedShares().push_back({ std::string(className()), item() }); }
};

class AlphaSharer : public RecordingSharer {
public:
    static constexpr std::string_view sharerClassName = "AlphaSharer";
    static std::string sharerTitle() { return "Alpha"; }
};

class BravoSharer : public RecordingSharer {
public:
    static constexpr std::string_view sharerClassName = "BravoSharer";
    static std::string sharerTitle() { return "Bravo"; }
};

// A sharer that cannot work on this device.
class UnusableSharer : public RecordingSharer {
public:
    static constexpr std::string_view sharerClassName = "UnusableSharer";
    static std::string sharerTitle() { return "Unusable"; }
    static bool canShare() { return false; }
};

// Registers the sharer class for as long as it lives.
template<typename Sharer>
class ScopedSharerClass {
public:
    ScopedSharerClass() { SHKSharerClass::registerSharer<Sharer>(); }
    ~ScopedSharerClass() { rt::ClassRegistry::shared().unregisterClass(Sharer::sharerClassName); }
    ScopedSharerClass(const ScopedSharerClass&) = delete;
    ScopedSharerClass& operator=(const ScopedSharerClass&) = delete;
};

// A gate that answers as told and remembers what it was asked.
class RecordingGate : public SHKShareItemDelegate {
public:
    explicit RecordingGate(bool answer)
        : m_answer(answer)
    {
    }

    bool aboutToShareItemWithSharer(SHKItem& item, SHKSharer& sharer) override
    {
        askedItem = &item;
        askedSharer = std::string(sharer.className());
        return m_answer;
    }

    SHKItem* askedItem = nullptr;
    std::string askedSharer;

private:
    bool m_answer;
};

// The default behaviour, with each report written down together with whether the sharing helper
// was already taking its screen away.
class ReportRecorder : public SHKSharerDelegate {
public:
    void sharerFinishedSending(SHKSharer&) override { record("finished"); }
    void sharerCancelledSending(SHKSharer&) override { record("cancelled"); }
    void sharerFailedWithErrorShouldRelogin(SHKSharer&, const fnd::Ref<fnd::Error>& error, bool) override
    {
        record(error ? "failed: " + error->localizedDescription() : "failed");
    }

    std::vector<std::string> reports;
    std::vector<bool> hidingWhenReported;

private:
    void record(std::string report)
    {
        reports.push_back(std::move(report));
        hidingWhenReported.push_back(SHK::currentHelper().isDismissingView());
    }
};

}
