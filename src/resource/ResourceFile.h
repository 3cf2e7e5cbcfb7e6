#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct SDL_RWops;

namespace tessel {

// Read access to one named data file; the operations every resource offers.
class DataFile {
 public:
  DataFile() = default;
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;
  virtual ~DataFile() = default;

  virtual bool IsOpen() const = 0;
  // Reads up to `count` objects of `size` bytes; returns the objects read.
  virtual int Read(void* buffer, int size, int count) = 0;
  virtual int Tell() = 0;
  // Returns the new position, or -1.
  virtual int Seek(int offset, int whence) = 0;
  virtual int Write(const void* buffer, int size, int count) = 0;
  virtual void Close() = 0;
  // Length in bytes with the position unchanged; negative when unknown (take
  // it as "not found"). 64 bits, so that callers can add to it safely.
  virtual std::int64_t Size() = 0;
};

// A named data file, looked up first in the mounted archives (mount order,
// then directory order, exact name), then on disk under BaseDirectory()
// (regular files only). A name found exactly nowhere is then matched the way
// Windows games spell names (FoldedName): in the archives, then on disk
// (ResolveDiskPath).
// Holds a media-layer stream; when owns-stream is set, destroying the file
// closes it. Users that hand the stream over (the mixer) pass false.
class ResourceFile : public DataFile {
 public:
  ResourceFile(std::string_view name, bool owns_stream);
  ~ResourceFile() override;

  bool IsOpen() const override { return stream_ != nullptr; }
  int Read(void* buffer, int size, int count) override;
  int Tell() override;
  int Seek(int offset, int whence) override;
  int Write(const void* buffer, int size, int count) override;
  void Close() override;
  std::int64_t Size() override;

  SDL_RWops* Stream() const { return stream_; }
  // Hands the stream over to the caller and forgets it.
  SDL_RWops* TakeStream();

 private:
  SDL_RWops* stream_ = nullptr;
  bool owns_stream_ = true;
};

// Opens a named resource as a media-layer stream (archives first, then the
// base directory), positioned at its start; nullptr when it is found nowhere.
// The caller closes it (SDL_RWclose) or hands it to a decoder that takes it over.
SDL_RWops* OpenResource(const std::string& name);

// The whole content of a named resource (mounted archives first, then the base
// directory), or nothing when it is found nowhere or its size is unknown.
// The string holds exactly the bytes read.
std::optional<std::string> ReadResource(const std::string& name);

}  // namespace tessel
