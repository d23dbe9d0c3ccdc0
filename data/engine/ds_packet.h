// DSPacket: the bytes of one data packet, delta or results packet. Move-only owner of its buffer
// (malloc'd while small, pages of its own once large), so that a packet grows in place (large
// buffers are remapped on Linux, committed from reserved address space on Windows, not copied) and
// a dataset can take a packet's rows over without copying them. The bytes are opaque outside the
// engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace engine {

class DSPacket {
 public:
  DSPacket() = default;
  ~DSPacket();
  DSPacket(DSPacket&& other) noexcept;
  DSPacket& operator=(DSPacket&& other) noexcept;
  DSPacket(const DSPacket&) = delete;
  DSPacket& operator=(const DSPacket&) = delete;

  // A packet holding a copy of `bytes` (for packets that arrive from outside).
  static DSPacket FromBytes(std::span<const std::uint8_t> bytes);
  DSPacket Clone() const;

  const std::uint8_t* data() const { return data_; }
  std::uint8_t* data() { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

  // Appends `n` zero bytes and returns a pointer to them; grows geometrically.
  // Throws std::bad_alloc when memory runs out.
  std::uint8_t* Grow(std::size_t n);
  void Append(const void* src, std::size_t n);
  void Reserve(std::size_t capacity);
  void Clear() { size_ = 0; }
  // Drops the bytes from `n` on; keeps the capacity.
  void Truncate(std::size_t n) {
    if (n < size_) size_ = n;
  }

 private:
  void Populate(std::size_t end);

  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t zeroFrom_ = 0;   // the bytes from here to the capacity are known to be zero
  std::size_t populated_ = 0;  // a mapping's bytes up to here have been asked for in bulk
};

}  // namespace engine
