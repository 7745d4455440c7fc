#pragma once

#include "platform/ui/SearchBarDelegate.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {

class Button;
class SearchDisplayController;
class TextField;

// A rounded search field with an optional Cancel button and scope buttons, 44 points high. Typing
// into it is reported as text changes, the return key as the search button. A search display
// controller watches it as well as its delegate.
class SearchBar : public View {
public:
    static constexpr double height = 44;

    static std::shared_ptr<SearchBar> create(const gfx::Rect& frame = {});
    explicit SearchBar(const gfx::Rect& frame = {});

    std::string_view className() const override { return "SearchBar"; }

    const std::string& text() const;
    // Set by the program: no delegate hears of it.
    void setText(std::string);
    const std::string& placeholder() const;
    void setPlaceholder(std::string);
    std::string prompt() const { return m_prompt; }
    void setPrompt(std::string prompt) { m_prompt = std::move(prompt); }

    // Not retained.
    std::shared_ptr<SearchBarDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<SearchBarDelegate>& delegate) { m_delegate = delegate; }

    bool showsCancelButton() const { return m_showsCancelButton; }
    void setShowsCancelButton(bool, bool animated = false);
    const std::vector<std::string>& scopeButtonTitles() const { return m_scopeTitles; }
    void setScopeButtonTitles(std::vector<std::string> titles) { m_scopeTitles = std::move(titles); }
    int selectedScopeButtonIndex() const { return m_selectedScope; }
    // As a tap on a scope button: reported to the delegate and the search display.
    void selectScopeButtonIndex(int);
    void setSelectedScopeButtonIndex(int index) { m_selectedScope = index; }

    const std::shared_ptr<TextField>& textField() const { return m_field; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool isFirstResponder() const override;

    // What the Cancel button and the return key do.
    void cancelButtonTapped();
    void searchButtonTapped();

    // For the search display controller.
    void setSearchDisplay(const std::shared_ptr<SearchDisplayController>& controller) { m_display = controller; }

    gfx::Size sizeThatFits(gfx::Size) const override;
    void layoutSubviews() override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    std::string treeAttributes() const override;

private:
    void editingBegan();
    void editingChanged();
    void editingEnded();

    std::shared_ptr<TextField> m_field;
    std::shared_ptr<Button> m_cancelButton;
    std::string m_prompt;
    std::weak_ptr<SearchBarDelegate> m_delegate;
    std::weak_ptr<SearchDisplayController> m_display;
    bool m_showsCancelButton = false;
    std::vector<std::string> m_scopeTitles;
    int m_selectedScope = 0;
};

}
