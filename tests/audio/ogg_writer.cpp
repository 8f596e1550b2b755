#include "ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <cmath>

namespace t4::test {

namespace {

void Append(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
  out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
}

}  // namespace

std::string MakeOggSine(uint32_t rate, int channels, uint32_t frames, double hz, double amplitude) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, static_cast<long>(rate), 0.5f) != 0) return {};
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);

  std::string out;
  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) Append(out, page);

  float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
  for (uint32_t f = 0; f < frames; ++f) {
    const float v = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * f / rate));
    for (int c = 0; c < channels; ++c) buffer[c][f] = v;
  }
  vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
  vorbis_analysis_wrote(&dsp, 0);
  ogg_packet packet;
  while (vorbis_analysis_blockout(&dsp, &block) == 1) {
    vorbis_analysis(&block, nullptr);
    vorbis_bitrate_addblock(&block);
    while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
      ogg_stream_packetin(&stream, &packet);
      while (ogg_stream_pageout(&stream, &page) != 0) Append(out, page);
    }
  }
  while (ogg_stream_flush(&stream, &page) != 0) Append(out, page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

}  // namespace t4::test
