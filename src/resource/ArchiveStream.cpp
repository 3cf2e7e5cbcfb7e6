#include "resource/ArchiveStream.h"

#include <SDL.h>

#include <cstdio>
#include <limits>

namespace tessel {
namespace {

struct ArchiveStreamState {
  std::FILE* file = nullptr;
  std::uint64_t start = 0;    // absolute offset of the data in the archive file
  std::int64_t length = 0;    // the entry's N
  std::int64_t position = 0;  // relative to start, always within 0 .. length
};

ArchiveStreamState* StateOf(SDL_RWops* context) {
  return context != nullptr ? static_cast<ArchiveStreamState*>(context->hidden.unknown.data1)
                            : nullptr;
}

bool MoveHandle(ArchiveStreamState& state, std::int64_t position) {
  return ::fseeko(state.file, static_cast<off_t>(state.start + position), SEEK_SET) == 0;
}

int SDLCALL StreamSeek(SDL_RWops* context, int offset, int whence) {
  ArchiveStreamState* state = StateOf(context);
  if (state == nullptr) return -1;
  std::int64_t target = 0;
  switch (whence) {
    case RW_SEEK_SET: target = offset; break;
    case RW_SEEK_CUR: target = state->position + offset; break;
    case RW_SEEK_END: target = state->length + offset; break;
    default:
      SDL_SetError("Unknown value for 'whence'");
      return -1;
  }
  if (target < 0) target = 0;
  if (target > state->length) target = state->length;
  if (!MoveHandle(*state, target)) {
    SDL_SetError("Error seeking in datastream");
    return -1;
  }
  state->position = target;
  return static_cast<int>(target);
}

int SDLCALL StreamRead(SDL_RWops* context, void* buffer, int size, int count) {
  ArchiveStreamState* state = StateOf(context);
  if (state == nullptr || buffer == nullptr || size <= 0 || count <= 0) return 0;
  // 64-bit products: size * count of two ints overflows an int.
  const std::int64_t remaining = state->length - state->position;
  std::int64_t wanted = count;
  if (remaining < static_cast<std::int64_t>(size) * count) wanted = remaining / size;
  if (wanted <= 0) return 0;
  std::size_t got = std::fread(buffer, static_cast<std::size_t>(size), static_cast<std::size_t>(wanted),
                               state->file);
  if (got == 0 && std::ferror(state->file)) {
    std::clearerr(state->file);
    SDL_SetError("Error reading from datastream");
  }
  state->position += static_cast<std::int64_t>(got) * size;
  // A short read may have consumed part of an object: put the handle back at
  // the end of the last whole object, where the position says it is.
  if (static_cast<std::int64_t>(got) < wanted) MoveHandle(*state, state->position);
  return static_cast<int>(got);
}

int SDLCALL StreamWrite(SDL_RWops*, const void*, int, int) {
  SDL_SetError("Can't write to read-only memory");
  return -1;
}

int SDLCALL StreamClose(SDL_RWops* context) {
  if (context == nullptr) return 0;
  if (ArchiveStreamState* state = StateOf(context)) {
    std::fclose(state->file);
    delete state;
  }
  SDL_FreeRW(context);
  return 0;
}

}  // namespace

SDL_RWops* OpenArchiveStream(const std::string& archive_path, std::uint64_t start,
                             std::uint32_t length) {
  // Positions travel through the stream interface as int.
  if (length > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) return nullptr;
  std::FILE* file = std::fopen(archive_path.c_str(), "rb");
  if (file == nullptr) {
    SDL_SetError("Couldn't open %s", archive_path.c_str());
    return nullptr;
  }
  auto* state = new ArchiveStreamState{file, start, length, 0};
  SDL_RWops* stream = SDL_AllocRW();
  if (stream == nullptr || !MoveHandle(*state, 0)) {
    if (stream != nullptr) SDL_FreeRW(stream);
    std::fclose(file);
    delete state;
    return nullptr;
  }
  stream->seek = StreamSeek;
  stream->read = StreamRead;
  stream->write = StreamWrite;
  stream->close = StreamClose;
  stream->hidden.unknown.data1 = state;
  return stream;
}

}  // namespace tessel
