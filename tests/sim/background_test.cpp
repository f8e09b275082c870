// The background window: gradient bands, title layout and the window's settings,
// drawn on a recording canvas.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/SimCanvas.h"
#include "platform/sim/SimSystem.h"
#include "platform/sim/SimWindow.h"
#include "project/ProjectProperty_unit.h"
#include "ui/BackGround_unit.h"

namespace {

constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kYellow = 0x00FFFF;
const char* const kFace = "ＭＳ Ｐゴシック";

uint32_t Blue(int value) { return static_cast<uint32_t>(value) << 16; }

struct BandCase {
    const char* name;
    int height;
    uint32_t top, bottom;
    std::vector<std::pair<int, uint32_t>> rows;  // row (negative: from the end) and its colour
};

class BackGroundTest : public ::testing::Test {
protected:
    void SetUp() override { sim::ResetWindows(); }
    void TearDown() override {
        sim::ResetWindows();
        sim::SetScreenSize(1024, 768);
    }
};

TEST_F(BackGroundTest, BandColours) {
    const std::vector<BandCase> cases = {
        {"one row gets the bottom colour", 1, kBlue, kBlack, {{0, kBlack}}},
        {"one row, other bottom", 1, 0x000005, 0x123456, {{0, 0x123456}}},
        {"two rows: 127.5 rounds to even 128", 2, kBlue, kBlack, {{0, Blue(128)}, {1, kBlack}}},
        {"four rows", 4, kBlue, kBlack, {{0, Blue(191)}, {1, Blue(128)}, {2, Blue(64)}, {3, kBlack}}},
        {"screen of 768",
         768,
         kBlue,
         kBlack,
         {{0, Blue(255)}, {1, Blue(254)}, {2, Blue(254)}, {3, Blue(254)}, {4, Blue(253)},
          {-3, Blue(1)}, {-2, kBlack}, {-1, kBlack}}},
        {"red 5: 2.5 rounds to even 2", 2, 0x000005, kBlack, {{0, 0x000002}, {1, kBlack}}},
        {"top bytes ignored", 4, 0xAAFF0000, 0xFF000000,
         {{0, Blue(191)}, {1, Blue(128)}, {2, Blue(64)}, {3, kBlack}}},
        {"components stay apart: red to green", 4, 0x0000FF, 0x00FF00,
         {{0, 0x0040BF}, {1, 0x008080}, {2, 0x00BF40}, {3, 0x00FF00}}},
        {"rising towards the bottom", 4, kBlack, 0x00FFFFFF,
         {{0, 0x404040}, {1, 0x808080}, {2, 0xBFBFBF}, {3, 0xFFFFFF}}},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(c.name);
        TBackGroundForm form;
        form.GradientColors[0] = c.top;
        form.GradientColors[1] = c.bottom;
        sim::RecordingCanvas canvas(13, c.height);
        form.PaintGradient(canvas);
        const std::vector<sim::CanvasOp> fills = canvas.Fills();
        ASSERT_EQ(fills.size(), static_cast<size_t>(c.height));
        for (const auto& [row, color] : c.rows) {
            int index = row < 0 ? c.height + row : row;
            EXPECT_EQ(fills[index].color, color) << "row " << index;
        }
    }
}

TEST_F(BackGroundTest, OneFillPerRowCoveringExactlyTheRow) {
    TBackGroundForm form;
    form.GradientColors[0] = kBlue;
    sim::RecordingCanvas canvas(1024, 768);
    form.PaintGradient(canvas);
    ASSERT_EQ(canvas.Ops().size(), 768u);
    uint32_t previousBlue = 256;
    for (int row = 0; row < 768; ++row) {
        const sim::CanvasOp& op = canvas.Ops()[row];
        ASSERT_EQ(op.kind, sim::CanvasOpKind::Fill);
        EXPECT_EQ(op.left, 0);
        EXPECT_EQ(op.right, 1024);
        EXPECT_EQ(op.top, row);
        EXPECT_EQ(op.bottom, row + 1);
        // Only blue varies, and it never grows towards the bottom.
        EXPECT_EQ(op.color & 0x00FFFF, 0u);
        EXPECT_LE(op.color >> 16, previousBlue);
        previousBlue = op.color >> 16;
    }
}

TEST_F(BackGroundTest, NothingDrawnWithoutHeight) {
    for (int height : {0, -1, -768}) {
        TBackGroundForm form;
        form.GradientColors[0] = kBlue;
        sim::RecordingCanvas canvas(1024, height);
        form.PaintGradient(canvas);
        EXPECT_TRUE(canvas.Ops().empty()) << "height " << height;
    }
}

TEST_F(BackGroundTest, BlendRoundsHalfToEven) {
    struct Case {
        uint32_t top, bottom;
        float t;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x000005, 0, 0.5f, 0x000002},   // 2.5
        {0x000003, 0, 0.5f, 0x000002},   // 1.5
        {0x000007, 0, 0.5f, 0x000004},   // 3.5
        {0x0000FF, 0, 0.5f, 0x000080},   // 127.5
        {0x0000FF, 0, 0.0f, 0x0000FF},
        {0x0000FF, 0, 1.0f, 0x000000},
        {0xFF000000, 0xFFFFFFFF, 1.0f, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlendBandColor(c.top, c.bottom, c.t), c.expected)
            << std::hex << c.top << " " << c.bottom << " " << c.t;
    }
}

