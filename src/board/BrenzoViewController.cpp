#include "board/BrenzoViewController.h"

#include "board/BoardFile.h"
#include "board/BoardScreens.h"
#include "board/BrenzoLinks.h"
#include "board/KPhoneNumber.h"
#include "board/RatingPrompt.h"
#include "board/TouchImageView.h"
#include "platform/addressbook/AddressBook.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/String.h"
#include "platform/runtime/OperationTable.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/BundleImages.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/messaging/MailComposeViewController.h"
#include "platform/ui/Toolbar.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKItem.h"
#include "sharing/ui/SHKActionSheet.h"
#include "xml/DDXMLAttributeNode.h"
#include "xml/DDXMLDocument.h"

#include <algorithm>
#include <mutex>

namespace {

std::string withoutBlanks(std::string_view text)
{
    std::string result(text);
    std::erase(result, ' ');
    return result;
}

// The one person whose name is the picture's title and who has the number the picture calls.
fnd::Ref<ab::Person> personCalledByPicture(const ab::AddressBook& book, const TouchImageView& picture)
{
    auto parameters = picture.parameters().value_or("");
    constexpr std::string_view telPrefix = "tel:";
    if (!picture.title() || picture.title()->empty() || !parameters.starts_with(telPrefix))
        return nullptr;
    auto number = parameters.substr(telPrefix.size());
    fnd::Ref<ab::Person> found;
    for (auto& person : book.copyAllPeople()) {
        auto record = KPhoneNumber::create();
        record->setFirstName(person->firstName() ? std::optional(person->firstName()->utf8()) : std::nullopt);
        record->setLastName(person->lastName() ? std::optional(person->lastName()->utf8()) : std::nullopt);
        record->setOrganization(person->organization() ? std::optional(person->organization()->utf8()) : std::nullopt);
        if (record->compositeName() != *picture.title())
            continue;
        std::shared_ptr<const ab::MultiValue> numbers;
        try {
            numbers = person->phoneNumbers();
        } catch (const std::exception&) {
            continue;
        }
        for (size_t index = 0; numbers && index < numbers->count(); ++index) {
            auto value = numbers->valueAtIndex(index);
            if (!value || withoutBlanks(value->utf8()) != number)
                continue;
            if (found && found != person)
                return nullptr;
            found = person;
        }
    }
    return found;
}

fnd::Ref<DDXMLNode> attribute(std::string_view name, std::string_view value)
{
    return DDXMLNode::attributeWithNameStringValue(name, BoardFile::xmlSafeText(value));
}

fnd::Ref<DDXMLNode> textElement(std::string_view name, const std::optional<std::string>& text)
{
    if (!text)
        return DDXMLNode::elementWithNameStringValue(name, std::nullopt);
    return DDXMLNode::elementWithNameStringValue(name, BoardFile::xmlSafeText(*text));
}

}

std::shared_ptr<BrenzoViewController> BrenzoViewController::create()
{
    return std::make_shared<BrenzoViewController>();
}

BrenzoViewController::BrenzoViewController()
{
    static std::once_flag registered;
    std::call_once(registered, registerOperations);
}

// What can be sent to the board by name (the terminal's `send`), tool bar or not.
void BrenzoViewController::registerOperations()
{
    auto& table = rt::OperationTable::shared();
    auto add = [&](std::string name, void (BrenzoViewController::*method)(const fnd::Id&)) {
        table.add<BrenzoViewController>("BrenzoViewController", std::move(name), method);
    };
    add("editAction:", &BrenzoViewController::editAction);
    add("cancelAction:", &BrenzoViewController::cancelAction);
    add("deleteAction:", &BrenzoViewController::deleteAction);
    add("addContactButtonAction:", &BrenzoViewController::addContactButtonAction);
    add("addImageButtonAction:", &BrenzoViewController::addImageButtonAction);
    add("rateAction:", &BrenzoViewController::rateAction);
    add("mailAction:", &BrenzoViewController::mailAction);
    add("wifiAction:", &BrenzoViewController::wifiAction);
    add("saveXML:", &BrenzoViewController::saveXML);
}
BrenzoViewController::~BrenzoViewController() = default;

void BrenzoViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    view()->setBackgroundColor(gfx::Color::white());
    loadBoard();
    buildEditToolBar();
    buildMainToolBar();
    setEditMode(false);
    setSelectedTouchImage(nullptr);
    saveXML();
}

// The board.

void BrenzoViewController::loadBoard()
{
    if (!readBoardFile())
        buildDefaultBoard();
}

