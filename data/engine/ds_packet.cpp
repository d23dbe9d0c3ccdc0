#include "data/engine/ds_packet.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

// The platform's calls for large packets, which live in pages of their own:
//  - MapPages(capacity): fresh zeroed pages, or null;
//  - GrowPages(data, used, old, capacity): the same bytes (the first `used` at least) in
//    `capacity` bytes, the new ones zero; may move; null on failure, the old pages kept;
//  - UnmapPages(data, capacity);
//  - PopulatePages(from, n): best effort, take the page faults of the range in bulk.
#if defined(_WIN32)

#include "base/windows_api.h"

namespace {

// Windows cannot grow a region in place or move it without copying (there is no mremap), so a
// large packet reserves address space well beyond its size and commits pages as it grows: no copy
// until the reservation runs out. Address space is plentiful in 64 bits; only committed pages
// count against memory. Measured under Wine (the only Windows here), growing a buffer to 512 MiB
// in 100-byte appends: realloc 2.8 s, a fresh region and a copy at every growth 1.1 s, reserving
// 8 times the size 0.5 s (two moves), reserving at least 1 GiB 0.3 s (none); to 64 MiB: 210, 140,
// 60 and 40 ms.
// What it gives up: huge pages (Windows grants large pages only to accounts holding the
// lock-pages privilege, and never lets them grow) and populating pages in bulk (nothing like
// MADV_POPULATE_WRITE exists for fresh pages), so a large packet takes its page faults singly.
constexpr std::size_t kMinReservation = std::size_t{1} << 30;

std::size_t ReservationFor(std::size_t capacity) {
  return std::max(kMinReservation, capacity <= SIZE_MAX / 8 ? capacity * 8 : capacity);
}

void* MapPages(std::size_t capacity) {
  void* base = ::VirtualAlloc(nullptr, ReservationFor(capacity), MEM_RESERVE, PAGE_NOACCESS);
  if (base == nullptr) return nullptr;
  if (::VirtualAlloc(base, capacity, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
    ::VirtualFree(base, 0, MEM_RELEASE);
    return nullptr;
  }
  return base;
}

void UnmapPages(void* data, std::size_t /*capacity*/) {
  ::VirtualFree(data, 0, MEM_RELEASE);
}

void* GrowPages(void* data, std::size_t used, std::size_t old, std::size_t capacity) {
  auto* end = static_cast<std::uint8_t*>(data) + old;
  MEMORY_BASIC_INFORMATION next{};
  const bool reservedBeyond = ::VirtualQuery(end, &next, sizeof next) == sizeof next &&
                              next.AllocationBase == data && next.State == MEM_RESERVE &&
                              next.RegionSize >= capacity - old;
  if (reservedBeyond && ::VirtualAlloc(end, capacity - old, MEM_COMMIT, PAGE_READWRITE)) {
    return data;
  }
  void* moved = MapPages(capacity);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved, data, used);
  UnmapPages(data, old);
  return moved;
}

void PopulatePages(void* /*from*/, std::size_t /*n*/) {}

}  // namespace

#else

#include <sys/mman.h>

namespace {

// A mapping of its own grows by remapping (no copy, no second resident copy) and asks for huge
// pages, which spares a large fetch thousands of page faults.
void AdviseHugePages(void* data, std::size_t capacity) {
  madvise(data, capacity, MADV_HUGEPAGE);
}

void* MapPages(std::size_t capacity) {
  void* mapped =
      mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  AdviseHugePages(mapped, capacity);
  return mapped;
}

void UnmapPages(void* data, std::size_t capacity) {
  munmap(data, capacity);
}

void* GrowPages(void* data, std::size_t /*used*/, std::size_t old, std::size_t capacity) {
  void* mapped = mremap(data, old, capacity, MREMAP_MAYMOVE);
  if (mapped == MAP_FAILED) return nullptr;
  AdviseHugePages(mapped, capacity);
  return mapped;
}

void PopulatePages(void* from, std::size_t n) {
  // Best effort: a kernel without the request leaves the pages to fault in one by one.
  madvise(from, n, MADV_POPULATE_WRITE);
}

}  // namespace

#endif

namespace engine {

namespace {

// From this size on a packet lives in pages of its own (above).
constexpr std::size_t kMappedFrom = std::size_t{2} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t n, std::size_t unit) {
  return (n + unit - 1) / unit * unit;
}

void Release(std::uint8_t* data, std::size_t capacity) {
  if (data == nullptr) return;
  if (capacity >= kMappedFrom)
    UnmapPages(data, capacity);
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
    mapped = GrowPages(data_, size_, capacity_, capacity);
    if (mapped == nullptr) throw std::bad_alloc();
  } else {
    mapped = MapPages(capacity);
    if (mapped == nullptr) throw std::bad_alloc();
    if (size_) std::memcpy(mapped, data_, size_);
    std::free(data_);
    zeroFrom_ = size_;  // fresh pages read as zeros
  }
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
  // it; asking for the next 2 MiB at once lets the system map them in bulk.
  const std::size_t to = std::min(capacity_, RoundUp(end, kHugePage));
  PopulatePages(data_ + populated_, to - populated_);
  populated_ = to;
}

void DSPacket::Append(const void* src, std::size_t n) {
  if (n == 0) return;
  std::memcpy(Grow(n), src, n);
}

}  // namespace engine
