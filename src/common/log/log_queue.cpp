#include "log_queue.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace mardonel {

void PendingLogRecordFree::operator()(PendingLogRecord* record) const {
  record->~PendingLogRecord();
  std::free(record);
}

PendingLogQueue::~PendingLogQueue() {
  while (Pop()) {
  }
}

PendingLogQueue::PendingLogQueue(PendingLogQueue&& other) noexcept
    : maxRecords_(other.maxRecords_),
      maxBytes_(other.maxBytes_),
      head_(std::exchange(other.head_, nullptr)),
      tail_(std::exchange(other.tail_, nullptr)),
      records_(std::exchange(other.records_, 0)),
      bytes_(std::exchange(other.bytes_, 0)),
      dropped_(std::exchange(other.dropped_, 0)) {}

// What this queue held goes with `other`.
PendingLogQueue& PendingLogQueue::operator=(PendingLogQueue&& other) noexcept {
  std::swap(maxRecords_, other.maxRecords_);
  std::swap(maxBytes_, other.maxBytes_);
  std::swap(head_, other.head_);
  std::swap(tail_, other.tail_);
  std::swap(records_, other.records_);
  std::swap(bytes_, other.bytes_);
  std::swap(dropped_, other.dropped_);
  return *this;
}

int PendingLogQueue::Push(const char* record, int length) {
  // An empty record would write nothing but could push real ones out.
  if (length <= 2) return 0;
  const std::size_t textLength = static_cast<std::size_t>(length - 2);
  void* block = std::malloc(sizeof(PendingLogRecord) + textLength + 1);
  if (block == nullptr) return 0;
  auto* node = new (block) PendingLogRecord{nullptr, static_cast<std::int32_t>(textLength)};
  std::memcpy(node->text(), record + 2, textLength);
  node->text()[textLength] = '\0';

  while (head_ != nullptr && (records_ >= maxRecords_ || bytes_ + textLength > maxBytes_)) {
    Pop();
    ++dropped_;
  }
  Append(node);
  return static_cast<int>(textLength);
}

void PendingLogQueue::Append(PendingLogRecord* record) {
  if (tail_ == nullptr) {
    head_ = record;
  } else {
    tail_->next = record;
  }
  tail_ = record;
  ++records_;
  bytes_ += static_cast<std::size_t>(record->length);
}

unique_pending_record PendingLogQueue::Pop() {
  unique_pending_record record(head_);
  if (record) {
    head_ = record->next;
    if (head_ == nullptr) tail_ = nullptr;
    record->next = nullptr;
    --records_;
    bytes_ -= static_cast<std::size_t>(record->length);
  }
  return record;
}

std::size_t PendingLogQueue::TakeDropped() {
  const std::size_t dropped = dropped_;
  dropped_ = 0;
  return dropped;
}

}  // namespace mardonel
