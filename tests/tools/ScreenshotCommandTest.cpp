// orvel screenshot: the picture of the open editor, taken through the built
// module, is what the editor draws headless for the same state.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

#include "editor/EditorLayout.h"
#include "gui/CBitmap.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"
#include "support/SettingsSandbox.h"
#include "support/StateWords.h"
#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Picture readPng(const std::string& path) {
    Picture p;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return p;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return p;
    p.width = int(image.width);
    p.height = int(image.height);
    p.pixels.resize(size_t(p.width) * size_t(p.height));
    for (size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = (uint32_t(rgb[i * 3]) << 16) | (uint32_t(rgb[i * 3 + 1]) << 8) | rgb[i * 3 + 2];
    return p;
}

// The meters move with the sound the command plays; everything else is the state.
bool onAMeter(int x, int y) {
    for (int32_t tag : {40, 42, 50, 54, 57, 58, 66, 67, 78})
        if (layout::displayFor(tag)->rect.pointInside(CPoint(x, y))) return true;
    return false;
}

} // namespace

TEST(ScreenshotCommand, ThePictureIsTheEditorInThePresetsState) {
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
    const Picture shot = readPng(out);
    ASSERT_EQ(shot.width, 682);
    ASSERT_EQ(shot.height, 425);

    EditorRig rig;
    ASSERT_TRUE(rig.client->loadPresetFile(preset.c_str()));
    ASSERT_TRUE(rig.open());
    rig.idle();
    const COffscreenContext& headless = rig.editor()->getFrame()->offscreen();
    int differing = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (!onAMeter(x, y) && shot.at(x, y) != headless.getPixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
    // The gate's cover is drawn, not its knobs: the preset's state is in the picture.
    CBitmap* cover = rig.editor()->getBitmap(1006);
    ASSERT_NE(cover, nullptr);
    EXPECT_EQ(shot.at(40, 200), cover->pixel(40 - 11, 200 - 71) & 0xFFFFFFu);
}

TEST(ScreenshotCommand, TakesAFactoryPresetByNameAndRefusesWhatItCannotDo) {
    TempDir dir("orvel-shot");
    const CommandResult byName = runOrvel({"screenshot", dir.file("a.png"), "--preset", "tape echo"});
    EXPECT_EQ(byName.status, 0) << byName.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("a.png")));
    const CommandResult unknown = runOrvel({"screenshot", dir.file("b.png"), "--preset", "Tape Echoes"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(contains(unknown.err, "\"Creative/Tape Echo\"")) << unknown.err;
    EXPECT_EQ(runOrvel({"screenshot"}).status, 2);
    EXPECT_EQ(runOrvel({"screenshot", dir.file("b.png"), dir.file("c.png")}).status, 2);
    EXPECT_EQ(runOrvel({"screenshot", dir.file("b.png"), "--preset", dir.file("none.zuo")}).status, 1);
    EXPECT_EQ(runOrvel({"screenshot", dir.file("no/such/folder/b.png")}).status, 1);
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"a.png"});
}