TEST_F(BackGroundTest, PointsToPixels) {
    struct Case {
        int points, ppi, pixels;
    };
    const Case cases[] = {{32, 96, 43}, {16, 96, 21}, {32, 120, 53}, {16, 120, 27},
                          {32, 144, 64}, {16, 144, 32}, {9, 96, 12},  {3, 12, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(PointsToPixels(c.points, c.ppi), c.pixels) << c.points << "pt at " << c.ppi;
    }
}

// The eight text runs of one paint, as (x, y, text, colour, font height).
struct TextRun {
    int x, y;
    std::string text;
    uint32_t color;
    int height;
};

std::vector<TextRun> TextRuns(const sim::RecordingCanvas& canvas) {
    std::vector<TextRun> runs;
    for (const sim::CanvasOp& op : canvas.Texts()) {
        runs.push_back({op.left, op.top, op.text, op.color, op.font.height});
    }
    return runs;
}

void ExpectRuns(const std::vector<TextRun>& actual, const std::vector<TextRun>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("run " + std::to_string(i) + " \"" + expected[i].text + "\"");
        EXPECT_EQ(actual[i].x, expected[i].x);
        EXPECT_EQ(actual[i].y, expected[i].y);
        EXPECT_EQ(actual[i].text, expected[i].text);
        EXPECT_EQ(actual[i].color, expected[i].color);
        EXPECT_EQ(actual[i].height, expected[i].height);
    }
}

// Shadow then text for each of the four titles, at their top-left corners.
std::vector<TextRun> ShadowPairs(const std::vector<TextRun>& titles) {
    std::vector<TextRun> runs;
    for (const TextRun& t : titles) {
        runs.push_back({t.x + 4, t.y + 4, t.text, kBlack, t.height});
        runs.push_back({t.x, t.y, t.text, kYellow, t.height});
    }
    return runs;
}

struct TitleFixture {
    TProjectProperty project;
    TBackGroundForm form;
    TitleFixture(const std::string& name1, const std::string& version, const std::string& name2,
                 const std::string& copyright) {
        project.Name1 = name1;
        project.Version = version;
        project.Name2 = name2;
        project.Copyright = copyright;
        form.GradientColors[0] = kBlue;
        form.GradientColors[1] = kBlack;
        form.Project = &project;
    }
};

