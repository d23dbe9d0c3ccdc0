#include "data/engine/ds_packet.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace engine {

namespace {

// From this size on a packet lives in a mapping of its own: it grows by remapping (no copy, no
// second resident copy) and asks for huge pages, which spares a large fetch thousands of page
// faults.
constexpr std::size_t kMappedFrom = std::size_t{2} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t n, std::size_t unit) {
  return (n + unit - 1) / unit * unit;
}

void Release(std::uint8_t* data, std::size_t capacity) {
  if (data == nullptr) return;
  if (capacity >= kMappedFrom)
    munmap(data, capacity);
  else
    std::free(data);
}

}  // namespace

DSPacket::~DSPacket() {
  Release(data_, capacity_);
}

DSPacket::DSPacket(DSPacket&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      zeroFrom_(std::exchange(other.zeroFrom_, 0)),
      populated_(std::exchange(other.populated_, 0)) {}

DSPacket& DSPacket::operator=(DSPacket&& other) noexcept {
  if (this != &other) {
    Release(data_, capacity_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    zeroFrom_ = std::exchange(other.zeroFrom_, 0);
    populated_ = std::exchange(other.populated_, 0);
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
  if (capacity < kMappedFrom) {
    void* grown = std::realloc(data_, capacity);
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<std::uint8_t*>(grown);
    capacity_ = capacity;
    zeroFrom_ = capacity_;  // realloc'd bytes beyond the size are not known to be zero
    return;
  }
  capacity = RoundUp(capacity, kHugePage);
  void* mapped;
  if (capacity_ >= kMappedFrom) {
    mapped = mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
  } else {
    mapped = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    if (size_) std::memcpy(mapped, data_, size_);
    std::free(data_);
    zeroFrom_ = size_;  // a fresh mapping reads as zeros
  }
  madvise(mapped, capacity, MADV_HUGEPAGE);
  data_ = static_cast<std::uint8_t*>(mapped);
  capacity_ = capacity;
}

std::uint8_t* DSPacket::Grow(std::size_t n) {
  if (n > capacity_ - size_) {
    std::size_t want = capacity_ < 4096 ? 4096 : capacity_ + capacity_ / 2;
    if (want - size_ < n) want = size_ + n;
    Reserve(want);
  }
  if (capacity_ >= kMappedFrom && size_ + n > populated_) Populate(size_ + n);
  std::uint8_t* p = data_ + size_;
  // Bytes of a fresh mapping are zero already; writing them would only fault the pages in early.
  if (size_ < zeroFrom_) std::memset(p, 0, std::min(n, zeroFrom_ - size_));
  size_ += n;
  if (size_ > zeroFrom_) zeroFrom_ = size_;
  return p;
}

void DSPacket::Populate(std::size_t end) {
  // Taking the page faults of a large packet one 4 KiB page at a time costs more than filling
  // it; asking for the next 2 MiB at once lets the kernel map them in bulk. Best effort: a kernel
  // without the request leaves the pages to fault in as before.
  const std::size_t to = std::min(capacity_, RoundUp(end, kHugePage));
  madvise(data_ + populated_, to - populated_, MADV_POPULATE_WRITE);
  populated_ = to;
}

void DSPacket::Append(const void* src, std::size_t n) {
  if (n == 0) return;
  std::memcpy(Grow(n), src, n);
}

}  // namespace engine
