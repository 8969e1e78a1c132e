// The LV2 user interface: the plug-in's own editor, opened in the host's
// window on the instance it reaches through instance-access. This binary
// holds no editor code; it drives the editor through the effect record.
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "plugin/lv2/Lv2Ports.h"
#include "plugin/lv2/Lv2UiLink.h"
#include "plugin/lv2/Lv2Uris.h"
#include "plugin/vst24.h"

namespace {

class Lv2Ui {
public:
    Lv2Ui(Lv2UiLink& link, LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : link_(link), write_(write), controller_(controller), touch_(touch) {
        known_.fill(std::numeric_limits<float>::quiet_NaN()); // the first idle tells the host every value
        sink_.context = this;
        sink_.automate = [](void* c, int32_t index, float) { static_cast<Lv2Ui*>(c)->tellHost(index); };
        sink_.gesture = [](void* c, int32_t index, bool begin) { static_cast<Lv2Ui*>(c)->gesture(index, begin); };
    }

    bool open(void* parent) {
        open_ = dispatch(effEditOpen, parent) != 0;
        if (open_) link_.sink.store(&sink_, std::memory_order_release);
        return open_;
    }

    ~Lv2Ui() {
        link_.sink.store(nullptr, std::memory_order_release);
        if (open_) dispatch(effEditClose, nullptr);
    }

    // A value the host sets: the parameter follows at once, so the next idle
    // does not send the old value back.
    void portEvent(uint32_t port, float value) {
        if (port < lv2port::kFirstParameter || port >= lv2port::kCount) return;
        const auto index = int32_t(port - lv2port::kFirstParameter);
        link_.applyPortValue(&link_, index, value);
        known_[size_t(index)] = link_.portValue(&link_, index);
    }

    // Runs the editor, then tells the host whatever changed outside the
    // editor's own gestures (a preset from the editor's menu, a learned
    // controller, a restored state).
    int idle() {
        dispatch(effEditIdle, nullptr);
        for (int32_t i = 0; i < int32_t(lv2port::kParameterCount); ++i) tellHost(i);
        return 0;
    }

    uintptr_t window() const { return link_.editorWindow(&link_); }

    ERect* rect() {
        ERect* r = nullptr;
        dispatch(effEditGetRect, &r);
        return r;
    }

private:
    VstIntPtr dispatch(VstInt32 opcode, void* ptr) { return link_.effect->dispatcher(link_.effect, opcode, 0, 0, ptr, 0.0f); }

    void tellHost(int32_t index) {
        if (std::this_thread::get_id() != thread_ || index < 0 || index >= int32_t(lv2port::kParameterCount)) return;
        float value = link_.portValue(&link_, index);
        if (value == known_[size_t(index)]) return;
        known_[size_t(index)] = value;
        write_(controller_, lv2port::kFirstParameter + uint32_t(index), sizeof value, 0, &value);
    }

    void gesture(int32_t index, bool begin) {
        if (std::this_thread::get_id() != thread_) return;
        if (!begin) tellHost(index);
        if (touch_) touch_->touch(touch_->handle, lv2port::kFirstParameter + uint32_t(index), begin);
    }

    Lv2UiLink& link_;
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Touch* touch_;
    Lv2UiSink sink_;
    std::array<float, lv2port::kParameterCount> known_{};
    const std::thread::id thread_ = std::this_thread::get_id();
    bool open_ = false;
};

template <typename F> auto guarded(F f, decltype(f()) failure) noexcept -> decltype(f()) {
    try {
        return f();
    } catch (...) {
        return failure;
    }
}

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if (std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    return guarded(
        [&]() -> LV2UI_Handle {
            void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
            auto* link = static_cast<Lv2UiLink*>(const_cast<void*>(feature(features, LV2_INSTANCE_ACCESS_URI)));
            if (!parent || !link || !write || std::strcmp(pluginUri, ORVEL_LV2_URI) != 0) return nullptr;
            auto* ui = new Lv2Ui(*link, write, controller,
                                 static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch)));
            // An editor without a window of its own (no display) is no use to the host.
            const uintptr_t window = ui->open(parent) ? ui->window() : 0;
            if (!window) {
                delete ui;
                return nullptr;
            }
            *widget = reinterpret_cast<LV2UI_Widget>(window);
            const auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize));
            if (const ERect* r = ui->rect(); r && resize)
                resize->ui_resize(resize->handle, r->right - r->left, r->bottom - r->top);
            return ui;
        },
        nullptr);
}

void cleanup(LV2UI_Handle h) {
    guarded([&] { return delete static_cast<Lv2Ui*>(h), 0; }, 0);
}

void portEvent(LV2UI_Handle h, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || !buffer) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    if (std::isnan(value)) return;
    guarded([&] { return static_cast<Lv2Ui*>(h)->portEvent(port, value), 0; }, 0);
}

int idle(LV2UI_Handle h) {
    return guarded([&] { return static_cast<Lv2Ui*>(h)->idle(); }, 1);
}

const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface idleInterface = {idle};
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor = {ORVEL_LV2_UI_URI, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
