#include "engine/Dynamics.h"

void Dynamics::controlBlock() {
    gate_.controlBlock();
    preamp_.controlBlock();
    compressor_.controlBlock();
}
