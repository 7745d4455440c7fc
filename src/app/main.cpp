#include "TerminalCommands.h"
#include "board/BrenzoAppDelegate.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/foundation/Bundle.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/twitter/TweetComposeViewController.h"
#include "platform/ui/ApplicationMain.h"
#include "platform/ui/LaunchOptions.h"
#include "services/ServiceEndpoints.h"

namespace {

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
    // The delegate is made once the command line has been read, so the contacts are known by then.
    rt::ClassRegistry::shared().registerClass<ui::ApplicationDelegate>(std::string(BrenzoAppDelegate::registeredName), [] {
        useLaunchContacts();
        return BrenzoAppDelegate::create();
    });
    addTerminalCommands();
    return ui::ApplicationMain(argc, argv, BrenzoAppDelegate::registeredName, prepareLaunch);
}
