// Hand-made state layouts for tests: a word list with helpers for the parts
// of the layout, and a plug-in object created directly with a host that can
// pose as the maker's own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "plugin/ZuUniClient.h"

struct StateWords {
    std::vector<int32_t> w;

    StateWords& add(std::initializer_list<int32_t> words) {
        w.insert(w.end(), words);
        return *this;
    }
    StateWords& addFloat(float v) {
        int32_t bits;
        std::memcpy(&bits, &v, 4);
        w.push_back(bits);
        return *this;
    }
    StateWords& addString(const std::string& s) {
        w.push_back(static_cast<int32_t>(s.size()));
        const size_t start = w.size();
        w.resize(start + (s.size() + 3) / 4, 0);
        if (!s.empty()) std::memcpy(&w[start], s.data(), s.size());
        return *this;
    }
    // The nine header words of a current layout (the word count is fixed up by bytes()).
    StateWords& header(int32_t layoutVersion = 4, float tempo = 120.0f) {
        add({0, 4});
        addFloat(tempo).addFloat(44100.0f);
        add({26101977, 5, 1, layoutVersion});
        if (layoutVersion >= 2) add({41});
        return *this;
    }
    StateWords& record(int32_t id, float v) {
        add({id, 1});
        return addFloat(v);
    }
    // The end of parameters, an empty controller map and the name.
    StateWords& emptyMapAndName(const std::string& name) {
        add({-1, -3, 1});
        return addString(name);
    }
    StateWords& currentTail(int32_t program = 0, int32_t folder = 0) {
        add({16, program, folder, 0, -4, 0, 0});
        return addString("Host");
    }
    size_t size() const { return w.size(); }
    std::vector<uint8_t> bytes(bool fixCount = true) const { return prefix(w.size(), fixCount); }
    // The first `count` words only: a layout cut short.
    std::vector<uint8_t> prefix(size_t count, bool fixCount = true) const {
        std::vector<int32_t> c(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(std::min(count, w.size())));
        if (fixCount && !c.empty()) c[0] = static_cast<int32_t>(c.size());
        std::vector<uint8_t> b(c.size() * 4);
        if (!c.empty()) std::memcpy(b.data(), c.data(), b.size());
        return b;
    }
};

inline std::vector<int32_t> wordsOf(const void* data, int32_t bytes) {
    std::vector<int32_t> w(static_cast<size_t>(bytes) / 4);
    if (!w.empty()) std::memcpy(w.data(), data, w.size() * 4);
    return w;
}

inline std::vector<uint8_t> chunkBytes(ZuUniClient& c) {
    void* data = nullptr;
    const VstInt32 bytes = c.getChunk(&data, false);
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + bytes);
}

// The host side of a directly created plug-in: answers its version, can
// name itself as the maker, and records private opcode 50 together with
// whether a load was running when it came.
struct DirectHost {
    static inline std::string vendor = "Other";
    static inline std::vector<float> tempoCalls;
    static inline std::vector<bool> loadRunningAtTempoCall;
    static inline ZuUniClient* client = nullptr;

    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float opt) {
        switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterGetVendorString: std::strcpy(static_cast<char*>(ptr), vendor.c_str()); return 1;
        case audioMasterGetProductString: std::strcpy(static_cast<char*>(ptr), "Test"); return 1;
        case audioMasterBeginEdit:
        case audioMasterEndEdit: return 1; // agreed, so that only the plug-in's own checks refuse one
        case 50:
            tempoCalls.push_back(opt);
            loadRunningAtTempoCall.push_back(client && client->loadInProgress.load());
            return 0;
        default: return 0;
        }
    }
    static std::unique_ptr<ZuUniClient> create(bool maker = false) { return createAs(maker ? "Tamblor" : "Other"); }
    static std::unique_ptr<ZuUniClient> createAs(const std::string& vendorName) {
        vendor = vendorName;
        tempoCalls.clear();
        loadRunningAtTempoCall.clear();
        std::unique_ptr<ZuUniClient> c(static_cast<ZuUniClient*>(createEffectInstance(callback)));
        client = c.get();
        return c;
    }
};
