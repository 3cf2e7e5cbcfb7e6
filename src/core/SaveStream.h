#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

// Little-endian values into a growing buffer: the body of a save file. Each
// subsystem writes its own state with these, so the layout of one part never
// depends on another's.
class SaveWriter {
 public:
  void U8(std::uint8_t value);
  void Bool(bool value) { U8(value ? 1 : 0); }
  void U32(std::uint32_t value);
  void U64(std::uint64_t value);
  void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
  void I64(std::int64_t value) { U64(static_cast<std::uint64_t>(value)); }
  // Bit for bit: NaN payloads, infinities and -0 come back as they were.
  void F64(double value);
  void F32(float value);
  // A length (U32) and the bytes, which may hold anything, zeros included.
  void String(std::string_view value);
  void Bytes(const void* data, std::size_t size);

  const std::vector<std::uint8_t>& Data() const { return data_; }
  std::vector<std::uint8_t> Take() { return std::move(data_); }

 private:
  std::vector<std::uint8_t> data_;
};

// Reads what SaveWriter wrote from bytes that may be damaged or hostile. It
// never reads past the end: the first read that would makes the reader
// failed for good, and every later read returns zero/empty. A count read with
// Count() is refused when the bytes left could not hold that many items, so a
// damaged count never leads to a huge allocation.
class SaveReader {
 public:
  SaveReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit SaveReader(const std::vector<std::uint8_t>& data) : SaveReader(data.data(), data.size()) {}

  std::uint8_t U8();
  // Anything but 0 or 1 fails the reader.
  bool Bool();
  std::uint32_t U32();
  std::uint64_t U64();
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  std::int64_t I64() { return static_cast<std::int64_t>(U64()); }
  double F64();
  float F32();
  // Fails when the stored length is over max_length or over what is left.
  std::string String(std::size_t max_length = SIZE_MAX);
  bool Bytes(void* out, std::size_t size);
  // A U32 count of items that each take at least min_item_bytes.
  std::uint32_t Count(std::size_t min_item_bytes = 1);

  // Marks the reader failed with a reason for the log ("a layer's blend mode
  // is out of range"); the first reason is kept.
  void Fail(std::string_view reason);
  bool Ok() const { return !failed_; }
  const std::string& Error() const { return error_; }
  std::size_t Remaining() const { return failed_ ? 0 : size_ - pos_; }
  bool AtEnd() const { return Remaining() == 0; }

 private:
  const std::uint8_t* Take(std::size_t n);

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool failed_ = false;
  std::string error_;
};

}  // namespace tessel
