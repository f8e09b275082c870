// The background window's gradient on both backends: the Windows build runs
// it with the x87 floating point of the 32-bit program, where the ratio's
// single-precision rounding and the half-to-even rounding must still hold.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Canvas.h"
#include "ui/BackGround_unit.h"

namespace {

// Keeps the fills only; texts are not drawn without a project.
class FillCanvas : public plat::Canvas {
public:
    FillCanvas(int width, int height) : size_{width, height} {}
    plat::Size ClientSize() override { return size_; }
    int PixelsPerInch() override { return 96; }
    void FillSolid(int left, int top, int right, int bottom, uint32_t color) override {
        ASSERT_EQ(left, 0);
        ASSERT_EQ(right, size_.cx);
        ASSERT_EQ(bottom, top + 1);
        ASSERT_EQ(top, static_cast<int>(colors.size()));  // top down, one per row
        colors.push_back(color);
    }
    void SelectFont(const std::string&, int, int) override {}
    void SetTextColour(uint32_t) override {}
    void SetTransparentBackground() override {}
    void DrawTextAt(int, int, const std::string&) override { ++texts; }
    plat::Size TextExtent(const std::string&) override { return {}; }

    std::vector<uint32_t> colors;
    int texts = 0;

private:
    plat::Size size_;
};

std::vector<uint32_t> Paint(uint32_t top, uint32_t bottom, int height) {
    TBackGroundForm form;
    form.GradientColors[0] = top;
    form.GradientColors[1] = bottom;
    FillCanvas canvas(16, height);
    form.FormPaint(canvas);
    EXPECT_EQ(canvas.texts, 0);
    return canvas.colors;
}

TEST(BackGroundPaint, WizardColoursOnAScreenOf768) {
    const std::vector<uint32_t> rows = Paint(0xFF0000, 0, 768);
    ASSERT_EQ(rows.size(), 768u);
    const uint32_t first[] = {255, 254, 254, 254, 253};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rows[i], first[i] << 16) << "row " << i;
    EXPECT_EQ(rows[383], 128u << 16);  // t = 0.5 exactly: 127.5 rounds to even
    EXPECT_EQ(rows[765], 1u << 16);
    EXPECT_EQ(rows[766], 0u);
    EXPECT_EQ(rows[767], 0u);
}

TEST(BackGroundPaint, SmallHeightsAndRounding) {
    EXPECT_EQ(Paint(0xFF0000, 0, 1), std::vector<uint32_t>({0}));
    EXPECT_EQ(Paint(0xFF0000, 0, 4), std::vector<uint32_t>({191u << 16, 128u << 16, 64u << 16, 0}));
    EXPECT_EQ(Paint(0x000005, 0, 2), std::vector<uint32_t>({2, 0}));
    EXPECT_EQ(Paint(0xEEFF0000, 0xDD000000, 4), std::vector<uint32_t>({191u << 16, 128u << 16, 64u << 16, 0}));
    EXPECT_TRUE(Paint(0xFF0000, 0, 0).empty());
    EXPECT_TRUE(Paint(0xFF0000, 0, -3).empty());
}

}  // namespace
