#include "data/engine/ds_packet.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace engine {

DSPacket::~DSPacket() {
  std::free(data_);
}

DSPacket::DSPacket(DSPacket&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

DSPacket& DSPacket::operator=(DSPacket&& other) noexcept {
  if (this != &other) {
    std::free(data_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

DSPacket DSPacket::FromBytes(std::span<const std::uint8_t> bytes) {
  DSPacket p;
  p.Append(bytes.data(), bytes.size());
  return p;
}

DSPacket DSPacket::Clone() const {
  return FromBytes(bytes());
}

void DSPacket::Reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  // realloc lets large buffers be remapped rather than copied, so growth never holds two copies.
  void* grown = std::realloc(data_, capacity);
  if (grown == nullptr) throw std::bad_alloc();
  data_ = static_cast<std::uint8_t*>(grown);
  capacity_ = capacity;
}

std::uint8_t* DSPacket::Grow(std::size_t n) {
  if (n > capacity_ - size_) {
    std::size_t want = capacity_ < 4096 ? 4096 : capacity_ + capacity_ / 2;
    if (want - size_ < n) want = size_ + n;
    Reserve(want);
  }
  std::uint8_t* p = data_ + size_;
  std::memset(p, 0, n);
  size_ += n;
  return p;
}

void DSPacket::Append(const void* src, std::size_t n) {
  if (n == 0) return;
  std::memcpy(Grow(n), src, n);
}

}  // namespace engine
