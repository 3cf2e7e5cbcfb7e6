#include "app/save/SaveFile.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/SaveStream.h"

namespace tessel {
namespace {

constexpr char kMagic[8] = {'T', 'S', 'A', 'V', 'E', '\r', '\n', '\x1a'};
// Nothing in a save is this large; a bigger count is damage.
constexpr std::size_t kMaxThumbnailSide = 1024;
constexpr std::size_t kMaxText = 1 << 16;

void (*g_before_rename)() = nullptr;
bool g_fail_writes = false;

std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (size > 0) {
    const uInt step = size > (1u << 30) ? (1u << 30) : static_cast<uInt>(size);
    crc = crc32(crc, data, step);
    data += step;
    size -= step;
  }
  return static_cast<std::uint32_t>(crc);
}

void WriteThumbnail(SaveWriter& out, const SaveThumbnail& picture) {
  const bool present = !picture.Empty() &&
                       picture.rgb.size() == static_cast<std::size_t>(picture.width) * picture.height * 3;
  out.U32(present ? picture.width : 0);
  out.U32(present ? picture.height : 0);
  if (!present) return;
  uLongf packed_size = compressBound(picture.rgb.size());
  std::vector<std::uint8_t> packed(packed_size);
  compress2(packed.data(), &packed_size, picture.rgb.data(), picture.rgb.size(), 6);
  packed.resize(packed_size);
  out.String(std::string_view(reinterpret_cast<const char*>(packed.data()), packed.size()));
}

bool ReadThumbnail(SaveReader& in, SaveThumbnail& picture) {
  const std::uint32_t width = in.U32();
  const std::uint32_t height = in.U32();
  if (width == 0 || height == 0) return in.Ok();
  if (width > kMaxThumbnailSide || height > kMaxThumbnailSide) {
    in.Fail("the thumbnail's size is out of range");
    return false;
  }
  const std::string packed = in.String();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  uLongf size = rgb.size();
  if (!in.Ok() || uncompress(rgb.data(), &size, reinterpret_cast<const Bytef*>(packed.data()),
                             packed.size()) != Z_OK ||
      size != rgb.size()) {
    in.Fail("the thumbnail is damaged");
    return false;
  }
  picture = {static_cast<int>(width), static_cast<int>(height), std::move(rgb)};
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeSaveFile(const SaveFileContent& content) {
  SaveWriter payload;
  payload.String(content.summary.title);
  payload.I64(content.summary.time);
  payload.String(content.summary.file);
  payload.I32(content.summary.line);
  WriteThumbnail(payload, content.thumbnail);
  payload.U32(static_cast<std::uint32_t>(content.chunks.size()));
  for (const SaveChunk& chunk : content.chunks) {
    payload.String(chunk.tag);
    payload.String(std::string_view(reinterpret_cast<const char*>(chunk.bytes.data()), chunk.bytes.size()));
  }
  return FrameSavePayload(content.game_id, content.engine_version, payload.Data());
}

std::vector<std::uint8_t> FrameSavePayload(const std::string& game_id, const std::string& engine_version,
                                           const std::vector<std::uint8_t>& body) {
  SaveWriter file;
  file.Bytes(kMagic, sizeof kMagic);
  file.U32(kSaveFormatVersion);
  file.String(game_id);
  file.String(engine_version);
  file.U32(Crc(body.data(), body.size()));
  file.U64(body.size());
  file.Bytes(body.data(), body.size());
  return file.Take();
}

std::optional<SaveFileContent> DecodeSaveFile(const std::vector<std::uint8_t>& bytes,
                                              const std::string& expected_game_id,
                                              std::string& why) {
  SaveReader header(bytes);
  char magic[sizeof kMagic] = {};
  if (!header.Bytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
    why = "it is not a save file (wrong magic)";
    return std::nullopt;
  }
  SaveFileContent content;
  const std::uint32_t version = header.U32();
  content.game_id = header.String(kMaxText);
  content.engine_version = header.String(kMaxText);
  const std::uint32_t crc = header.U32();
  const std::uint64_t length = header.U64();
  if (!header.Ok() || length > header.Remaining()) {
    why = "the file is truncated";
    return std::nullopt;
  }
  if (version > kSaveFormatVersion || version == 0) {
    why = "it was written in format " + std::to_string(version) + " by Tessel " +
          content.engine_version + ", newer than this engine reads (" +
          std::to_string(kSaveFormatVersion) + ")";
    return std::nullopt;
  }
  const std::uint8_t* body = bytes.data() + (bytes.size() - header.Remaining());
  if (length != header.Remaining() || Crc(body, length) != crc) {
    why = "its checksum does not match: the file is damaged";
    return std::nullopt;
  }
  if (!expected_game_id.empty() && content.game_id != expected_game_id) {
    why = "it belongs to another game ('" + content.game_id + "', this is '" + expected_game_id + "')";
    return std::nullopt;
  }
  SaveReader in(body, length);
  content.summary.title = in.String(kMaxText);
  content.summary.time = in.I64();
  content.summary.file = in.String(kMaxText);
  content.summary.line = in.I32();
  ReadThumbnail(in, content.thumbnail);
  const std::uint32_t count = in.Count(8);
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
    SaveChunk chunk;
    chunk.tag = in.String(kMaxText);
    const std::string data = in.String();
    chunk.bytes.assign(data.begin(), data.end());
    content.chunks.push_back(std::move(chunk));
  }
  if (!in.Ok() || !in.AtEnd()) {
    why = in.Ok() ? "bytes follow its last section" : in.Error();
    if (why.empty()) why = "its body is malformed";
    return std::nullopt;
  }
  return content;
}

void SetBeforeRenameHook(void (*hook)()) { g_before_rename = hook; }
void SetFailWrites(bool fail) { g_fail_writes = fail; }

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         std::string& why) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    why = std::string("cannot create a file in ") + folder.string() + ": " + std::strerror(errno);
    return false;
  }
  std::FILE* file = fdopen(fd, "wb");
  bool ok = file != nullptr && !g_fail_writes &&
            std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
            std::fflush(file) == 0 && fsync(fd) == 0;
  const int write_error = g_fail_writes ? ENOSPC : errno;
  if (file != nullptr) {
    ok = std::fclose(file) == 0 && ok;
  } else {
    close(fd);
  }
  if (ok && g_before_rename != nullptr) g_before_rename();
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    why = std::string("writing it failed: ") + std::strerror(ok ? errno : write_error);
    std::remove(temp.c_str());
    return false;
  }
  // The rename itself is only durable once the folder's entry is on disk.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::string& why) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    why = errno == ENOENT ? "there is no save in this slot" : std::strerror(errno);
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    why = "it could not be read";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace tessel
