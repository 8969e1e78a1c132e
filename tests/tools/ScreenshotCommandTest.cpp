// orvel screenshot: the picture of the open editor, taken through the built
// module, is what the editor draws headless for the same state.
#include <gtest/gtest.h>
#include <png.h>

#include <tuple>

#include "editor/EditorLayout.h"
#include "gui/CBitmap.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"
#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace {

// The picture as 0x00RRGGBB pixels, row by row; empty when unreadable.
std::vector<uint32_t> readPng(const std::string& path, png_image& image) {
    image = png_image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    std::vector<uint32_t> pixels(rgb.size() / 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (uint32_t(rgb[i * 3]) << 16) | (uint32_t(rgb[i * 3 + 1]) << 8) | rgb[i * 3 + 2];
    return pixels;
}

// The meters move with the sound the command plays; everything else is the state.
bool onAMeter(int x, int y) {
    for (int32_t tag : {40, 42, 50, 54, 57, 58, 66, 67, 78})
        if (layout::displayFor(tag)->rect.pointInside(CPoint(x, y))) return true;
    return false;
}

} // namespace

TEST(ScreenshotCommand, ThePictureIsTheEditorInThePresetsStateAndMistakesWriteNothing) {
    SettingsSandbox sandbox;
    TempDir dir("orvel-shot");
    const std::string preset = dir.file("gate-off.zuo");
    {
        auto c = DirectHost::create();
        c->setParameter(kTagGate, 0.0f); // the gate's cover shows
        c->setParameter(kTagPreampGain, 0.9f);
        c->setParameter(kTagFilterType, 1.0f);
        c->presetName = "gate off";
        ASSERT_TRUE(c->savePresetFile(preset.c_str()));
    }
    const std::string out = dir.file("editor.png");
    const CommandResult r = runOrvel({"screenshot", out, "--preset", preset});
    ASSERT_EQ(r.status, 0) << r.err;
    png_image image;
    const std::vector<uint32_t> shot = readPng(out, image);
    ASSERT_EQ(std::tuple(image.width, image.height, shot.size()), std::tuple(682u, 425u, 682u * 425u));

    EditorRig rig;
    ASSERT_TRUE(rig.client->loadPresetFile(preset.c_str()));
    ASSERT_TRUE(rig.open());
    rig.idle();
    const COffscreenContext& headless = rig.editor()->getFrame()->offscreen();
    int differing = 0;
    for (int y = 0; y < 425; ++y)
        for (int x = 0; x < 682; ++x)
            if (!onAMeter(x, y) && shot[size_t(y * 682 + x)] != headless.getPixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
    // The gate's cover is drawn, not its knobs: the preset's state is in the picture.
    CBitmap* cover = rig.editor()->getBitmap(1006);
    ASSERT_NE(cover, nullptr);
    EXPECT_EQ(shot[200 * 682 + 40], cover->pixel(40 - 11, 200 - 71) & 0xFFFFFFu);

    // A factory preset by name; what it cannot do writes nothing.
    const CommandResult byName = runOrvel({"screenshot", dir.file("a.png"), "--preset", "tape echo"});
    EXPECT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(runOrvel({"screenshot", dir.file("b.png"), "--preset", "Tape Echoes"}).status, 1);
    EXPECT_EQ(runOrvel({"screenshot"}).status, 2);
    EXPECT_EQ(runOrvel({"screenshot", dir.file("b.png"), dir.file("c.png")}).status, 2);
    EXPECT_EQ(runOrvel({"screenshot", dir.file("b.png"), "--preset", dir.file("none.zuo")}).status, 1);
    EXPECT_EQ(runOrvel({"screenshot", dir.file("no/such/folder/b.png")}).status, 1);
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"a.png", "editor.png", "gate-off.zuo"}));
}
