#include "frontend/ui/command_logic.h"

#include <charconv>

namespace tamaruka {

void CommandLogic::initialize()
{
    buttonState_ = idle;
    view_.startHoverTimer(hoverIntervalMs);
}

void CommandLogic::paintFace(Face face)
{
    // States 4 and 0 keep the shade the button already had.
    if (buttonState_ == idle || buttonState_ == focused)
        hoverShade_ = false;
    else if (buttonState_ == hovered)
        hoverShade_ = true;
    view_.drawFace(face, hoverShade_);
}

void CommandLogic::pointerMoved()
{
    if (!enabled_)
        return;
    if (buttonState_ == idle) {
        buttonState_ = hovered;
        paintFace(Face::HighLight);
    }
    if (buttonState_ == focused && !leftDown_) {
        buttonState_ = hoveredFocused;
        paintFace(Face::HighLightSelect);
    }
}

void CommandLogic::buttonDown(PointerButton button)
{
    if (!enabled_ || button != PointerButton::Left)
        return;
    leftDown_ = true;
    paintFace(Face::Pressed);
}

void CommandLogic::buttonUp(PointerButton button)
{
    if (!enabled_)
        return;
    if (button == PointerButton::Left) {
        leftDown_ = false;
        if (buttonState_ == hovered)
            paintFace(Face::Normal);
        if (buttonState_ == hoveredFocused)
            paintFace(Face::HighLightSelect);
    }
    // Any button raises Click, unless the pointer was found away while it was held.
    if (buttonState_ != focused && enabled_)
        view_.raiseClick();
}

void CommandLogic::focusArrived()
{
    if (!enabled_)
        return;
    if (buttonState_ != hovered) {
        buttonState_ = focused;
        paintFace(Face::Selected);
    } else {
        buttonState_ = hoveredFocused;
        paintFace(Face::Pressed);
    }
}

void CommandLogic::focusLeft()
{
    if (!enabled_ || buttonState_ == idle)
        return;
    buttonState_ = idle;
    paintFace(Face::Normal);
}

void CommandLogic::hoverTick(bool pointerOverButton)
{
    if (!pointerOverButton)
        pointerLeft();
}

void CommandLogic::pointerLeft()
{
    if (!enabled_)
        return;
    if (buttonState_ == hovered) {
        buttonState_ = idle;
        paintFace(Face::Normal);
    } else if (buttonState_ == hoveredFocused) {
        buttonState_ = focused;
        paintFace(Face::Selected);
    }
}

void CommandLogic::resized() { applyEnabledLook(); }

void CommandLogic::applyEnabledLook()
{
    if (enabled_) {
        paintFace(Face::Normal);
        view_.setCaptionEnabled(true);
    } else {
        paintFace(Face::Disable);
        view_.setCaptionEnabled(false);
    }
}

void CommandLogic::refreshIdleFace()
{
    if (!enabled_)
        return;
    view_.setCaptionEnabled(true);
    if (firstRun_ == 0) {
        fontColour_ = 0;
        view_.setCaptionColour(0);
    }
    paintFace(Face::Normal);
}

void CommandLogic::setEnabled(bool enabled)
{
    enabled_ = enabled;
    view_.propertyChanged("Enabled");
    applyEnabledLook();
}

bool CommandLogic::readEnabled()
{
    if (firstRun_ == 0) {
        refreshIdleFace();
        firstRun_ = 1;
        enabled_ = true;
    }
    const bool result = enabled_;
    applyEnabledLook();
    return result;
}

void CommandLogic::setCaption(const std::string& caption)
{
    caption_ = caption;
    view_.setCaptionText(caption_);
    view_.propertyChanged("Caption");
}

void CommandLogic::setFont(const std::string& font)
{
    font_ = font;
    view_.setCaptionFont(font_);
    view_.propertyChanged("Font");
}

void CommandLogic::setFontColour(std::uint32_t rgb)
{
    fontColour_ = rgb;
    view_.setCaptionColour(rgb);
    refreshIdleFace();
    view_.propertyChanged("FontColour");
}

std::uint32_t CommandLogic::readFontColour()
{
    const std::uint32_t result = fontColour_;
    refreshIdleFace();
    return result;
}

void CommandLogic::setVisible(int visible)
{
    opaque_ = visible != 0;
    view_.setFaceShown(opaque_);
    if (opaque_)
        refreshIdleFace();
    view_.propertyChanged("Visible");
}

int CommandLogic::readVisible()
{
    if (!opaque_)
        return 0;
    refreshIdleFace();
    return 255;
}

namespace {

std::string_view stored(const PropertyBag& bag, std::string_view key, std::string_view fallback)
{
    const auto it = bag.find(key);
    return it == bag.end() ? fallback : std::string_view(it->second);
}

// A stored number; the default's value when the text is not a number.
long long storedNumber(const PropertyBag& bag, std::string_view key, long long fallback)
{
    const std::string_view text = stored(bag, key, {});
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return fallback;
    return value;
}

void store(PropertyBag& bag, const std::string& key, const std::string& value, bool isDefault)
{
    // A value equal to its default is not stored, so an older entry goes too.
    if (isDefault)
        bag.erase(key);
    else
        bag[key] = value;
}

}  // namespace

void CommandLogic::readProperties(const PropertyBag& bag, const std::string& ambientFont)
{
    setEnabled(storedNumber(bag, "Enabled", -1) != 0);
    setCaption(std::string(stored(bag, "Caption", "Command1")));
    setFont(std::string(stored(bag, "Font", ambientFont)));
    firstRun_ = static_cast<std::uint8_t>(storedNumber(bag, "FirstRun", 1));
    setFontColour(static_cast<std::uint32_t>(storedNumber(bag, "FontColour", 0)));
    setVisible(static_cast<std::uint8_t>(storedNumber(bag, "Visible", 1)));
    refreshIdleFace();
}

void CommandLogic::writeProperties(PropertyBag& bag, const std::string& ambientFont)
{
    const bool enabled = readEnabled();
    store(bag, "Enabled", enabled ? "-1" : "0", enabled);
    store(bag, "Caption", caption_, caption_ == "Command");
    store(bag, "FirstRun", std::to_string(firstRun_), firstRun_ == 1);
    store(bag, "Font", font_, font_ == ambientFont);
    const std::uint32_t colour = readFontColour();
    store(bag, "FontColour", std::to_string(colour), colour == 0);
    const bool opaque = readVisible() != 0;
    store(bag, "Visible", opaque ? "1" : "0", opaque);
    refreshIdleFace();
}

}  // namespace tamaruka
