#include "effects/EffectFilter.h"

EffectFilter::EffectFilter(EngineContext* context, BufferRegistry* registry)
    : context_(context), registry_(registry) {
    // Only the signal history is cleared by suspend; g and q are settings.
    if (registry_) {
        registry_->add(&low, sizeof(low));
        registry_->add(&high, sizeof(high));
        registry_->add(&band, sizeof(band));
    }
}

EffectFilter::~EffectFilter() {
    if (registry_) {
        registry_->remove(&low);
        registry_->remove(&high);
        registry_->remove(&band);
    }
}
