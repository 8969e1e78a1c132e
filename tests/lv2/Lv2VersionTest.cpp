// The LV2 bundle loaded through lilv, as LV2 hosts load it, against the VST
// module through VSTPluginMain: the same input, parameters, tempo and MIDI
// give the same output sample for sample, the state words survive a save
// and restore, and the bundle's presets load under their names.
#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "params/ParameterTable.h"
#include "params/ParameterTags.h"
#include "plugin/lv2/Lv2Ports.h"
#include "plugin/lv2/Lv2UiLink.h"
#include "plugin/lv2/Lv2Uris.h"
#include "support/EngineFixtures.h"
#include "support/MidiEvents.h"
#include "support/StateWords.h"

namespace {

constexpr double kRate = 44100.0;
constexpr uint32_t kBlock = 256;
constexpr uint32_t kBlocks = 16;
constexpr float kTempo = 97.0f;

struct UridMap {
    std::vector<std::string> uris;
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) -> LV2_URID {
                         auto& u = static_cast<UridMap*>(h)->uris;
                         for (size_t i = 0; i < u.size(); ++i)
                             if (u[i] == uri) return LV2_URID(i + 1);
                         u.emplace_back(uri);
                         return LV2_URID(u.size());
                     }};
    LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature* features[2] = {&mapFeature, nullptr};
};

// Port values away from the defaults: a selector in its middle state, the
// tempo-synced LFO, the delay and a learned master.
std::vector<std::pair<const char*, float>> kSettings = {
    {"filter_type", 1.0f}, {"filter_sig_flow", 2.0f}, {"filter_cutoff", 0.4f}, {"lfo_power", 1.0f},
    {"syncmode", 1.0f},    {"lfo_speed", 0.9f},       {"lfo_amount", 0.5f},    {"dly_level", 0.6f},
    {"delay_power", 1.0f}, {"dly_time", 0.1f},        {"master", 0.3f},
};
constexpr int32_t kMasterController = 20;
constexpr uint32_t kControllerFrame = 3 * kBlock + 100;

class Lv2Plugin {
public:
    Lv2Plugin() {
        world_ = lilv_world_new();
        LilvNode* bundle = lilv_new_file_uri(world_, nullptr, ORVEL_LV2_BUNDLE "/");
        lilv_world_load_bundle(world_, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world_, ORVEL_LV2_URI);
        plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
        lilv_node_free(uri);
        if (plugin_) instance_ = lilv_plugin_instantiate(plugin_, kRate, urids_.features);
        if (!instance_) return;
        controls_.resize(lilv_plugin_get_num_ports(plugin_));
        lilv_plugin_get_port_ranges_float(plugin_, nullptr, nullptr, controls_.data()); // the defaults
        for (uint32_t p = lv2port::kFirstParameter; p < controls_.size(); ++p)
            lilv_instance_connect_port(instance_, p, &controls_[p]);
        sequence_.resize(8192);
        lilv_instance_connect_port(instance_, lv2port::kControl, sequence_.data());
        state_ = static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
        lilv_instance_activate(instance_);
    }
    ~Lv2Plugin() {
        if (instance_) {
            lilv_instance_deactivate(instance_);
            lilv_instance_free(instance_);
        }
        lilv_world_free(world_);
    }

    bool valid() const { return instance_ && state_; }
    AEffect* effect() { return static_cast<Lv2UiLink*>(lilv_instance_get_handle(instance_))->effect; }
    float& control(const char* symbol) {
        LilvNode* s = lilv_new_string(world_, symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin_, s);
        lilv_node_free(s);
        return controls_.at(port ? lilv_port_get_index(plugin_, port) : 0);
    }