bool BrenzoViewController::readBoardFile()
{
    auto text = BoardFile::read();
    if (!text)
        return false;
    auto document = DDXMLDocument::createWithXMLStringOptionsError(*text, 0, nullptr);
    auto root = document ? document->rootElement() : nullptr;
    // Another program's XML (or a file cut short to a fragment) is no board either.
    if (!root || root->name() != "floor") {
        // Keep the user's board aside: the save at the end of the set-up would overwrite it.
        auto keptAs = BoardFile::setAsideUnreadableFile();
        fnd::Log::format("unreadable board file kept as %@", keptAs ? fnd::FormatArgument(*keptAs) : fnd::FormatArgument());
        return false;
    }

    fnd::Ref<fnd::Error> error;
    m_readingAddressBook = ab::AddressBook::open(&error);
    m_readingAddressBookOpened = true;
    if (!m_readingAddressBook)
        fnd::Log::format("contacts not checked, every contact picture kept: %@", error ? fnd::FormatArgument(error->localizedDescription()) : fnd::FormatArgument());

    auto background = touchImageViewFromXml(root);
    if (!background) {
        fnd::Log::format("board background %@ missing, using %@", BoardFile::childText(*root, "background").value_or(""), defaultBackgroundImageName);
        background = makeBackground(std::string(defaultBackgroundImageName));
    }
    m_mainTouchImageView = background;
    background->setBoardController(sharedAs<BrenzoViewController>());

    for (auto& element : root->elementsForName("floor")) {
        auto picture = touchImageViewFromXml(element);
        if (!picture)
            continue;
        background->addChild(picture);
        picture->setParent(background);
        picture->setBoardController(sharedAs<BrenzoViewController>());
    }

    m_readingAddressBook = nullptr;
    m_readingAddressBookOpened = false;
    return true;
}

std::shared_ptr<TouchImageView> BrenzoViewController::makeBackground(const std::string& imageName)
{
    auto image = ui::BundleImages::imageNamed(imageName);
    auto size = image ? image->size() : view()->bounds().size;
    gfx::Rect frame { 0, 0, size.width, size.height };
    auto background = TouchImageView::create(frame);
    background->setImage(image);
    background->setType(std::string(TouchImageView::backgroundType));
    background->setImageName(imageName);
    background->setOrigSize(frame);
    background->setCenter(backgroundCenter);
    background->setBoardController(sharedAs<BrenzoViewController>());
    view()->addSubview(background);
    return background;
}

void BrenzoViewController::buildDefaultBoard()
{
    auto background = makeBackground(std::string(defaultBackgroundImageName));
    m_mainTouchImageView = background;

    for (int row = 0; row < placeholderRows; ++row) {
        for (int column = 0; column < placeholderColumns; ++column) {
            auto placeholder = TouchImageView::create();
            placeholder->setDefault();
            placeholder->setParent(background);
            placeholder->setBoardController(sharedAs<BrenzoViewController>());
            double height = placeholder->frame().height();
            placeholder->setCenter({ 55.0 + 105 * column, 3 + row * (height + 18) + height / 2 });
            view()->addSubview(placeholder);
            background->addChild(placeholder);
        }
    }
}

void BrenzoViewController::attachToBoard(const std::shared_ptr<TouchImageView>& picture)
{
    auto background = mainTouchImageView();
    picture->setParent(background);
    picture->setBoardController(sharedAs<BrenzoViewController>());
    view()->addSubview(picture);
    if (background)
        background->addChild(picture);
}

std::vector<std::shared_ptr<TouchImageView>> BrenzoViewController::boardPictures() const
{
    std::vector<std::shared_ptr<TouchImageView>> pictures;
    if (auto background = mainTouchImageView()) {
        pictures.push_back(background);
        pictures.insert(pictures.end(), background->children().begin(), background->children().end());
    }
    return pictures;
}

// The board file.

