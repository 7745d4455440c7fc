#pragma once

#include "platform/foundation/Error.h"
#include "sharing/core/SHKSharer.h"

#include <string>
#include <string_view>

// Prints the item's picture through the platform's print dialog (a popover on a tablet). The sharer
// lives, held by the dialog's completion, until the dialog ends.
class SHKPrint : public SHKSharer {
public:
    static constexpr std::string_view sharerClassName = "SHKPrint";

    static std::string sharerTitle();
    static bool canShareImage() { return true; }
    static bool shareRequiresInternetConnection() { return false; }
    static bool requiresAuthentication() { return false; }
    // Whether the device can print.
    static bool canShare();

    bool shouldAutoShare() override { return false; }
    bool send() override;
    // Shows the print dialog for the picture; answers false when it cannot be shown.
    bool print();

private:
    // The dialog's end: printed reports finished, anything else (a cancel included) a failure.
    void printDidComplete(bool completed, const fnd::Ref<fnd::Error>&);
};
