#include "glassform/io/text.hpp"

#include <array>

#include "glassform/model/elements.hpp"

namespace glassform {

namespace {

// The length of the valid UTF-8 character at the start of `text`, or 0 where none starts.
std::size_t character_length(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  char32_t code = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1FU;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0FU;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07U;
    least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0U) != 0x80) return 0;
    code = (code << 6U) | (byte(i) & 0x3FU);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void append_hex(std::string& out, unsigned char byte) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  out.append("\\x");
  out.push_back(kHex[byte >> 4U]);
  out.push_back(kHex[byte & 15U]);
}

}  // namespace

std::size_t utf8_character_length(std::string_view text) {
  return text.empty() ? 0 : character_length(text);
}

bool valid_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = character_length(text.substr(i));
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string repaired_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = character_length(text.substr(i));
    if (n == 0) {
      out.append("\xEF\xBF\xBD");
      ++i;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string escaped_text(std::string_view text, std::size_t most) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size() && i < most) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t n = character_length(text.substr(i));
    if (text[i] == '\t') {
      out.append("\\t");
    } else if (text[i] == '\\') {
      out.append("\\\\");
    } else if (n == 0 || byte < 0x20 || byte == 0x7F) {
      append_hex(out, byte);
    } else if (n == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      // A C1 control character, which some terminals obey as a command.
      append_hex(out, byte);
      append_hex(out, static_cast<unsigned char>(text[i + 1]));
    } else {
      out.append(text.substr(i, n));
    }
    i += n == 0 ? 1 : n;
  }
  if (i < text.size()) out.append("...");
  return out;
}

std::string quoted_text(std::string_view text) {
  std::string out(1, '"');
  out.append(escaped_text(text)).push_back('"');
  return out;
}

std::string unknown_symbol_text(std::string_view text) {
  if (text.size() > kMostQuoted) return "unknown symbol " + quoted_text(text);
  return escaped_text(unknown_symbol_message(text), std::string_view::npos);
}

std::string fault_text(std::string_view file_name, const FileFault& fault) {
  std::string text = escaped_text(file_name, kMostQuotedName);
  if (fault.line > 0) text.append(":").append(std::to_string(fault.line));
  if (fault.line > 0 && fault.column > 0) text.append(":").append(std::to_string(fault.column));
  return text.append(": ").append(fault.message);
}

}  // namespace glassform
