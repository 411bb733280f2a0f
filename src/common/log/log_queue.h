// Records waiting for the next log call that can write them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace mardonel {

// One heap block: this header, then the text and its terminator.
struct PendingLogRecord {
  PendingLogRecord* next;
  std::int32_t length;  // text bytes
  char* text() { return reinterpret_cast<char*>(this + 1); }
};

struct PendingLogRecordFree {
  void operator()(PendingLogRecord* record) const;
};
using unique_pending_record = std::unique_ptr<PendingLogRecord, PendingLogRecordFree>;

// First in, first out. Past either bound the oldest records are dropped and
// counted, so the queue cannot grow while nothing drains it.
class PendingLogQueue {
 public:
  constexpr PendingLogQueue(std::size_t maxRecords, std::size_t maxBytes)
      : maxRecords_(maxRecords), maxBytes_(maxBytes) {}
  ~PendingLogQueue();
  PendingLogQueue(PendingLogQueue&& other) noexcept;
  PendingLogQueue& operator=(PendingLogQueue&& other) noexcept;

  // Queues the text of a record built by FormatLogRecord (from its byte 2 on).
  // Returns the text bytes queued; 0 for an empty record, which is not kept,
  // and when out of memory (the record is lost).
  int Push(const char* record, int length);
  // The oldest record, or null when the queue is empty.
  unique_pending_record Pop();
  // The oldest record, left in the queue; null when it is empty.
  [[nodiscard]] PendingLogRecord* front() const { return head_; }
  [[nodiscard]] bool empty() const { return head_ == nullptr; }
  // Records dropped since the last TakeDropped.
  [[nodiscard]] std::size_t dropped() const { return dropped_; }
  std::size_t TakeDropped();

 private:
  void Append(PendingLogRecord* record);

  std::size_t maxRecords_;
  std::size_t maxBytes_;
  PendingLogRecord* head_ = nullptr;
  PendingLogRecord* tail_ = nullptr;
  std::size_t records_ = 0;
  std::size_t bytes_ = 0;
  std::size_t dropped_ = 0;
};

inline constexpr std::size_t kMaxPendingLogRecords = 4096;
inline constexpr std::size_t kMaxPendingLogBytes = std::size_t{1024} * 1024;

}  // namespace mardonel