std::shared_ptr<TouchImageView> BrenzoViewController::touchImageViewFromXml(const fnd::Ref<DDXMLElement>& element)
{
    if (!element)
        return nullptr;
    auto imageName = BoardFile::childText(*element, "background");
    auto image = imageName ? BoardFile::loadPicture(*imageName) : nullptr;
    if (!image) {
        // A damaged picture file must not cost the contact its place: the picture keeps its entry
        // (and its file name, should the file be mended) and shows the placeholder meanwhile.
        if (!imageName || !BoardFile::isPictureFile(*imageName))
            return nullptr;
        fnd::Log::format("picture file %@ unreadable, shown as a placeholder", *imageName);
        image = ui::BundleImages::imageNamed(TouchImageView::placeholderImageName);
        if (!image)
            return nullptr;
    }

    auto size = element->elementForName("size");
    gfx::Rect frame { 0, 0, BoardFile::attributeNumber(size.get(), "width"), BoardFile::attributeNumber(size.get(), "height") };
    auto picture = TouchImageView::create(frame);
    picture->setImage(image);
    picture->setImageName(imageName);
    picture->setOrigSize(frame);

    picture->setParameters(BoardFile::childText(*element, "parameters"));
    picture->setType(BoardFile::childText(*element, "type"));
    picture->setTitle(BoardFile::childText(*element, "title"));
    picture->setId(fnd::String::create(BoardFile::childText(*element, "id").value_or(""))->intValue());

    auto badge = element->elementForName("badge");
    picture->setBadgeString(BoardFile::attributeText(badge.get(), "string"));
    picture->setBadgeColor(BoardFile::parseColor(BoardFile::attributeText(badge.get(), "color").value_or("")));

    auto center = element->elementForName("center");
    picture->setCenter({ BoardFile::attributeNumber(center.get(), "x"), BoardFile::attributeNumber(center.get(), "y") });

    auto transform = BoardFile::readTransform(*element);
    picture->setOriginalTransform(transform);
    picture->setTransform(transform);

    std::shared_ptr<ab::AddressBook> addressBook = m_readingAddressBook;
    if (!m_readingAddressBookOpened)
        addressBook = ab::AddressBook::open();
    // Without an address book nothing can be checked; resetting every contact would lose them.
    if (picture->id() != 0 && addressBook && !addressBook->personWithRecordId(picture->id())) {
        if (auto person = personCalledByPicture(*addressBook, *picture)) {
            // Boards written before record ids were stable name contacts by position in the file.
            fnd::Log::format("contact %@ found again under record id %d", picture->title().value_or(""), person->recordId());
            picture->setId(person->recordId());
        } else {
            fnd::Log::format("effacer %@", picture->title() ? fnd::FormatArgument(*picture->title()) : fnd::FormatArgument());
            picture->setDefault();
        }
    }

    view()->addSubview(picture);
    return picture;
}

fnd::Ref<DDXMLElement> BrenzoViewController::xmlFromTouchImageView(const TouchImageView& picture) const
{
    auto floor = DDXMLNode::elementWithName("floor");
    floor->addChild(textElement("background", picture.imageName()));
    floor->addChild(textElement("type", picture.type()));
    floor->addChild(textElement("parameters", picture.parameters()));
    floor->addChild(textElement("title", picture.title()));
    floor->addChild(DDXMLNode::elementWithNameStringValue("id", fnd::format("%d", picture.id())));

    auto center = picture.center();
    floor->addChild(DDXMLNode::elementWithNameChildrenAttributes(
        "center", {}, { attribute("x", BoardFile::formatNumber(center.x)), attribute("y", BoardFile::formatNumber(center.y)) }));

    auto badge = DDXMLNode::elementWithName("badge");
    badge->addAttribute(attribute("string", picture.badgeString().value_or("")));
    // A missing "color" reads back as the fully transparent colour, so that colour is written by
    // leaving the attribute out: the file then reads back to the same text.
    if (auto color = picture.badgeColor(); color && *color != gfx::Color(0, 0, 0, 0))
        badge->addAttribute(attribute("color", BoardFile::formatColor(*color)));
    floor->addChild(badge);

    auto size = picture.origSize().size;
    floor->addChild(DDXMLNode::elementWithNameChildrenAttributes(
        "size", {}, { attribute("width", BoardFile::formatNumber(size.width)), attribute("height", BoardFile::formatNumber(size.height)) }));

    auto& transform = picture.originalTransform();
    floor->addChild(DDXMLNode::elementWithNameChildrenAttributes("transform", {},
        { attribute("a", BoardFile::formatNumber(transform.a)), attribute("b", BoardFile::formatNumber(transform.b)),
            attribute("c", BoardFile::formatNumber(transform.c)), attribute("d", BoardFile::formatNumber(transform.d)),
            attribute("tx", BoardFile::formatNumber(transform.tx)), attribute("ty", BoardFile::formatNumber(transform.ty)) }));

    for (auto& child : picture.children())
        floor->addChild(xmlFromTouchImageView(*child));
    return floor;
}

