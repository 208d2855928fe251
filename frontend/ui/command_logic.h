#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "frontend/ui/command_face.h"

namespace tamaruka {

enum class PointerButton { Left, Right, Middle };

// What the Command button's behaviour asks of its window. The Qt widget
// implements it; tests record the calls.
class CommandView {
public:
    virtual ~CommandView() = default;
    // PaintFace: the gradient (its direction given by hoverShade), then the
    // eight frame pieces of the face, then the caption laid out.
    virtual void drawFace(Face face, bool hoverShade) = 0;
    virtual void setCaptionEnabled(bool enabled) = 0;
    virtual void setCaptionText(const std::string& text) = 0;
    virtual void setCaptionFont(const std::string& font) = 0;
    virtual void setCaptionColour(std::uint32_t rgb) = 0;
    virtual void setFaceShown(bool opaque) = 0;  // opaque face, or only the caption
    virtual void startHoverTimer(int intervalMs) = 0;
    virtual void propertyChanged(std::string_view name) = 0;  // tells the host
    virtual void raiseClick() = 0;  // the Click event
};

// The per-control key/value store in which a host form keeps the properties
// of each of its Command buttons. Keys are the property names.
using PropertyBag = std::map<std::string, std::string, std::less<>>;

// The behaviour of the Command push button: its state machine, looks and
// properties, free of any toolkit. The window forwards pointer, focus, timer
// and resize events; a disabled button ignores all of them.
class CommandLogic {
public:
    // ButtonState values.
    static constexpr int beforeInitialize = 0;
    static constexpr int idle = 1;             // Normal
    static constexpr int hovered = 2;          // HighLight: pointer over it, no focus
    static constexpr int focused = 3;          // Selected: focus, pointer elsewhere
    static constexpr int hoveredFocused = 4;   // HighLightSelect: focus and pointer
    static constexpr int hoverIntervalMs = 100;

    explicit CommandLogic(CommandView& view) : view_(view) {}

    // Called by the host once after loading: idle state, hover polling on.
    void initialize();

    // Events, as the window receives them.
    void pointerMoved();  // the pointer moved over the button, any buttons held
    void buttonDown(PointerButton button);
    void buttonUp(PointerButton button);
    void focusArrived();
    void focusLeft();
    void hoverTick(bool pointerOverButton);  // TmrMouse; the caption counts as the button
    void pointerLeft();
    void resized();

    void applyEnabledLook();
    void refreshIdleFace();

    // Properties. The read* accessors have the side effects the control's
    // getters have (a fresh button becomes enabled; the idle face is redrawn).
    void setEnabled(bool enabled);
    bool readEnabled();
    void setCaption(const std::string& caption);
    const std::string& caption() const { return caption_; }
    void setFont(const std::string& font);
    const std::string& font() const { return font_; }
    void setFontColour(std::uint32_t rgb);
    std::uint32_t readFontColour();
    void setVisible(int visible);
    int readVisible();  // 255 when the face is shown, else 0

    // Persistence through the host form's property store.
    void readProperties(const PropertyBag& bag, const std::string& ambientFont);
    void writeProperties(PropertyBag& bag, const std::string& ambientFont);

    int buttonState() const { return buttonState_; }
    bool leftDown() const { return leftDown_; }
    bool hoverShade() const { return hoverShade_; }
    bool enabled() const { return enabled_; }
    int firstRun() const { return firstRun_; }
    bool faceShown() const { return opaque_; }

private:
    void paintFace(Face face);

    CommandView& view_;
    bool enabled_ = false;
    int buttonState_ = beforeInitialize;
    bool leftDown_ = false;
    bool hoverShade_ = false;
    int firstRun_ = 0;  // 1 once loaded from saved properties
    bool opaque_ = true;
    std::string caption_;
    std::string font_;
    std::uint32_t fontColour_ = 0;
};

}  // namespace tamaruka
