// Listener through which the engine announces a change of the host tempo.
#pragma once

class ZuBPMChangeInterface {
public:
    virtual ~ZuBPMChangeInterface() = default;
    virtual void tempoChanged() {}
};
