// Text from the user, made safe to show: in messages, on a terminal and in XML.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace glassform {

// The most bytes of user text that a message quotes, and of a file's name.
inline constexpr std::size_t kMostQuoted = 60;
inline constexpr std::size_t kMostQuotedName = 200;

// The bytes of the valid UTF-8 character that starts `text`, or 0 where none starts there.
std::size_t utf8_character_length(std::string_view text);

// Whether the bytes are valid UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF).
bool valid_utf8(std::string_view text);

// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string repaired_utf8(std::string_view text);

// A user's text for a message or a terminal: whole valid UTF-8 characters as themselves; a tab
// as \t, a backslash as \\; control bytes (C0, DEL, C1) and bytes of invalid UTF-8 as \xNN.
// At most `most` bytes of the text are shown, then "..." where it goes on.
std::string escaped_text(std::string_view text, std::size_t most = kMostQuoted);

// The same in double quotes, as a message quotes what the user gave: "Cu\x1B50".
std::string quoted_text(std::string_view text);

// The message for a text that is no element symbol, with the suggestions, escaped; a long text
// quoted in part.
std::string unknown_symbol_text(std::string_view text);

// Where and why a user's file cannot be read: line and column from 1 (line 0 for the file as a
// whole, column 0 for the whole line), and what is wrong, any user text in it quoted in part
// and escaped.
struct FileFault {
  std::size_t line = 0;
  std::size_t column = 0;
  std::string message;
};

// "FILE:LINE:COLUMN: message", "FILE:LINE: message" for a whole line, "FILE: message" for the
// file as a whole; the name escaped.
std::string fault_text(std::string_view file_name, const FileFault& fault);

}  // namespace glassform