void BrenzoViewController::saveXML(const fnd::Id&)
{
    auto background = mainTouchImageView();
    if (!background)
        return;
    auto text = xmlFromTouchImageView(*background)->XMLStringWithOptions(DDXMLNodePrettyPrint);
    if (!BoardFile::write(text))
        fnd::Log::write("board file not written");
}

std::string BrenzoViewController::NextImageAvailable() const
{
    return BoardFile::nextImageAvailable();
}

// Tool bars.

void BrenzoViewController::buildEditToolBar()
{
    auto bounds = view()->bounds();
    m_editToolBar = ui::Toolbar::create({ 0, bounds.height() - editToolBarHeight, bounds.width(), editToolBarHeight });
    m_editToolBar->setAutoresizesSubviews(true);
    m_editToolBar->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleTopMargin);
    m_editToolBar->setBarStyle(ui::BarStyle::Default);
    m_editToolBar->setContentMode(ui::ContentMode::ScaleToFill);
    m_editToolBar->setHidden(true);

    auto imageItem = [&](std::string_view imageName, std::string actionName, void (BrenzoViewController::*method)(const fnd::Id&)) {
        return ui::BarButtonItem::createWithImage(ui::BundleImages::imageNamed(imageName), ui::BarButtonItemStyle::Bordered,
            ui::Action::to(this, std::move(actionName), method));
    };
    m_deleteButton = imageItem("trash.png", "deleteAction:", &BrenzoViewController::deleteAction);
    m_editToolBar->setItems({ imageItem("cancel.png", "cancelAction:", &BrenzoViewController::cancelAction),
                                imageItem("add.png", "addContactButtonAction:", &BrenzoViewController::addContactButtonAction), m_deleteButton,
                                ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::FlexibleSpace),
                                imageItem("save.png", "saveXML:", &BrenzoViewController::saveXML) },
        false);
    view()->addSubview(m_editToolBar);
}

void BrenzoViewController::buildMainToolBar()
{
    auto bounds = view()->bounds();
    m_mainToolBar = ui::Toolbar::create({ 0, bounds.height() - mainToolBarHeight, bounds.width(), mainToolBarHeight });
    m_mainToolBar->setAutoresizesSubviews(true);
    m_mainToolBar->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleTopMargin);
    m_mainToolBar->setBarStyle(ui::BarStyle::Black);
    m_mainToolBar->setTranslucent(true);
    m_mainToolBar->setContentMode(ui::ContentMode::ScaleToFill);

    auto heart = ui::BundleImages::imageNamed("heart.png");
    auto heartButton = ui::Button::create(ui::ButtonType::Custom);
    auto heartSize = heart ? heart->size() : gfx::Size {};
    heartButton->setBounds({ 0, 0, heartSize.width, heartSize.height });
    heartButton->setImage(heart, ui::ControlState::Normal);
    heartButton->addTargetActionForControlEvents(ui::Action::to(this, "rateAction:", &BrenzoViewController::rateAction), ui::ControlEvent::TouchUpInside);

    m_mainToolBar->setItems({ ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::FlexibleSpace),
                                ui::BarButtonItem::createWithCustomView(heartButton),
                                ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Compose,
                                    ui::Action::to(this, "mailAction:", &BrenzoViewController::mailAction)),
                                ui::BarButtonItem::createWithBarButtonSystemItem(ui::BarButtonSystemItem::Action,
                                    ui::Action::to(this, "wifiAction:", &BrenzoViewController::wifiAction)) },
        false);
    view()->addSubview(m_mainToolBar);
}

// Selection and edit mode.

void BrenzoViewController::setSelectedTouchImage(const std::shared_ptr<TouchImageView>& picture)
{
    if (auto previous = m_selectedTouchImage.lock())
        previous->layer().setBorderWidth(0);
    m_selectedTouchImage = picture;
    if (m_deleteButton)
        m_deleteButton->setEnabled(false);
    if (!picture)
        return;
    picture->layer().setBorderColor({ 1, 0, 0, 1 });
    picture->layer().setBorderWidth(2);
    if (picture->parent() && m_deleteButton)
        m_deleteButton->setEnabled(true);
}

void BrenzoViewController::editAction(const fnd::Id&)
{
    m_mainToolBar->setHidden(true);
    m_editToolBar->setHidden(false);
    setEditMode(true);
}

void BrenzoViewController::cancelAction(const fnd::Id&)
{
    m_mainToolBar->setHidden(false);
    m_editToolBar->setHidden(true);
    setEditMode(false);
    setSelectedTouchImage(nullptr);
}

