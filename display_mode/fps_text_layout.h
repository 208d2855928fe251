#pragma once
#include <algorithm>
#include <string>
#include <vector>

namespace tamaruka {

// Where the --fps text goes in a window: its lines in the bottom-left corner,
// the last line lowest, a margin from the edges. Heights count up from the
// window's bottom edge, so that each drawing turns them into its own
// coordinates; the fonts stay with the drawings, which give their line height
// and descent and measure their lines.
class FpsTextLayout {
public:
    static constexpr int Margin = 8;

    struct Line {
        std::string text;
        int left = 0;      // from the window's left edge
        int baseline = 0;  // above the window's bottom edge
    };

    // Lines of `text` separated by '\n'.
    FpsTextLayout(const std::string& text, int lineHeight, int descent);

    // The bottom line first.
    const std::vector<Line>& lines() const { return lines_; }

    // The corner the text covers, margins included: the rows up to
    // coveredHeight() above the bottom edge, the columns up to coveredWidth()
    // from the left edge, each line `measure(text)` pixels wide. Nothing
    // without text.
    int coveredHeight() const;
    template <typename Measure>
    int coveredWidth(Measure measure) const {
        int widest = 0;
        for (const Line& line : lines_) widest = std::max(widest, static_cast<int>(measure(line.text)));
        return lines_.empty() ? 0 : 2 * Margin + widest;
    }

private:
    std::vector<Line> lines_;
    int lineHeight_;
};

}  // namespace tamaruka
