#pragma once

#include "board/PeopleListViewControllerDelegate.h"
#include "platform/messaging/MailComposeDelegate.h"
#include "platform/ui/ImagePickerControllerDelegate.h"
#include "platform/ui/ViewController.h"
#include "xml/DDXMLElement.h"

#include <memory>
#include <string>

class TouchImageView;

namespace ab {
class AddressBook;
}

namespace ui {
class BarButtonItem;
class Toolbar;
}

// The application's one screen: the board of pictures read from "main.xml" (or the default board
// of a background and twelve placeholders), the main tool bar (rating, feedback mail, sharing) and
// the edit tool bar (cancel, add a contact, delete, save) of edit mode.
class BrenzoViewController : public ui::ViewController,
                             public PeopleListViewControllerDelegate,
                             public msg::MailComposeDelegate,
                             public ui::ImagePickerControllerDelegate {
public:
    static std::shared_ptr<BrenzoViewController> create();
    BrenzoViewController();
    ~BrenzoViewController() override;

    std::string_view className() const override { return "BrenzoViewController"; }

    static constexpr std::string_view defaultBackgroundImageName = "defaultbackground.png";
    static constexpr gfx::Point backgroundCenter { 160, 230 };
    static constexpr gfx::Point newPictureCenter { 160, 85 };
    static constexpr int placeholderRows = 4;
    static constexpr int placeholderColumns = 3;
    static constexpr double mainToolBarHeight = 24;
    static constexpr double editToolBarHeight = 44;

    void viewDidLoad() override;

    // The board file.
    // Reads one picture and adds it to the view; nothing when its image cannot be loaded.
    std::shared_ptr<TouchImageView> touchImageViewFromXml(const fnd::Ref<DDXMLElement>&);
    fnd::Ref<DDXMLElement> xmlFromTouchImageView(const TouchImageView&) const;
    // Writes the whole board to "main.xml".
    void saveXML(const fnd::Id& sender = {});
    // The name for the next picture file.
    std::string NextImageAvailable() const;

    // The board.
    std::shared_ptr<TouchImageView> mainTouchImageView() const { return m_mainTouchImageView.lock(); }
    const std::shared_ptr<ui::Toolbar>& mainToolBar() const { return m_mainToolBar; }
    const std::shared_ptr<ui::Toolbar>& editToolBar() const { return m_editToolBar; }
    const fnd::Ref<ui::BarButtonItem>& deleteButton() const { return m_deleteButton; }

    std::shared_ptr<TouchImageView> selectedTouchImage() const { return m_selectedTouchImage.lock(); }
    void setSelectedTouchImage(const std::shared_ptr<TouchImageView>&);
    bool editMode() const { return m_editMode; }
    void setEditMode(bool editMode) { m_editMode = editMode; }

    // Main tool bar.
    void rateAction(const fnd::Id& sender);
    void mailAction(const fnd::Id& sender);
    void wifiAction(const fnd::Id& sender);

    // Edit mode.
    void editAction(const fnd::Id& sender);
    void cancelAction(const fnd::Id& sender);
    void deleteAction(const fnd::Id& sender);
    void addContactButtonAction(const fnd::Id& sender);
    // Nothing on the board sends it: adds a picture from the photo library.
    void addImageButtonAction(const fnd::Id& sender);

    // The feedback mail's end: logged when sent, dismissed whatever the result.
    void didFinishWithResult(msg::MailComposeViewController&, msg::MailComposeResult, const fnd::Ref<fnd::Error>&) override;

    // Closes the screen the board presents; the picker and the settings screen call it.
    void dismissSettingsView();

    // A picture the picker made for the board (opened from the edit tool bar).
    void peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(ui::ViewController& picker,
        const fnd::Ref<gfx::Image>& photo, int32_t selectedIndex, const std::string& name, const std::string& phone,
        const fnd::Id& reference) override;

    // A photo from the library becomes a new picture without an action; cancelling only closes.
    void didFinishPickingMediaWithInfo(ui::ImagePickerController&, const fnd::Ref<fnd::Dictionary>& info) override;
    void imagePickerControllerDidCancel(ui::ImagePickerController&) override;

    // The pictures of the board, background first, in board order.
    std::vector<std::shared_ptr<TouchImageView>> boardPictures() const;

private:
    static void registerOperations();
    void loadBoard();
    bool readBoardFile();
    void buildDefaultBoard();
    std::shared_ptr<TouchImageView> makeBackground(const std::string& imageName);
    void buildEditToolBar();
    void buildMainToolBar();
    std::shared_ptr<TouchImageView> addPhotoPicture(const fnd::Ref<gfx::Image>&);
    void attachToBoard(const std::shared_ptr<TouchImageView>&);

    std::weak_ptr<TouchImageView> m_mainTouchImageView;
    std::shared_ptr<ui::Toolbar> m_editToolBar;
    std::shared_ptr<ui::Toolbar> m_mainToolBar;
    fnd::Ref<ui::BarButtonItem> m_deleteButton;
    std::weak_ptr<TouchImageView> m_selectedTouchImage;
    bool m_editMode = false;
    // The address book of the contact check while the board file is read.
    std::shared_ptr<ab::AddressBook> m_readingAddressBook;
    bool m_readingAddressBookOpened = false;
};
