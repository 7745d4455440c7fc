#pragma once

#include "board/KTextFieldCellDelegate.h"
#include "board/PeopleListViewControllerDelegate.h"
#include "board/SelectionListViewControllerDelegate.h"
#include "platform/ui/TableViewController.h"

#include <memory>
#include <string>
#include <vector>

class ChoiceCell;
class KTextFieldCell;
class TouchImageView;

// The settings of one board picture, opened from edit mode: what the picture does when tapped
// (nothing, a web request to a URL, or a call to a number picked from the address book) and that
// action's parameter. Every change goes straight into the picture.
class EditTouchImageViewController : public ui::TableViewController,
                                     public SelectionListViewControllerDelegate,
                                     public KTextFieldCellDelegate,
                                     public PeopleListViewControllerDelegate {
public:
    static constexpr std::string_view tabBarImageName = "edit.png";
    enum Section {
        TypeSection = 0,
        ParametersSection = 1,
    };

    static std::shared_ptr<EditTouchImageViewController> create(std::shared_ptr<TouchImageView> = nullptr);
    EditTouchImageViewController();

    std::string_view className() const override { return "EditTouchImageViewController"; }

    const std::shared_ptr<TouchImageView>& touchImage() const { return m_touchImage; }
    void setTouchImage(std::shared_ptr<TouchImageView> picture) { m_touchImage = std::move(picture); }

    // The kinds as shown, and the picture types of the same kinds in the same order.
    const std::vector<std::string>& typeValue() const { return m_typeValue; }
    const std::vector<std::string>& typeIndex() const { return m_typeIndex; }
    // The rows; made when the view loads.
    const std::shared_ptr<ChoiceCell>& typeCell() const { return m_typeCell; }
    const std::shared_ptr<KTextFieldCell>& urlCell() const { return m_urlCell; }
    const std::shared_ptr<ui::TableViewCell>& telSelectCell() const { return m_telSelectCell; }

    void viewDidLoad() override;
    // Shows the picture's type and, for a web picture, its address.
    void updateEnabledControls();
    // The name for the next picture file.
    std::string NextImageAvailable() const;

    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView&, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView&, int section) override;
    std::optional<std::string> titleForFooterInSection(ui::TableView&, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override;

    // A kind chosen in the list of kinds.
    void selectionListViewControllerSelectedIndexWithReference(SelectionListViewController&, int32_t selectedIndex, const fnd::Id& reference) override;
    // Return in the URL field.
    void textFieldCellWillReturn(KTextFieldCell&) override;
    // A phone number picked for the picture.
    void peopleListViewControllerPhotoSelectedIndexWithNameWithPhoneWithReference(ui::ViewController& picker, const fnd::Ref<gfx::Image>& photo,
        int32_t selectedIndex, const std::string& name, const std::string& phone, const fnd::Id& reference) override;

private:
    static std::string localized(std::string_view key);
    bool pictureHasType(std::string_view type) const;
    void showTypeList(const ui::IndexPath&);
    void showPeopleList();

    std::shared_ptr<TouchImageView> m_touchImage;
    std::vector<std::string> m_typeValue;
    std::vector<std::string> m_typeIndex;
    std::shared_ptr<ChoiceCell> m_typeCell;
    std::shared_ptr<KTextFieldCell> m_urlCell;
    std::shared_ptr<ui::TableViewCell> m_telSelectCell;
};
