#include "core/SaveStream.h"

#include <cstring>

namespace tessel {

void SaveWriter::U8(std::uint8_t value) { data_.push_back(value); }

void SaveWriter::U32(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) data_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void SaveWriter::U64(std::uint64_t value) {
  for (int i = 0; i < 8; ++i) data_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void SaveWriter::F64(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  U64(bits);
}

void SaveWriter::F32(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  U32(bits);
}

void SaveWriter::String(std::string_view value) {
  U32(static_cast<std::uint32_t>(value.size()));
  Bytes(value.data(), value.size());
}

void SaveWriter::Bytes(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  data_.insert(data_.end(), bytes, bytes + size);
}

const std::uint8_t* SaveReader::Take(std::size_t n) {
  if (failed_) return nullptr;
  if (n > size_ - pos_) {
    Fail("the file ends too early");
    return nullptr;
  }
  const std::uint8_t* at = data_ + pos_;
  pos_ += n;
  return at;
}

std::uint8_t SaveReader::U8() {
  const std::uint8_t* at = Take(1);
  return at ? *at : 0;
}

bool SaveReader::Bool() {
  std::uint8_t value = U8();
  if (value > 1) Fail("a flag holds neither 0 nor 1");
  return value == 1;
}

std::uint32_t SaveReader::U32() {
  const std::uint8_t* at = Take(4);
  if (!at) return 0;
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(at[i]) << (8 * i);
  return value;
}

std::uint64_t SaveReader::U64() {
  const std::uint8_t* at = Take(8);
  if (!at) return 0;
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
  return value;
}

double SaveReader::F64() {
  std::uint64_t bits = U64();
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

float SaveReader::F32() {
  std::uint32_t bits = U32();
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string SaveReader::String(std::size_t max_length) {
  std::uint32_t length = U32();
  if (!Ok()) return {};
  if (length > max_length) {
    Fail("a text is longer than allowed");
    return {};
  }
  const std::uint8_t* at = Take(length);
  return at ? std::string(reinterpret_cast<const char*>(at), length) : std::string();
}

bool SaveReader::Bytes(void* out, std::size_t size) {
  const std::uint8_t* at = Take(size);
  if (!at) return false;
  if (size > 0) std::memcpy(out, at, size);
  return true;
}

std::uint32_t SaveReader::Count(std::size_t min_item_bytes) {
  std::uint32_t count = U32();
  if (!Ok()) return 0;
  if (min_item_bytes == 0) min_item_bytes = 1;
  if (count > Remaining() / min_item_bytes) {
    Fail("a count is larger than the file could hold");
    return 0;
  }
  return count;
}

void SaveReader::Fail(std::string_view reason) {
  if (failed_) return;
  failed_ = true;
  error_ = reason;
}

}  // namespace tessel
