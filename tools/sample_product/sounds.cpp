#include "product_file.h"
#include "random.h"

namespace {

void put_u32(file_bytes& out, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) out[at + k] = static_cast<unsigned char>(value >> (8 * k));
}

void put_tag(file_bytes& out, std::size_t at, const char* tag) {
  for (int k = 0; k < 4; ++k) out[at + k] = static_cast<unsigned char>(tag[k]);
}

}  // namespace

// The key sounds: 16-bit mono PCM at 22,050 Hz, a short decaying tone with
// an overtone. Integer arithmetic only, so every host writes the same samples.
bool make_sound(const product_file& file, const make_context&, file_bytes& out) {
  std::uint64_t state = seed_from_name(file.name);
  std::uint32_t samples = static_cast<std::uint32_t>((file.size - 44) / 2);
  std::uint32_t data_bytes = samples * 2;
  out.assign(44 + data_bytes, 0);
  put_tag(out, 0, "RIFF");
  put_u32(out, 4, 36 + data_bytes);
  put_tag(out, 8, "WAVE");
  put_tag(out, 12, "fmt ");
  put_u32(out, 16, 16);
  out[20] = 1;  // PCM
  out[22] = 1;  // mono
  put_u32(out, 24, 22050);
  put_u32(out, 28, 22050 * 2);
  out[32] = 2;   // block align
  out[34] = 16;  // bits per sample
  put_tag(out, 36, "data");
  put_u32(out, 40, data_bytes);

  // Phase in 1/65536 of a period; the triangle wave avoids any sine table.
  std::uint32_t step = (600 + random_below(state, 1400)) * 65536u / 22050u;
  std::uint32_t overtone = step * (2 + random_below(state, 2));
  std::uint32_t phase = 0, phase2 = 0;
  for (std::uint32_t i = 0; i < samples; ++i) {
    auto triangle = [](std::uint32_t p) {
      int v = static_cast<int>(p & 0xFFFF);
      return v < 32768 ? v - 16384 : 49152 - v;
    };
    int envelope = static_cast<int>((samples - i) * 256 / samples);
    int value = (triangle(phase) + triangle(phase2) / 3) * envelope / 256 +
                static_cast<int>(random_below(state, 65)) - 32;
    out[44 + 2 * i] = static_cast<unsigned char>(value & 0xFF);
    out[45 + 2 * i] = static_cast<unsigned char>((value >> 8) & 0xFF);
    phase += step;
    phase2 += overtone;
  }
  return true;
}
