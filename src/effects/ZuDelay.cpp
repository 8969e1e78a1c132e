#include "effects/ZuDelay.h"

ZuDelay::ZuDelay(EngineContext* context) : ZuEffect(context, 4) {
    if (context_) context_->addTempoListener(static_cast<ZuBPMChangeInterface*>(this));
}

ZuDelay::~ZuDelay() {
    if (context_) context_->removeTempoListener(static_cast<ZuBPMChangeInterface*>(this));
}
