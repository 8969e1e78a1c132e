// The layer between the SDK base and the plug-in class.
#pragma once

#include "plugin/AudioEffectX.h"

class ZuPluginBase : public AudioEffectX {
public:
    using AudioEffectX::AudioEffectX;
};
