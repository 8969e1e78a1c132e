#include "effects/ZuReverb.h"

ZuReverb::ZuReverb(EngineContext* context) : ZuEffect(context, 5) {}

ZuReverb::~ZuReverb() = default;
