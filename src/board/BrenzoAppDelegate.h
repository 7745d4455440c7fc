#pragma once

#include "board/KPhoneNumber.h"
#include "platform/foundation/Published.h"
#include "platform/runtime/Hook.h"
#include "platform/ui/ApplicationDelegate.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class BrenzoViewController;

namespace ab {
class AddressBook;
}

// The application's delegate: brings up the window and the board, starts the rating prompt and
// loads every phone number of the address book on a thread of its own. Lives for the whole process
// and is reachable through BrenzoAppDelegate::delegate().
class BrenzoAppDelegate : public ui::ApplicationDelegate, public std::enable_shared_from_this<BrenzoAppDelegate> {
public:
    using ContactList = std::vector<fnd::Ref<KPhoneNumber>>;

    static constexpr std::string_view registeredName = "BrenzoAppDelegate";

    static std::shared_ptr<BrenzoAppDelegate> create();
    // Makes the class known by name, so the application can create its delegate.
    static void registerClass();
    // The shared application's delegate, when it is this class.
    static std::shared_ptr<BrenzoAppDelegate> delegate();

    BrenzoAppDelegate();
    ~BrenzoAppDelegate() override;

    void applicationDidFinishLaunching(ui::Application&) override;
    bool applicationHandleOpenURL(ui::Application&, const fnd::URL&) override;
    bool applicationOpenURLSourceApplicationAnnotation(ui::Application&, const fnd::URL&, std::string_view sourceApplication,
        const fnd::Id& annotation) override;
    std::shared_ptr<ui::Window> window() const override { return m_mainWindow; }

    // Hands the return of a Facebook login on; answers yes for every other URL.
    bool handleOpenURL(const fnd::URL&);

    // The contact loader: reads the address book once and publishes every phone number. Always
    // publishes, an empty list when the address book cannot be opened, so nobody waits for ever.
    void loadAllContact();
    // "_$!<Mobile>!$_" -> "mobile"; the iPhone label stays as it is, other labels are lower-cased.
    static std::optional<std::string> _formatLabel(std::optional<std::string_view> label);
    // Called on the loader's thread between copying the people and reading each of them again:
    // tests hold the loader here or change the address book under it.
    static rt::Hook<ab::AddressBook&>& peopleCopiedHook();

    const std::shared_ptr<BrenzoViewController>& viewController() const { return m_viewController; }
    void setViewController(std::shared_ptr<BrenzoViewController> controller) { m_viewController = std::move(controller); }
    // Any thread: nothing until the loader has published; then the whole, immutable list.
    std::shared_ptr<const ContactList> allContact() const { return m_allContact.load(); }
    // The list, waiting at most `seconds` for the loader to publish it.
    std::shared_ptr<const ContactList> waitForAllContact(double seconds) const { return m_allContact.waitFor(std::chrono::duration<double>(seconds)); }
    void setAllContact(std::shared_ptr<const ContactList> list) { m_allContact.publish(std::move(list)); }
    // The address book the loader opened and keeps open; its people are the records' contacts.
    std::shared_ptr<ab::AddressBook> addressBook() const { return m_addressBook.load(); }

private:
    std::shared_ptr<BrenzoViewController> m_viewController;
    std::shared_ptr<ui::Window> m_mainWindow;
    fnd::Published<ab::AddressBook> m_addressBook;
    fnd::Published<const ContactList> m_allContact;
};
