#pragma once
// Reads a fuzzer's bytes as little-endian fields; past the end everything reads as zero, so every
// input, however short, drives a complete run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  size_t Left() const { return Empty() ? 0 : size_ - pos_; }

  uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  uint16_t U16() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
  }
  uint32_t U32() {
    const uint32_t low = U16();
    return low | (uint32_t{U16()} << 16);
  }

  // Up to wanted bytes, fewer at the end; the caller reads them in place.
  const uint8_t* Take(size_t wanted, size_t& taken) {
    taken = wanted < Left() ? wanted : Left();
    const uint8_t* at = data_ + pos_;
    pos_ += taken;
    return at;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// A finding: name it and abort, so that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)