    // One block; a tempo and transport position first when asked, then the MIDI events.
    void run(const float* inL, const float* inR, float* outL, float* outR, bool position,
             const std::vector<std::pair<uint32_t, std::array<uint8_t, 3>>>& midi) {
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, &urids_.map);
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(sequence_.data()), sequence_.size() * 8);
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
        if (position) {
            LV2_Atom_Forge_Frame object;
            lv2_atom_forge_frame_time(&forge, 0);
            lv2_atom_forge_object(&forge, &object, 0, uris_.timePosition);
            lv2_atom_forge_key(&forge, uris_.timeBpm);
            lv2_atom_forge_float(&forge, kTempo);
            lv2_atom_forge_key(&forge, uris_.timeSpeed);
            lv2_atom_forge_float(&forge, 1.0f);
            lv2_atom_forge_pop(&forge, &object);
        }
        for (const auto& [at, bytes] : midi) {
            lv2_atom_forge_frame_time(&forge, at);
            lv2_atom_forge_atom(&forge, 3, uris_.midiEvent);
            lv2_atom_forge_write(&forge, bytes.data(), 3);
        }
        lv2_atom_forge_pop(&forge, &frame);
        lilv_instance_connect_port(instance_, lv2port::kInLeft, const_cast<float*>(inL));
        lilv_instance_connect_port(instance_, lv2port::kInRight, const_cast<float*>(inR));
        lilv_instance_connect_port(instance_, lv2port::kOutLeft, outL);
        lilv_instance_connect_port(instance_, lv2port::kOutRight, outR);
        lilv_instance_run(instance_, kBlock);
    }

    // The words the plug-in's state interface stores.
    std::vector<uint8_t> stateBytes() {
        std::vector<uint8_t> bytes;
        state_->save(
            lilv_instance_get_handle(instance_),
            [](LV2_State_Handle h, uint32_t, const void* value, size_t size, uint32_t, uint32_t) {
                auto* out = static_cast<std::vector<uint8_t>*>(h);
                out->assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
                return LV2_STATE_SUCCESS;
            },
            &bytes, 0, nullptr);
        return bytes;
    }
    LV2_State_Status restoreBytes(const std::vector<uint8_t>& bytes, uint32_t type) {
        std::pair<const std::vector<uint8_t>*, uint32_t> blob{&bytes, type};
        return state_->restore(
            lilv_instance_get_handle(instance_),
            [](LV2_State_Handle h, uint32_t, size_t* size, uint32_t* t, uint32_t* flags) -> const void* {
                const auto& [b, blobType] = *static_cast<decltype(blob)*>(h);
                *size = b->size();
                *t = blobType;
                *flags = LV2_STATE_IS_POD;
                return b->data();
            },
            &blob, 0, nullptr);
    }
    uint32_t chunkType() { return uris_.atomChunk; }

    // Every preset the bundle offers, applied as a host applies it: label and the
    // name the plug-in then gives its program.
    std::vector<std::pair<std::string, std::string>> applyPresets() {
        std::vector<std::pair<std::string, std::string>> names;
        LilvNode* presetClass = lilv_new_uri(world_, LV2_PRESETS__Preset);
        LilvNodes* presets = lilv_plugin_get_related(plugin_, presetClass);
        LILV_FOREACH (nodes, i, presets) {
            const LilvNode* preset = lilv_nodes_get(presets, i);
            lilv_world_load_resource(world_, preset);
            LilvState* state = lilv_state_new_from_world(world_, &urids_.map, preset);
            const char* label = state ? lilv_state_get_label(state) : nullptr;
            names.push_back({label ? label : lilv_node_as_uri(preset), "(no state)"});
            if (!state) continue;
            lilv_state_restore(state, instance_, nullptr, nullptr, 0, nullptr);
            lilv_state_free(state);
            char name[64] = {};
            effect()->dispatcher(effect(), effGetProgramName, 0, 0, name, 0.0f);
            names.back().second = name;
        }
        lilv_nodes_free(presets);
        lilv_node_free(presetClass);
        return names;
    }

private:
    UridMap urids_;
    Lv2Uris uris_{&urids_.map};
    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    LilvInstance* instance_ = nullptr;
    const LV2_State_Interface* state_ = nullptr;
    std::vector<float> controls_;
    std::vector<uint64_t> sequence_;
};

// A state with master at 0.8 (record 11) and master learned to the controller.
std::vector<uint8_t> masterLearned() {
    StateWords s;
    s.header().add({11, 1}).addFloat(0.8f).add({-1, kMasterController, 0, 0, -2});
    s.add({-3, 1}).addString("midi");
    return s.currentTail().bytes();
}

