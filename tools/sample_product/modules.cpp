#include <cstring>
#include <fstream>
#include <iterator>

#include "product_file.h"
#include "random.h"

namespace {

const char16_t variant_label[] = u"智能映舟输入平台  6.3";
const char16_t companion_label[] = u"智能映舟输入平台  6.7";
const char16_t main_label[] = u"智能映舟输入平台  7.9";

const char* const ime_strings[] = {"ImeInquire",
                                   "ImeConfigure",
                                   "ImeConversionList",
                                   "ImeDestroy",
                                   "ImeEscape",
                                   "ImeProcessKey",
                                   "ImeSelect",
                                   "ImeSetActiveContext",
                                   "ImeToAsciiEx",
                                   "NotifyIME",
                                   "ImeRegisterWord",
                                   "ImeSetCompositionString",
                                   "UIWndProc",
                                   "VIVORI",
                                   "vedirerozu",
                                   "yingpath.yzh",
                                   "yingcyzk.dat",
                                   "yingpyck.dat",
                                   nullptr};

const char* const program_strings[] = {"yz",
                                       "VIVORI",
                                       "vedirerozu",
                                       "yingpath.yzh",
                                       "yznetsj.dat",
                                       "install.yzh",
                                       "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                       "kernel32.dll",
                                       "user32.dll",
                                       "advapi32.dll",
                                       "imm32.dll",
                                       nullptr};

void put_u16(file_bytes& out, std::size_t at, unsigned value) {
  out[at] = static_cast<unsigned char>(value);
  out[at + 1] = static_cast<unsigned char>(value >> 8);
}

// Returns the offset after the text (UTF-16LE, no terminator).
std::size_t put_utf16(file_bytes& out, std::size_t at, const char16_t* text) {
  for (; *text; ++text, at += 2) put_u16(out, at, *text);
  return at;
}

std::size_t put_ascii(file_bytes& out, std::size_t at, const char* text) {
  std::size_t n = std::strlen(text) + 1;
  std::memcpy(&out[at], text, n);
  return at + n;
}

// A DOS header and stub as linkers write them; no PE header follows, since
// nothing may mistake these stand-ins for loadable modules.
void put_dos_header(file_bytes& out) {
  static const unsigned char stub[] = {0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09,
                                       0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
  out[0] = 'M';
  out[1] = 'Z';
  put_u16(out, 0x02, 0x90);
  put_u16(out, 0x04, 3);
  put_u16(out, 0x08, 4);
  put_u16(out, 0x0C, 0xFFFF);
  put_u16(out, 0x10, 0xB8);
  put_u16(out, 0x18, 0x40);
  std::memcpy(&out[0x40], stub, sizeof stub);
  put_ascii(out, 0x40 + sizeof stub, "This program cannot be run in DOS mode.\r\r\n$");
}

// Machine-code look: a small vocabulary of instruction-sized snippets used
// with a skewed frequency, with address-like words in between, so the bytes
// compress about as well as real code and no better.
void put_code(file_bytes& out, std::size_t from, std::size_t to, std::uint64_t& state) {
  unsigned char snippets[48][8];
  unsigned lengths[48];
  for (unsigned i = 0; i < 48; ++i) {
    lengths[i] = 1 + random_below(state, 7);
    for (unsigned k = 0; k < lengths[i]; ++k)
      snippets[i][k] = static_cast<unsigned char>(next_random(state));
  }
  std::size_t at = from;
  while (at < to) {
    if (random_below(state, 6) == 0) {
      std::uint32_t address = 0x10001000u + random_below(state, 0x9000) * 4;
      for (int k = 0; k < 4 && at < to; ++k)
        out[at++] = static_cast<unsigned char>(address >> (8 * k));
      continue;
    }
    unsigned pick = (random_below(state, 48) * random_below(state, 48)) / 48;
    for (unsigned k = 0; k < lengths[pick] && at < to; ++k) out[at++] = snippets[pick][k];
  }
}

// size bytes: header, code, then a data part holding the strings. The label
// goes in `copies` times, first at an even offset and then at an odd one,
// since whoever relabels the module must not assume alignment.
file_bytes program_image(const char* name, std::size_t size, const char* const* strings,
                         const char16_t* label, int copies) {
  std::uint64_t state = seed_from_name(name);
  file_bytes out(size, 0);
  put_dos_header(out);
  std::size_t data = (size * 5 / 8) & ~std::size_t(511);
  put_code(out, 0x400, data - 64, state);

  std::size_t at = data;
  for (const char* const* s = strings; *s; ++s) at = put_ascii(out, at, *s);
  at = put_ascii(out, (at + 15) & ~std::size_t(15), "智能映舟输入平台");
  at = put_utf16(out, (at + 15) & ~std::size_t(15), u"智能映舟");
  for (int i = 0; i < copies; ++i) {
    at = (at + 31) & ~std::size_t(15);
    if (i % 2) at += 1;
    at = put_utf16(out, at, label) + 2;
  }
  // Tables of small numbers fill the rest of the data part, with zero
  // padding in the last 512 bytes as a section's end would have.
  for (at = (at + 15) & ~std::size_t(15); at + 512 < size; ++at)
    out[at] = static_cast<unsigned char>(random_below(state, 4) ? random_below(state, 16) : 0);
  return out;
}

}  // namespace

bool make_variant_module(const product_file& file, const make_context&, file_bytes& out) {
  out = program_image(file.name, file.size, ime_strings, variant_label, 2);
  return true;
}

bool make_main_module(const product_file& file, const make_context&, file_bytes& out) {
  out = program_image(file.name, file.size, ime_strings, main_label, 2);
  return true;
}

// The real 64-bit companion is its own build; a generator run without it
// (native test builds) writes a stand-in carrying the label to relabel.
bool make_companion(const product_file& file, const make_context& context, file_bytes& out) {
  if (!context.setupw64_path) {
    out = program_image(file.name, file.size, program_strings, companion_label, 1);
    return true;
  }
  std::ifstream in(context.setupw64_path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !out.empty();
}

bool make_program(const product_file& file, const make_context&, file_bytes& out) {
  out = program_image(file.name, file.size, program_strings, nullptr, 0);
  return true;
}
