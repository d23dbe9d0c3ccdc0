// FetchedRows: the rows a cached dataset has fetched from its provider, the change log, and the
// one cursor the dataset moves over them. Fetches further packets when a move passes the last
// fetched row, until the provider's data ran out. The packet size and whether to fetch at all are
// the owner's settings, read at every request, so that a change acts from the next request on.
//
// Engine failures throw EDBClient with the engine's text; the fetch callback's failures pass on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "data/engine/ds_base.h"
#include "data/provider/app_server.h"

class FetchedRows {
 public:
  // Asks the provider for `count` rows (-1 = all remaining) and answers the packet and the rows
  // sent.
  using Fetch = std::function<TPacketData(std::int32_t count, std::int32_t& recsOut)>;
  struct Settings {
    std::int32_t packetRecords = -1;  // rows per on-demand packet; 0 stops every further fetch
    bool fetchOnDemand = true;        // off stops every further fetch
  };
  using ReadSettings = std::function<Settings()>;

  // Takes the first packet (REQUIRES: present) and whether the provider's data ran out with it.
  FetchedRows(engine::DSPacket firstPacket, bool endOfData, Fetch fetch, ReadSettings settings);
  ~FetchedRows();

  engine::IDSBase& Base() { return *base_; }
  const engine::IDSBase& Base() const { return *base_; }
  engine::IDSCursor& Cursor() { return *cursor_; }
  const engine::IDSCursor& Cursor() const { return *cursor_; }

  bool EndOfData() const { return endOfData_; }

  // Fetches one packet of `count` rows (-1 = all remaining) unless the data ran out or the
  // settings stop fetching; answers whether a packet was asked for. Keeps the cursor on its row.
  bool FetchMore(std::int32_t count);
  void FetchAll() { FetchMore(-1); }

  // Moves to the next visible row, fetching one packet when the fetched rows are used up.
  // Answers false (cursor at Eof) when there is none.
  bool MoveNext();
  bool MovePrior();
  // First visible row; false when there is none (cursor at Eof).
  bool MoveFirst();
  // Last visible row after fetching all rows; false when there is none.
  bool MoveLast();

  // Installs a compiled filter expression (replacing any installed one) and drops it.
  void SetFilter(std::span<const std::uint8_t> record);
  void DropFilter();
  bool HasFilter() const { return filterId_ != 0; }
  // Makes current the first visible row satisfying the compiled expression; false leaves the
  // cursor where it was.
  bool FindFirst(std::span<const std::uint8_t> record);

  // Throws EDBClient for a failed status.
  void Check(engine::DSStatus status) const;

 private:
  std::unique_ptr<engine::IDSBase> base_;
  std::unique_ptr<engine::IDSCursor> cursor_;
  Fetch fetch_;
  ReadSettings settings_;
  bool endOfData_ = false;
  engine::DSFilterId filterId_ = 0;
};
