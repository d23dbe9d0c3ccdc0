// IDSWriter: builds one data packet at a time. Describe the columns once, add dataset
// attributes, then put rows: a row attribute followed by one value per column in column order.
// GetPacket hands the packet back and starts the next one with the same columns and attributes.
// Rows are written straight into the packet's bytes; writing n rows costs O(n) amortised.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/engine/ds_packet.h"
#include "data/engine/ds_types.h"

namespace engine {

class IDSWriter {
 public:
  virtual ~IDSWriter() = default;

  // Fixes the columns (kDSBadColumns when unusable: no column, empty or duplicate names, a size
  // unfit for the type, more than 65535 columns). Discards rows not yet handed back.
  virtual DSStatus DescribeColumns(std::vector<DSColumn> columns) = 0;
  // Adds or replaces a dataset attribute.
  virtual DSStatus AddAttribute(DSAttr attr) = 0;
  // Starts a row with attribute bits (kRowUnchanged for a data packet).
  virtual DSStatus PutRowAttribute(std::uint8_t attribute) = 0;
  // The next column's value in native bytes (see DSType); the value rules of DSRecord::PutField.
  virtual DSStatus PutField(const void* data, std::uint32_t size) = 0;
  virtual DSStatus PutNull() = 0;
  // Only in a row with attribute kRowModified.
  virtual DSStatus PutUnchanged() = 0;
  // Rows completed so far in this packet.
  virtual std::uint32_t RowCount() const = 0;
  // Hands back the packet (kDSWriterState while a row is incomplete or before DescribeColumns).
  virtual DSStatus GetPacket(DSPacket& out) = 0;
  virtual std::string ErrorText(DSStatus status) const = 0;
};

std::unique_ptr<IDSWriter> CreateDSWriter();

}  // namespace engine
