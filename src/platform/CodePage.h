// Code pages: the bytes of files and of the platform's ANSI texts. In memory every text
// is UTF-8; a code page matters only at the edges (file bytes, byte counts of ANSI text).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The system ANSI code page: ORVANT_CODEPAGE when set to a number (tests), else from the
// locale (LC_ALL, LC_CTYPE, LANG): zh_CN / zh_SG give 936, zh_TW / zh_HK give 950,
// anything else 437.
int GetACP();

// Bytes in the code page (936 GBK, 950 BIG5, 437 CP437, 65001 UTF-8) from UTF-8 text.
// Nothing when a character cannot be encoded or the code page is unknown.
std::optional<std::string> EncodeToCodePage(std::string_view utf8, int codePage);
// UTF-8 from bytes in the code page; nothing when the bytes are not valid there.
std::optional<std::string> DecodeFromCodePage(std::string_view bytes, int codePage);
// Like the above, but characters that do not fit become "?" (the platform's default
// conversion) instead of failing.
std::string EncodeLossy(std::string_view utf8, int codePage);
std::string DecodeLossy(std::string_view bytes, int codePage);

// The length in bytes of a text as ANSI text of the code page: a Chinese character counts
// two in 936 and 950; a character the code page cannot hold counts as its replacement.
// This is the one place that counts ANSI bytes.
int AnsiByteLength(std::string_view utf8, int codePage);
// The interface code page that byte counts use when none is given: set by the forms from
// the configuration, GetACP() until then.
int InterfaceCodePage();
void SetInterfaceCodePage(int codePage);
int AnsiByteLength(std::string_view utf8);
// The longest leading part of `utf8` whose ANSI length is at most `maxBytes` (never cuts
// a character in half).
std::string AnsiLeft(std::string_view utf8, int maxBytes, int codePage);

// A text file's content as UTF-8: UTF-8 when it starts with the UTF-8 byte-order mark
// (which is dropped), else decoded from the system code page (lossy).
std::string DecodeTextFile(std::string_view bytes);
