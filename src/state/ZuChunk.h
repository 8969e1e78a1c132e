// A cursor over the 32-bit little-endian words of a state layout, with a
// measuring mode in which writes only advance the cursor.
//
// The buffer is either owned (allocate()) or borrowed (the constructor that
// takes data and a byte size: a host's chunk or a file read into memory;
// it must outlive the chunk). Every access is bounded by the buffer's size:
// a read past the end returns 0 and a write past the end stores nothing;
// both raise overrun(), which stays raised until the cursor is reset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int32_t kStateMagic = 26101977;
constexpr int32_t kStateHeaderWords = 5;

class ZuChunk {
public:
    ZuChunk() = default;
    ZuChunk(const void* data, size_t byteSize); // borrowed; cursor 0, measureOnly set
    virtual ~ZuChunk();
    ZuChunk(const ZuChunk&) = delete;
    ZuChunk& operator=(const ZuChunk&) = delete;

    virtual void writeInt(int32_t v);
    virtual int32_t readIntInto(int32_t& out);
    virtual float readFloat();
    virtual void stepBack();
    virtual void readQuad(int32_t out[4]);
    virtual void readQuadCleared(int32_t out[4]);
    virtual void writeFloat(float v);
    virtual int32_t readIntOut(int32_t& out);
    virtual int32_t readInt();
    virtual void reserved(int32_t, int32_t) {}
    // Null or empty: the single word 0; otherwise the length and the bytes,
    // zero-padded to whole words.
    virtual void writeString(const char* s);
    virtual void writeBytes(const void* p, int32_t n); // n a multiple of 4
    // The string at the cursor; empty for length 0 or when it runs past the end.
    virtual std::string readString();
    virtual void readBytes(void* dst, int32_t n);

    // The five header words; false (and, unless quiet, an alert) when the
    // magic word is wrong or missing.
    bool readHeader(bool quiet);

    // Replaces the buffer by an owned, zero-filled one of that many words.
    void allocate(int32_t wordCount);
    // Moves the cursor by count words; false (overrun) when that leaves the buffer.
    bool skipWords(int64_t count);
    void rewind() {
        cursor = 0;
        overrun_ = false;
    }

    const void* data() const { return bytes_; }
    int32_t capacityWords() const { return capacity_; }
    int32_t remainingWords() const { return cursor >= 0 && cursor < capacity_ ? capacity_ - cursor : 0; }
    bool overrun() const { return overrun_; }

    int32_t magic = 0;
    int32_t productVersion = 0;
    float tempo = 120.0f;
    float sampleRate = 44100.0f;
    int32_t cursor = 0;
    int32_t totalWords = 0;
    bool measureOnly = false;

private:
    bool readable(int32_t words);
    void release();

    unsigned char* bytes_ = nullptr; // words, possibly unaligned when borrowed
    int32_t capacity_ = 0;           // whole words in the buffer
    bool owned_ = false;
    bool overrun_ = false;
};