TEST(Lv2Version, SoundsAndStoresAsTheVstModuleDoesRestoresTheWordsElsewhereAndTakesThePresets) {
    Lv2Plugin lv2;
    ASSERT_TRUE(lv2.valid()) << "no plug-in in " ORVEL_LV2_BUNDLE;
    TestHost vst;
    ASSERT_NE(vst.open(), nullptr);
    vst.provideTime = true;
    vst.timeInfo.tempo = kTempo;
    vst.timeInfo.flags = kVstTempoValid | kVstTransportPlaying;
    vst.dispatch(effSetSampleRate, 0, 0, nullptr, float(kRate));
    vst.dispatch(effSetBlockSize, 0, kBlock);
    vst.dispatch(effMainsChanged, 0, 1);

    for (const auto& [symbol, value] : kSettings) lv2.control(symbol) = value;
    // The VST parameters take the same values as a host would set them: a
    // switch's port names a state (a selector's 1 is 0.5), and a switch
    // already in that state keeps its stored value.
    std::array<float, kMaxTag> cells{};
    ParameterTable table(cells.data());
    for (int32_t i = 0; i < int32_t(lv2port::kParameterCount); ++i) {
        const ParameterRecord& r = *table.byHostIndex(i);
        const int32_t positions = r.style == kStyleSwitch ? r.positions : 0;
        const float port = lv2.control(r.name);
        const float target = positions == 3 ? port / 2.0f : port;
        const float current = vst.getParameter(i);
        auto state = [positions](float v) { return int(std::min(float(positions - 1), float(positions) * v)); };
        if (positions ? state(current) != state(target) : current != target) vst.setParameter(i, target);
    }

    const uint32_t n = kBlock * kBlocks;
    const std::vector<float> inL = testSignal(n, 0.4f), inR = sineWave(n, 0.4f, 331.0f / float(kRate));
    std::vector<float> lv2L(n), lv2R(n), vstL(n), vstR(n);
    const std::array<uint8_t, 3> controller = {0xB0, uint8_t(kMasterController), 127};
    for (uint32_t b = 0; b < kBlocks; ++b) {
        const uint32_t at = b * kBlock;
        if (b == 1) {
            // A host restore of a state that teaches master to controller 20.
            const std::vector<uint8_t> learned = masterLearned();
            ASSERT_EQ(lv2.restoreBytes(learned, lv2.chunkType()), LV2_STATE_SUCCESS);
            vst.dispatch(effSetChunk, 0, VstIntPtr(learned.size()), const_cast<uint8_t*>(learned.data()));
        }
        std::vector<std::pair<uint32_t, std::array<uint8_t, 3>>> midi;
        MidiEvents events;
        if (at <= kControllerFrame && kControllerFrame < at + kBlock) {
            midi.push_back({kControllerFrame - at, controller});
            events.midi(controller[0], controller[1], controller[2], VstInt32(kControllerFrame - at));
            vst.dispatch(effProcessEvents, 0, 0, events.get());
        }
        lv2.run(&inL[at], &inR[at], &lv2L[at], &lv2R[at], b == 0, midi);
        float* ins[2] = {const_cast<float*>(&inL[at]), const_cast<float*>(&inR[at])};
        float* outs[2] = {&vstL[at], &vstR[at]};
        vst.processReplacing(ins, outs, VstInt32(kBlock));
    }

    EXPECT_NE(vst.getParameter(kTagMaster), 0.8f) << "the controller did not reach master";
    EXPECT_EQ(lv2.effect()->getParameter(lv2.effect(), kTagMaster), vst.getParameter(kTagMaster));
    EXPECT_GT(*std::max_element(vstL.begin(), vstL.end()), 0.01f);
    for (uint32_t i = 0; i < n; ++i) {
        ASSERT_EQ(lv2L[i], vstL[i]) << "left, sample " << i;
        ASSERT_EQ(lv2R[i], vstR[i]) << "right, sample " << i;
    }
    const std::vector<uint8_t> words = lv2.stateBytes();
    EXPECT_EQ(words, vst.chunk());
    vst.dispatch(effMainsChanged, 0, 0);

    // The words restore into another instance. The host's tempo is the engine's, and the
    // words carry it: the same in both instances. (jalv's check saves them through lilv's Turtle.)
    Lv2Plugin restored;
    ASSERT_TRUE(restored.valid());
    std::vector<float> silence(kBlock), out(kBlock);
    restored.run(silence.data(), silence.data(), out.data(), out.data(), true, {});
    ASSERT_EQ(restored.restoreBytes(words, restored.chunkType()), LV2_STATE_SUCCESS);
    // The host then sets its ports from its copy of the state (master still says 0.3, the
    // words what the controller made it): taken as they are, not as moves over the restored words.
    for (const auto& [symbol, value] : kSettings) restored.control(symbol) = value;
    restored.run(silence.data(), silence.data(), out.data(), out.data(), false, {});
    EXPECT_EQ(restored.stateBytes(), words);

    // A blob of another type, or words that are no state, change nothing and are refused.
    EXPECT_EQ(restored.restoreBytes(words, restored.chunkType() + 1000), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(restored.restoreBytes(std::vector<uint8_t>(64, 7), restored.chunkType()), LV2_STATE_ERR_UNKNOWN);
    restored.run(silence.data(), silence.data(), out.data(), out.data(), false, {});
    EXPECT_EQ(restored.stateBytes(), words);

    // The bundle's factory presets, each taken under its own name.
    const auto names = restored.applyPresets();
    EXPECT_GE(names.size(), 16u);
    for (const auto& [label, programName] : names) EXPECT_EQ(programName, label);
}

} // namespace
