// The open editor's pixels as the host's window shows them, for pictures
// of the editor taken without a display.
#pragma once

#include <cstdint>

class AudioEffect;

// Draws what is pending and copies the frame (rows of 0x00RRGGBB, width x
// height) into pixels. False when the plug-in's editor is not open or the
// size is not the editor's.
bool snapshotEditor(AudioEffect* effect, uint32_t* pixels, int32_t width, int32_t height);
