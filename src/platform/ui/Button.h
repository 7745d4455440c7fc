#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/Control.h"

#include <map>
#include <optional>
#include <string>

namespace ui {

class ImageView;
class Label;

// Numbered as the platform numbered them.
enum class ButtonType {
    Custom = 0,
    RoundedRect = 1,
    DetailDisclosure = 2,
    InfoLight = 3,
    InfoDark = 4,
    ContactAdd = 5,
};

// A control that shows a title and an image, each chosen by state (what is set for the normal state
// serves the others), and sends its touch-up-inside actions when tapped or pressed by its title.
class Button : public Control {
public:
    static std::shared_ptr<Button> create(ButtonType = ButtonType::Custom);
    explicit Button(ButtonType = ButtonType::Custom);

    std::string_view className() const override { return "Button"; }

    ButtonType buttonType() const { return m_type; }

    void setTitle(std::string, unsigned state = ControlState::Normal);
    std::string titleForState(unsigned state) const;
    void setTitleColor(const gfx::Color&, unsigned state = ControlState::Normal);
    gfx::Color titleColorForState(unsigned state) const;
    void setImage(fnd::Ref<gfx::Image>, unsigned state = ControlState::Normal);
    fnd::Ref<gfx::Image> imageForState(unsigned state) const;
    void setBackgroundImage(fnd::Ref<gfx::Image>, unsigned state = ControlState::Normal);
    fnd::Ref<gfx::Image> backgroundImageForState(unsigned state) const;

    std::string currentTitle() const { return titleForState(state()); }
    fnd::Ref<gfx::Image> currentImage() const { return imageForState(state()); }
    std::shared_ptr<Label> titleLabel() const { return m_titleLabel; }
    std::shared_ptr<ImageView> imageView() const { return m_imageView; }

    // Sends the touch-up-inside actions, as a tap does; a disabled button sends nothing.
    bool press();

    void setEnabled(bool) override;
    void setSelected(bool) override;
    void setHighlighted(bool) override;
    void layoutSubviews() override;
    gfx::Size sizeThatFits(gfx::Size) const override;
    void drawRect(gfx::GraphicsContext&, const gfx::Rect&) override;
    void collectPressTargets(PressTargets&) override;
    std::string treeAttributes() const override;

private:
    template<typename Value>
    static std::optional<Value> valueForState(const std::map<unsigned, Value>&, unsigned state);
    void updateContent();

    ButtonType m_type;
    std::map<unsigned, std::string> m_titles;
    std::map<unsigned, gfx::Color> m_titleColors;
    std::map<unsigned, fnd::Ref<gfx::Image>> m_images;
    std::map<unsigned, fnd::Ref<gfx::Image>> m_backgroundImages;
    std::shared_ptr<Label> m_titleLabel;
    std::shared_ptr<ImageView> m_imageView;
};

}