TEST_F(BackGroundTest, TitlePositionsAt96Dpi) {
    // "Orvane Tool" is 11 bytes: 236 x 43 at 32 points; the copyright 16 bytes: 168 x 21.
    TitleFixture f("Orvane Tool", "1.02", "Utility", "(C) Orvane Works");
    sim::RecordingCanvas canvas(1024, 768);
    f.form.FormPaint(canvas);
    ExpectRuns(TextRuns(canvas), ShadowPairs({{32, 32, "Orvane Tool", 0, 43},
                                              {236 + 48, 43 / 2 + 32, "1.02", 0, 21},
                                              {32, 43 + 40, "Utility", 0, 21},
                                              {1024 - 32 - 168, 768 - 32 - 21, "(C) Orvane Works", 0, 21}}));
}

TEST_F(BackGroundTest, TitlePositionsFollowMeasuredExtents) {
    struct Case {
        const char* name;
        int width, height, ppi;
        std::string name1, version, name2, copyright;
    };
    const std::vector<Case> cases = {
        {"empty name: version at 48", 1024, 768, 96, "", "2.0", "Second", "c"},
        {"empty version and second line move nothing", 1024, 768, 96, "Name", "", "", ""},
        {"Japanese name, 120 dpi", 1280, 1024, 120, "オルヴェーン", "1.0", "二行目", "著作権"},
        {"144 dpi", 1600, 1200, 144, "Big Title", "10.5", "line", "(C) 2024"},
        {"copyright wider than the screen", 200, 100, 96, "N", "V", "S",
         "Copyright (C) a very long holder name that runs off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TitleFixture f(c.name1, c.version, c.name2, c.copyright);
        sim::RecordingCanvas canvas(c.width, c.height, c.ppi);
        f.form.FormPaint(canvas);
        const int big = PointsToPixels(32, c.ppi), small = PointsToPixels(16, c.ppi);
        const plat::Size name = sim::RecordingCanvas::MeasureText(c.name1, big);
        const plat::Size copy = sim::RecordingCanvas::MeasureText(c.copyright, small);
        ExpectRuns(TextRuns(canvas),
                   ShadowPairs({{32, 32, c.name1, 0, big},
                                {name.cx + 48, name.cy / 2 + 32, c.version, 0, small},
                                {32, name.cy + 40, c.name2, 0, small},
                                {c.width - 32 - copy.cx, c.height - 32 - copy.cy, c.copyright, 0, small}}));
    }
}

TEST_F(BackGroundTest, EmptyNameAndOverlongCopyright) {
    TitleFixture f("", "1.0", "x", std::string(30, 'W'));  // 30 bytes at 21 px: 315 wide
    sim::RecordingCanvas canvas(300, 200);
    f.form.FormPaint(canvas);
    const std::vector<TextRun> runs = TextRuns(canvas);
    ASSERT_EQ(runs.size(), 8u);
    EXPECT_EQ(runs[3].x, 48);                // the version after an empty name
    EXPECT_EQ(runs[3].y, 53);                // 43 / 2 + 32
    EXPECT_EQ(runs[7].x, 300 - 32 - 315);    // negative: runs off the left edge
    EXPECT_EQ(runs[7].text, std::string(30, 'W'));  // not shortened
    EXPECT_LT(runs[7].x, 0);
}

TEST_F(BackGroundTest, PaintOrderFontAndBackground) {
    TitleFixture f("Name", "1", "Two", "C");
    sim::RecordingCanvas canvas(640, 480);
    f.form.FormPaint(canvas);
    const std::vector<sim::CanvasOp>& ops = canvas.Ops();
    ASSERT_EQ(ops.size(), 480u + 8u);
    // The gradient first, then the eight runs: never a fill over a title.
    for (size_t i = 0; i < 480; ++i) ASSERT_EQ(ops[i].kind, sim::CanvasOpKind::Fill);
    for (size_t i = 480; i < ops.size(); i += 2) {
        const sim::CanvasOp& shadow = ops[i];
        const sim::CanvasOp& text = ops[i + 1];
        ASSERT_EQ(shadow.kind, sim::CanvasOpKind::Text);
        ASSERT_EQ(text.kind, sim::CanvasOpKind::Text);
        EXPECT_EQ(shadow.color, kBlack);
        EXPECT_EQ(text.color, kYellow);
        EXPECT_EQ(shadow.left, text.left + 4);
        EXPECT_EQ(shadow.top, text.top + 4);
        for (const sim::CanvasOp* op : {&shadow, &text}) {
            EXPECT_TRUE(op->transparent);
            EXPECT_EQ(op->font.face, kFace);
            EXPECT_EQ(op->font.charset, plat::kShiftJisCharset);
        }
    }
}

TEST_F(BackGroundTest, EveryPaintRedrawsEverythingFromTheProject) {
    TitleFixture f("First", "1", "a", "b");
    sim::RecordingCanvas canvas(320, 240);
    f.form.FormPaint(canvas);
    const size_t firstCount = canvas.Ops().size();
    EXPECT_EQ(firstCount, 240u + 8u);
    canvas.Clear();
    // Texts are read at every paint; nothing from the first paint is reused.
    f.project.Name1 = "Renamed product";
    f.form.FormPaint(canvas);
    ASSERT_EQ(canvas.Ops().size(), firstCount);
    const std::vector<TextRun> runs = TextRuns(canvas);
    EXPECT_EQ(runs[1].text, "Renamed product");
    EXPECT_EQ(runs[3].x, 15 * 43 / 2 + 48);
}

TEST_F(BackGroundTest, NoProjectPaintsOnlyTheGradient) {
    TBackGroundForm form;
    form.GradientColors[0] = kBlue;
    sim::RecordingCanvas canvas(64, 48);
    form.FormPaint(canvas);
    EXPECT_EQ(canvas.Fills().size(), 48u);
    EXPECT_TRUE(canvas.Texts().empty());
}

TEST_F(BackGroundTest, WindowSettings) {
    sim::SetScreenSize(1280, 1024);
    TBackGroundForm form;
    EXPECT_EQ(form.Name(), "BackGroundForm");
    EXPECT_EQ(form.frame, plat::FormFrame::Borderless);
    EXPECT_FALSE(form.takesInput);
    EXPECT_FALSE(form.centred);
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(form.Shown());
    EXPECT_EQ(form.font.face, kFace);
    EXPECT_EQ(form.font.charset, plat::kShiftJisCharset);
    EXPECT_EQ(form.Bounds().left, 0);
    EXPECT_EQ(form.Bounds().top, 0);
    EXPECT_EQ(form.Bounds().width, 1280);
    EXPECT_EQ(form.Bounds().height, 1024);
    EXPECT_EQ(form.GradientColors[0], 0u);
    EXPECT_EQ(form.Project, nullptr);
    // The paint handler is the form's own.
    ASSERT_TRUE(form.OnPaint);
    sim::RecordingCanvas canvas(10, 3);
    form.OnPaint(canvas);
    EXPECT_EQ(canvas.Fills().size(), 3u);
}

TEST_F(BackGroundTest, CreatedAndClosedAsTheWizardDoes) {
    TProjectProperty project;
    project.Name1 = "Tool";
    auto background = std::make_unique<TBackGroundForm>();
    background->GradientColors[0] = 0xFF0000;
    background->GradientColors[1] = 0;
    background->Project = &project;
    background->Show();
    EXPECT_TRUE(background->Shown());
    EXPECT_TRUE(background->Visible());
    ASSERT_EQ(sim::ShownForms().size(), 1u);
    EXPECT_EQ(sim::ShownForms()[0], background.get());

    background->Close();
    EXPECT_TRUE(background->Destroyed());
    EXPECT_TRUE(sim::ShownForms().empty());
    background.reset();  // the owner releases the object after the close
}

}  // namespace