void BrenzoViewController::deleteAction(const fnd::Id&)
{
    auto picture = selectedTouchImage();
    // The selection goes first: it must never name a picture that has left the board.
    setSelectedTouchImage(nullptr);
    if (!picture)
        return;
    picture->removeFromSuperview();
    if (auto parent = picture->parent())
        parent->removeChild(*picture);
}

void BrenzoViewController::addContactButtonAction(const fnd::Id&)
{
    auto self = sharedAs<BrenzoViewController>();
    auto picker = BoardScreens::makePeopleListViewController({ nullptr, self, -1, fnd::String::create("1") });
    presentViewController(picker, true);
}

void BrenzoViewController::addImageButtonAction(const fnd::Id&)
{
    auto picker = ui::ImagePickerController::create(ui::ImagePickerSourceType::PhotoLibrary);
    picker->setAllowsEditing(false);
    picker->setDelegate(sharedAs<BrenzoViewController>());
    // The system this stands for is recent enough for the form sheet.
    picker->setModalPresentationStyle(ui::ModalPresentationStyle::FormSheet);
    presentViewController(picker, true);
}

void BrenzoViewController::dismissSettingsView()
{
    dismissViewController(true);
}

// Pictures made from photos.

std::shared_ptr<TouchImageView> BrenzoViewController::addPhotoPicture(const fnd::Ref<gfx::Image>& original)
{
    auto photo = BoardFile::fittingPicture(original);
    auto name = NextImageAvailable();
    // A picture naming a file that was never written would vanish at the next launch.
    if (!photo || !BoardFile::writePictureOrAlert(*photo, name))
        return nullptr;

    auto size = photo ? photo->size() : gfx::Size { 1, 1 };
    double width = TouchImageView::placeholderWidth;
    gfx::Rect frame { 0, 0, width, size.width > 0 ? width * size.height / size.width : width };
    auto picture = TouchImageView::create(frame);
    picture->setImage(photo);
    picture->setCenter(newPictureCenter);
    picture->setImageName(name);
    picture->setOrigSize(frame);
    attachToBoard(picture);
    return picture;
}

void BrenzoViewController::peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(ui::ViewController&,
    const fnd::Ref<gfx::Image>& photo, int32_t, const std::string&, const std::string& phone, const fnd::Id&)
{
    auto picture = addPhotoPicture(photo);
    if (!picture)
        return;
    picture->setType(std::string(TouchImageView::phoneType));
    picture->setParameters("tel:" + withoutBlanks(phone));
}

void BrenzoViewController::didFinishPickingMediaWithInfo(ui::ImagePickerController&, const fnd::Ref<fnd::Dictionary>& info)
{
    fnd::Log::write("didFinishPickingMediaWithInfo");
    dismissViewController(true);
    auto image = info ? info->objectForKeyAs<gfx::Image>(ui::ImagePickerController::originalImageKey) : nullptr;
    if (image)
        addPhotoPicture(image);
}

void BrenzoViewController::imagePickerControllerDidCancel(ui::ImagePickerController&)
{
    dismissViewController(true);
}

// Main tool bar.

void BrenzoViewController::rateAction(const fnd::Id&)
{
    RatingPrompt::rateApp();
}

void BrenzoViewController::mailAction(const fnd::Id&)
{
    auto composer = msg::MailComposeViewController::create();
    if (!composer)
        return;
    composer->setMailComposeDelegate(sharedAs<BrenzoViewController>());
    composer->setToRecipients({ std::string(BrenzoLinks::feedbackAddress) });
    composer->setSubject(std::string(BrenzoLinks::feedbackSubject));
    presentViewController(composer, true);
}

void BrenzoViewController::didFinishWithResult(msg::MailComposeViewController&, msg::MailComposeResult result, const fnd::Ref<fnd::Error>&)
{
    if (result == msg::MailComposeResult::Sent)
        fnd::Log::write("It's away!");
    dismissViewController(true);
}

void BrenzoViewController::wifiAction(const fnd::Id&)
{
    auto item = SHKItem::createWithURL(fnd::URL::create(BrenzoLinks::storePageAddress), std::string(BrenzoLinks::shareTitle));
    auto sheet = SHKActionSheet::actionSheetForItem(std::move(item));
    SHK::setRootViewController(sharedAs<BrenzoViewController>());
    sheet->showFromToolbar(*m_mainToolBar);
}
