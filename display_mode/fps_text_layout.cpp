#include "display_mode/fps_text_layout.h"

#include <sstream>

namespace tamaruka {

FpsTextLayout::FpsTextLayout(const std::string& text, int lineHeight, int descent) : lineHeight_(lineHeight) {
    std::vector<std::string> topDown;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) topDown.push_back(std::move(line));
    int baseline = Margin + descent;
    for (auto line = topDown.rbegin(); line != topDown.rend(); ++line, baseline += lineHeight)
        lines_.push_back({std::move(*line), Margin, baseline});
}

int FpsTextLayout::coveredHeight() const {
    return lines_.empty() ? 0 : 2 * Margin + static_cast<int>(lines_.size()) * lineHeight_;
}

}  // namespace tamaruka
