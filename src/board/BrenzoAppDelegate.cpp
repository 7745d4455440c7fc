#include "board/BrenzoAppDelegate.h"

#include "board/BrenzoViewController.h"
#include "board/FacebookLoginHandoff.h"
#include "board/RatingPrompt.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/addressbook/PhoneLabel.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/String.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/Unicode.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "services/SHKRegisterServices.h"
#include "services/ServiceEndpoints.h"
#include "services/facebook/SHKFacebook.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/sharers/SHKRegisterSharers.h"

#include <algorithm>

namespace {

constexpr std::string_view standardLabelPrefix = "_$!<";
constexpr size_t standardLabelWrapping = 4;

std::optional<std::string> text(const fnd::Ref<fnd::String>& string)
{
    if (!string)
        return std::nullopt;
    return string->utf8();
}

}

std::shared_ptr<BrenzoAppDelegate> BrenzoAppDelegate::create()
{
    return std::make_shared<BrenzoAppDelegate>();
}

void BrenzoAppDelegate::registerClass()
{
    rt::ClassRegistry::shared().registerClass<ui::ApplicationDelegate>(std::string(registeredName), [] { return create(); });
}

std::shared_ptr<BrenzoAppDelegate> BrenzoAppDelegate::delegate()
{
    return std::dynamic_pointer_cast<BrenzoAppDelegate>(ui::Application::shared().delegate());
}

BrenzoAppDelegate::BrenzoAppDelegate() = default;
BrenzoAppDelegate::~BrenzoAppDelegate() = default;

rt::Hook<ab::AddressBook&>& BrenzoAppDelegate::peopleCopiedHook()
{
    static rt::Hook<ab::AddressBook&> hook("BrenzoAppDelegate.peopleCopied");
    return hook;
}

void BrenzoAppDelegate::applicationDidFinishLaunching(ui::Application&)
{
    fnd::Thread::detach("contact loader", [self = shared_from_this()] { self->loadAllContact(); });

    RatingPrompt::appLaunched();

    m_mainWindow = ui::Window::create(ui::Screen::mainScreen().bounds());
    m_mainWindow->setBackgroundColor(gfx::Color::white());

    auto& endpoints = ServiceEndpoints::shared();
    MySHKConfigurator::EvernoteStores evernoteStores { endpoints.url("evernote.userStore"), endpoints.url("evernote.noteStore") + "/" };
    SHKConfiguration::sharedInstanceWithConfigurator(std::make_shared<MySHKConfigurator>(std::move(evernoteStores)));
    SHKRegisterSharers();
    SHKRegisterServices();
    FacebookLoginHandoff::setHandler(&SHKFacebook::handleOpenURL);

    m_viewController = BrenzoViewController::create();
    m_mainWindow->addSubview(m_viewController->view());
    m_mainWindow->makeKeyAndVisible();
}

bool BrenzoAppDelegate::applicationHandleOpenURL(ui::Application&, const fnd::URL& url)
{
    return handleOpenURL(url);
}

bool BrenzoAppDelegate::applicationOpenURLSourceApplicationAnnotation(ui::Application&, const fnd::URL& url, std::string_view, const fnd::Id&)
{
    return handleOpenURL(url);
}

bool BrenzoAppDelegate::handleOpenURL(const fnd::URL& url)
{
    auto appId = SHKConfiguration::sharedInstance()->configurationValue("facebookAppId");
    auto prefix = fnd::format("fb%@", appId);
    if (url.scheme().starts_with(fnd::unicode::lowercased(prefix)))
        return FacebookLoginHandoff::handleOpenURL(url);
    return true;
}

std::optional<std::string> BrenzoAppDelegate::_formatLabel(std::optional<std::string_view> label)
{
    if (!label)
        return std::nullopt;
    std::string result(*label);
    size_t length = fnd::unicode::utf16Length(result);
    if (length > 9 && result.starts_with(standardLabelPrefix))
        result = fnd::unicode::utf16Substring(result, standardLabelWrapping, length - 2 * standardLabelWrapping);
    if (result == ab::PhoneLabel::iPhone)
        return result;
    return fnd::unicode::lowercased(result);
}

void BrenzoAppDelegate::loadAllContact()
{
    m_allContact.clear();
    ContactList list;

    fnd::Ref<fnd::Error> error;
    auto book = ab::AddressBook::open(&error);
    if (!book) {
        fnd::Log::format("address book not opened: %@", error ? fnd::FormatArgument(error->localizedDescription()) : fnd::FormatArgument());
        // An empty list, still published: the picker waits for a list, not for an address book.
        m_allContact.publish(std::make_shared<const ContactList>());
        return;
    }
    m_addressBook.publish(book);

    auto people = book->copyAllPeople();
    auto ordering = ab::AddressBook::sortOrdering();
    std::stable_sort(people.begin(), people.end(), [ordering](auto& first, auto& second) { return ab::Person::compareByName(*first, *second, ordering) < 0; });
    peopleCopiedHook().call(*book);

    for (auto& copied : people) {
        auto person = book->personWithRecordId(copied->recordId());
        // Removed since the copy: nothing left to read.
        if (!person)
            continue;
        try {
            auto numbers = person->phoneNumbers();
            for (size_t index = 0; numbers && index < numbers->count(); ++index) {
                auto record = KPhoneNumber::create();
                record->setContact(person);
                record->setFirstName(text(person->firstName()));
                record->setLastName(text(person->lastName()));
                record->setOrganization(text(person->organization()));
                auto label = numbers->labelAtIndex(index);
                record->setType(_formatLabel(label ? std::optional<std::string_view>(label->view()) : std::nullopt));
                record->setPhone(text(numbers->valueAtIndex(index)));
                record->setPosition(int32_t(index));
                list.push_back(std::move(record));
            }
        } catch (const std::exception&) {
            fnd::Log::write("exception !");
        }
    }
    m_allContact.publish(std::make_shared<const ContactList>(std::move(list)));
}
