#include "TerminalCommands.h"
#include "board/BrenzoAppDelegate.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/CairoTextMeasurer.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/twitter/TweetComposeViewController.h"
#include "platform/ui/ApplicationMain.h"
#include "platform/ui/LaunchOptions.h"
#include "services/ServiceEndpoints.h"
#include "sharing/core/SHK.h"

namespace {

// How long exit waits for the application's worker threads (contact loader, launch count,
// defaults writer) before it lets the process end under them.
constexpr double workerExitWaitSeconds = 20;

// A save killed between writing its temporary file and renaming it leaves that file behind.
void removeLeftoverTemporaryFiles()
{
    size_t removed = 0;
    for (auto& folder : { fnd::FileManager::documentsDirectory(), fnd::FileManager::preferencesDirectory(), SHK::offlineQueuePath() })
        removed += fnd::FileManager::removeTemporaryFiles(folder);
    if (removed)
        fnd::Log::format("removed %zu temporary files left by an interrupted save", removed);
}

// The device's contacts: the file given with --contacts, else the bundled sample.
void useLaunchContacts()
{
    if (auto& contacts = ui::LaunchOptions::current().contacts) {
        ab::AddressBook::useContactsFile(*contacts);
        return;
    }
    if (auto sample = fnd::Bundle::main()->pathForResource("contacts", "vcf"))
        ab::AddressBook::useContactsFile(*sample);
    else
        ab::AddressBook::useEmptyBook();
}

// --services points web services elsewhere (a test's peer on 127.0.0.1); all lines or none apply.
std::optional<std::string> useLaunchServiceEndpoints(const ui::LaunchOptions& options)
{
    if (!options.services)
        return std::nullopt;
    return ServiceEndpoints::shared().applyFile(*options.services);
}

std::optional<std::string> prepareLaunch(const ui::LaunchOptions& options)
{
    tw::TweetComposeViewController::setAvailable(options.tweetSheet);
    return useLaunchServiceEndpoints(options);
}

}

int main(int argc, char** argv)
{
    gfx::CairoTextMeasurer::prepareFontsInBackground();
    // The delegate is made once the command line has been read, so the contacts are known by then.
    rt::ClassRegistry::shared().registerClass<ui::ApplicationDelegate>(std::string(BrenzoAppDelegate::registeredName), [] {
        removeLeftoverTemporaryFiles();
        useLaunchContacts();
        return BrenzoAppDelegate::create();
    });
    addTerminalCommands();
    int status = ui::ApplicationMain(argc, argv, BrenzoAppDelegate::registeredName, prepareLaunch);
    // Workers still counting a launch or writing the defaults would otherwise run into the
    // destruction of the statics they use, and their changes would be lost.
    if (!fnd::Thread::waitForDetachedThreads(workerExitWaitSeconds))
        fnd::Log::format("exit: %zu worker threads still running", fnd::Thread::runningDetachedThreadCount());
    return status;
}
