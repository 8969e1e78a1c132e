#include "state/ZuChunk.h"

#include <cstring>
#include <limits>

#include "gui/Alerts.h"
#include "plugin/ProductIdentity.h"

// Words are kept in the machine's order; every target platform is little-endian.
static_assert(sizeof(float) == 4 && sizeof(int32_t) == 4);

ZuChunk::ZuChunk(const void* data, size_t byteSize)
    : measureOnly(true), bytes_(static_cast<unsigned char*>(const_cast<void*>(data))) {
    const size_t words = data ? byteSize / 4 : 0;
    capacity_ = words > static_cast<size_t>(std::numeric_limits<int32_t>::max())
                    ? std::numeric_limits<int32_t>::max()
                    : static_cast<int32_t>(words);
}

ZuChunk::~ZuChunk() { release(); }

void ZuChunk::release() {
    if (owned_) delete[] bytes_;
    bytes_ = nullptr;
    capacity_ = 0;
    owned_ = false;
}

void ZuChunk::allocate(int32_t wordCount) {
    release();
    if (wordCount < 0) wordCount = 0;
    bytes_ = new unsigned char[static_cast<size_t>(wordCount) * 4 + 4](); // never a zero-length block
    capacity_ = wordCount;
    owned_ = true;
}

bool ZuChunk::readable(int32_t words) {
    if (cursor >= 0 && words >= 0 && words <= capacity_ - cursor) return true;
    overrun_ = true;
    return false;
}

bool ZuChunk::skipWords(int64_t count) {
    if (count < 0 || cursor < 0 || count > static_cast<int64_t>(capacity_) - cursor) {
        overrun_ = true;
        return false;
    }
    cursor += static_cast<int32_t>(count);
    return true;
}

void ZuChunk::writeInt(int32_t v) {
    if (!measureOnly) {
        if (readable(1))
            std::memcpy(bytes_ + 4 * static_cast<size_t>(cursor), &v, 4);
    }
    ++cursor;
}

int32_t ZuChunk::readInt() {
    int32_t v = 0;
    if (readable(1)) {
        std::memcpy(&v, bytes_ + 4 * static_cast<size_t>(cursor), 4);
        ++cursor;
    }
    return v;
}

int32_t ZuChunk::readIntInto(int32_t& out) { return out = readInt(); }

int32_t ZuChunk::readIntOut(int32_t& out) { return out = readInt(); }

float ZuChunk::readFloat() {
    const int32_t bits = readInt();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

void ZuChunk::stepBack() {
    if (cursor > 0) --cursor;
}

void ZuChunk::readQuad(int32_t out[4]) {
    for (int i = 0; i < 4; ++i) readIntInto(out[i]);
}

void ZuChunk::readQuadCleared(int32_t out[4]) {
    std::memset(out, 0, 4 * sizeof(int32_t));
    readQuad(out);
}

void ZuChunk::writeFloat(float v) {
    int32_t bits;
    std::memcpy(&bits, &v, 4);
    writeInt(bits);
}

void ZuChunk::writeString(const char* s) {
    const size_t length = s ? std::strlen(s) : 0;
    if (length == 0) {
        writeInt(0);
        return;
    }
    const int32_t padded = static_cast<int32_t>((length + 3) / 4);
    writeInt(static_cast<int32_t>(length));
    if (!measureOnly) {
        if (!readable(padded)) return;
        std::memcpy(bytes_ + 4 * static_cast<size_t>(cursor), s, length);
    }
    cursor += padded;
}

void ZuChunk::writeBytes(const void* p, int32_t n) {
    const int32_t words = n / 4;
    if (!measureOnly) {
        if (!p || !readable(words)) return;
        std::memcpy(bytes_ + 4 * static_cast<size_t>(cursor), p, static_cast<size_t>(words) * 4);
    }
    cursor += words;
}

std::string ZuChunk::readString() {
    const int32_t length = readInt();
    if (length <= 0) {
        if (length < 0) overrun_ = true; // no valid string has a negative length
        return std::string();
    }
    const int32_t padded = static_cast<int32_t>((static_cast<int64_t>(length) + 3) / 4);
    if (!readable(padded)) return std::string();
    std::string s(reinterpret_cast<const char*>(bytes_ + 4 * static_cast<size_t>(cursor)), static_cast<size_t>(length));
    cursor += padded;
    return s;
}

void ZuChunk::readBytes(void* dst, int32_t n) {
    const int32_t words = n / 4;
    if (!dst || !readable(words)) return;
    std::memcpy(dst, bytes_ + 4 * static_cast<size_t>(cursor), static_cast<size_t>(words) * 4);
    cursor += words;
}

bool ZuChunk::readHeader(bool quiet) {
    rewind();
    readIntInto(totalWords);
    readIntInto(productVersion);
    tempo = readFloat();
    sampleRate = readFloat();
    readIntInto(magic);
    if (overrun_ || magic != kStateMagic) {
        if (!quiet) alertBox("\t This is no valid %s format!", product::kName);
        return false;
    }
    return true;
}
