#include "console/key_decoder.h"

namespace mvex {

void KeyQueue::push(KeyCode key) {
  slots_[write_] = key;
  write_ = (write_ + 1) % slots_.size();
  if (write_ == read_) read_ = (read_ + 1) % slots_.size();
}

std::optional<KeyCode> KeyQueue::peek() const {
  if (empty()) return std::nullopt;
  return slots_[read_];
}

std::optional<KeyCode> KeyQueue::pop() {
  if (empty()) return std::nullopt;
  const KeyCode key = slots_[read_];
  read_ = (read_ + 1) % slots_.size();
  return key;
}

EscapeTable::EscapeTable(const std::vector<KeySequence>& sequences) : levels_(1) {
  for (const KeySequence& sequence : sequences) {
    if (sequence.bytes.size() > 1) add(sequence.bytes.substr(1), sequence.key);
  }
  add("[M", kMouseReport);
}

void EscapeTable::add(const std::string& tail, KeyCode key) {
  int level = 0;
  for (size_t i = 0; i < tail.size(); ++i) {
    const auto byte = static_cast<unsigned char>(tail[i]);
    const bool last = i + 1 == tail.size();
    const Step step = find(level, byte);
    if (step.found) {
      // A complete entry ends every match through it, and a shorter sequence would cut off
      // the longer one already entered: the first one entered is kept.
      if (step.next < 0 || last) return;
      level = step.next;
      continue;
    }
    if (last) {
      levels_[level].push_back({byte, key, -1});
      return;
    }
    const int next = static_cast<int>(levels_.size());
    levels_[level].push_back({byte, -1, next});
    levels_.emplace_back();
    level = next;
  }
}

EscapeTable::Step EscapeTable::find(int level, unsigned char byte) const {
  for (const Entry& entry : levels_[level]) {
    if (entry.byte == byte) return {true, entry.key, entry.next};
  }
  return {};
}

namespace {

void discardWaiting(ByteSource& source) {
  while (source.nextByte() >= 0) {
  }
}

std::optional<KeyCode> decodeEscape(ByteSource& source, const EscapeTable& table, int byte) {
  int level = 0;
  for (;;) {
    const EscapeTable::Step step = table.find(level, static_cast<unsigned char>(byte));
    if (!step.found) {
      discardWaiting(source);
      return std::nullopt;
    }
    if (step.next < 0) {
      if (step.key != EscapeTable::kMouseReport) return step.key;
      for (int i = 0; i < 3; ++i) (void)source.nextByte();  // the report's three bytes
      return std::nullopt;
    }
    byte = source.nextByte();
    if (byte < 0) return std::nullopt;
    level = step.next;
  }
}

}  // namespace

std::optional<KeyCode> decodeKey(ByteSource& source, std::optional<EscapeTable>& table,
                                 std::vector<KeySequence> (*makeTable)()) {
  const int byte = source.nextByte();
  if (byte < 0) return std::nullopt;
  if (byte == 127) return 8;
  if (byte == 10) return 13;
  if (byte != 27) return byte;
  const int next = source.nextByte();
  if (next < 0) return 27;
  if (!table) table.emplace(makeTable());
  return decodeEscape(source, *table, next);
}

}  // namespace mvex
