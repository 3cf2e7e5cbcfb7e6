#include "sound/TestSounds.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace tessel::test {
namespace {

constexpr int kRate = 44100;

void PutLE(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutBE16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value >> 8);
  out += static_cast<char>(value & 0xFF);
}

}  // namespace

std::string WavFile(double seconds, int amplitude) {
  const auto frames = static_cast<std::uint32_t>(seconds * kRate);
  const std::uint32_t data_bytes = frames * 4;
  std::string out = "RIFF";
  PutLE(out, 36 + data_bytes, 4);
  out += "WAVEfmt ";
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);  // PCM
  PutLE(out, 2, 2);
  PutLE(out, kRate, 4);
  PutLE(out, kRate * 4, 4);
  PutLE(out, 4, 2);
  PutLE(out, 16, 2);
  out += "data";
  PutLE(out, data_bytes, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    auto sample = static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2 * std::numbers::pi * 440.0 * i / kRate)));
    PutLE(out, static_cast<std::uint16_t>(sample), 2);
    PutLE(out, static_cast<std::uint16_t>(sample), 2);
  }
  return out;
}

std::string OggFile(double seconds, double amplitude) {
  vorbis_info info;
  vorbis_info_init(&info);
  vorbis_encode_init_vbr(&info, 2, kRate, 0.1f);
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);

  std::string out;
  ogg_page page;
  auto append_page = [&out](const ogg_page& p) {
    out.append(reinterpret_cast<const char*>(p.header), static_cast<size_t>(p.header_len));
    out.append(reinterpret_cast<const char*>(p.body), static_cast<size_t>(p.body_len));
  };
  ogg_packet header, header_comment, header_code;
  vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &header_comment);
  ogg_stream_packetin(&stream, &header_code);
  while (ogg_stream_flush(&stream, &page) != 0) append_page(page);

  const int frames = static_cast<int>(seconds * kRate);
  constexpr int kChunk = 1024;
  for (int done = 0; done <= frames; done += kChunk) {
    int count = std::min(kChunk, frames - done);
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, count);
      for (int i = 0; i < count; ++i) {
        float value = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * 440.0 * (done + i) / kRate));
        buffer[0][i] = value;
        buffer[1][i] = value;
      }
      vorbis_analysis_wrote(&dsp, count);
    } else {
      vorbis_analysis_wrote(&dsp, 0);  // end of stream
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) append_page(page);
      }
    }
  }
  while (ogg_stream_flush(&stream, &page) != 0) append_page(page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

std::string ModFile() {
  constexpr int kSampleBytes = 64;  // one square-wave period, looped
  std::string out(20, '\0');        // title
  for (int sample = 0; sample < 31; ++sample) {
    out += std::string(22, '\0');  // name
    bool used = sample == 0;
    PutBE16(out, used ? kSampleBytes / 2 : 0);  // length in words
    out += '\0';                                // finetune
    out += static_cast<char>(used ? 64 : 0);    // volume
    PutBE16(out, 0);                            // loop start
    PutBE16(out, used ? kSampleBytes / 2 : 1);  // loop length (1: no loop)
  }
  out += static_cast<char>(1);    // one position
  out += static_cast<char>(127);  // restart byte
  out += std::string(128, '\0');  // order table: pattern 0
  out += "M.K.";
  // Pattern 0: 64 rows of 4 channels; row 0, channel 0 plays sample 1 at C-2.
  std::string pattern(64 * 4 * 4, '\0');
  constexpr int kPeriod = 428;
  pattern[0] = static_cast<char>((1 & 0xF0) | (kPeriod >> 8));
  pattern[1] = static_cast<char>(kPeriod & 0xFF);
  pattern[2] = static_cast<char>((1 & 0x0F) << 4);
  out += pattern;
  for (int i = 0; i < kSampleBytes; ++i) out += static_cast<char>(i < kSampleBytes / 2 ? 100 : -100);
  return out;
}

}  // namespace tessel::test
